#include <gtest/gtest.h>

#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <cstdlib>
#include <memory>
#include <set>
#include <string>

#include "XvfbServer.h"
#include "gui/ValueControl.h"
#include "gui/native/x11/X11Window.h"
#include "gui/native/x11/X11WindowSystem.h"
#include "host/aax/AaxPluginAdapter.h"
#include "host/aax/AaxWindowsEditor.h"
#include "interface/GenericPluginInterface.h"
#include "product/ProductPlugin.h"
#include "tools/aax-test-host/AaxTestHost.h"

// Last: Xlib's macros would rename words the headers above use.
#include <X11/Xlib.h>
#include <X11/Xutil.h>

namespace {

using HostEdit = AaxTestHost::Instance::HostEdit;

// On a real display the editor opens its own connection and embeds its window in the host's;
// the host pumps it through its periodic call, and a click from outside reaches the plug-in and
// the host as an edit.
TEST(AaxWindowsEditorX11, EmbedsInTheHostsWindowAndAClickBecomesAHostEdit) {
    if (!gui::test::XvfbServer::haveProgram("xdotool")) GTEST_SKIP() << "xdotool is not installed";
    alarm(60);
    gui::test::XvfbServer server;
    std::string why;
    if (!server.start(why, 1024, 768)) GTEST_SKIP() << why;
    // The editor connects to the display as a plug-in in a host would: through DISPLAY.
    setenv("DISPLAY", server.display().c_str(), 1);
    AaxWindowsEditor::setWindowSystem(nullptr);

    auto system = gui::native::X11WindowSystem::open(server.display().c_str());
    ASSERT_TRUE(system);
    AaxPluginAdapter::setPluginFactory(&makeProductPlugin);
    AaxTestHost host(&GetEffectDescriptions);
    ASSERT_EQ(host.describe(), AAX_SUCCESS);
    std::string error;
    auto instance = host.createInstance(0, 48000.0f, error);
    ASSERT_TRUE(instance) << error;
    GenericPlugin* plugin = static_cast<AaxPluginAdapter&>(instance->effect()).plugin();

    AaxTestHost::EditorView view(*instance, *system);
    ASSERT_EQ(view.open(), AAX_SUCCESS);
    auto& editor = static_cast<AaxWindowsEditor&>(*view.gui());
    ASSERT_NE(editor.window(), nullptr) << "the editor made no window";
    auto pump = [&](int ms) {
        const auto end = std::chrono::steady_clock::now() + std::chrono::milliseconds(ms);
        while (std::chrono::steady_clock::now() < end) {
            system->processEvents(5);
            view.idle();
        }
    };
    pump(300);

    // The editor's window is a child of the container, at the editor's size.
    const auto container = static_cast<Window>(reinterpret_cast<uintptr_t>(view.GetPtr()));
    Window root = 0, parent = 0, *children = nullptr;
    unsigned count = 0;
    ASSERT_TRUE(XQueryTree(system->display(), container, &root, &parent, &children, &count));
    ASSERT_EQ(count, 1u);
    XWindowAttributes attributes{};
    const Window editorWindow = children[0];
    XFree(children);
    XGetWindowAttributes(system->display(), editorWindow, &attributes);
    EXPECT_EQ(attributes.width, plugin->getEditorWidth());
    EXPECT_EQ(attributes.height, plugin->getEditorHeight());
    // And the editor draws into it (its first frame may take a while: the OpenGL driver compiles
    // its shaders first).
    auto colours = [&] {
        std::set<unsigned long> seen;
        XImage* image = XGetImage(system->display(), editorWindow, 0, 0, unsigned(attributes.width),
                                  unsigned(attributes.height), AllPlanes, ZPixmap);
        if (!image) return seen.size();
        for (int y = 0; y < attributes.height; y += 7)
            for (int x = 0; x < attributes.width; x += 7) seen.insert(XGetPixel(image, x, y));
        XDestroyImage(image);
        return seen.size();
    };
    for (int i = 0; i < 100 && colours() <= 8; ++i) pump(50);
    EXPECT_GT(colours(), 8u);

    int index = -1;
    for (int i = 0; i < plugin->getParameterCount(); ++i)
        if (plugin->getParameter(i)->name() == "Auto Mute Self-Osc") index = i;
    ASSERT_GE(index, 0);
    const gui::ValueControl& control = *editor.editor()->boundControls(index).front();
    const gui::Point at = control.toRoot({control.width() / 2, control.height() / 2});
    const float before = plugin->getParameter(index)->value();
    instance->clearHostEdits();
    ASSERT_TRUE(server.xdotool({"mousemove", "--window", std::to_string(container), std::to_string(at.x),
                                std::to_string(at.y), "click", "1"}));
    for (int i = 0; i < 40 && plugin->getParameter(index)->value() == before; ++i) pump(50);
    EXPECT_NE(plugin->getParameter(index)->value(), before);
    ASSERT_FALSE(instance->hostEdits().empty());
    EXPECT_EQ(instance->hostEdits().front().kind, HostEdit::Touch);
    EXPECT_EQ(instance->hostEdits().back().kind, HostEdit::Release);
    EXPECT_EQ(instance->openTouches(), 0);

    view.close();
    alarm(0);
}

// The built library in the test host program: the library's own copy of the editor connects to
// the display by itself and puts its window into the host's.
TEST(AaxWindowsEditorX11, TheLibraryEmbedsItsEditorInTheTestHostProgram) {
    alarm(60);
    gui::test::XvfbServer server;
    std::string why;
    if (!server.start(why, 1024, 768)) GTEST_SKIP() << why;
    const std::string command = "DISPLAY=" + server.display() + " '" AAX_TEST_HOST "' --editor 1 '" AAX_MODULE "' >/dev/null";
    const int status = std::system(command.c_str());
    ASSERT_TRUE(WIFEXITED(status));
    EXPECT_EQ(WEXITSTATUS(status), 0);
    alarm(0);
}

}  // namespace
