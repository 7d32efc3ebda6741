#include <gtest/gtest.h>

#include <sstream>

#include "TemporaryFolder.h"
#include "gui/Button.h"
#include "gui/MenuItem.h"
#include "gui/PopupMenu.h"
#include "gui/RootControl.h"
#include "gui/native/WindowInterface.h"
#include "native/x11/XvfbServer.h"
#include "tools/lorimane-editor/EditorSession.h"
#include "tools/lorimane-editor/ScriptRunner.h"

namespace {

struct Choices {
    void chosen(void* sender) { names.push_back(static_cast<gui::MenuItem*>(sender)->name); }
    std::vector<std::string> names;
};

// On a display the script's input reaches the editor's real window, its answers the menus shown
// there, and time is real: the blocks follow the clock.
TEST(EditorWindow, AScriptDrivesTheEditorInAnX11Window) {
    gui::test::XvfbServer server;
    std::string why;
    if (!server.start(why, 1024, 768)) GTEST_SKIP() << why;
    std::ostringstream out, err;
    EditorSession::Options options;
    options.headless = false;
    options.display = server.display();
    std::string error;
    std::unique_ptr<EditorSession> session = EditorSession::open(options, out, error);
    ASSERT_TRUE(session) << error;

    Choices choices;
    std::unique_ptr<gui::PopupMenu> menu = session->ui().createPopupMenu();
    auto* one = new gui::MenuItem("One");
    one->chosenEvent.addHandler(&choices, &Choices::chosen);
    menu->addItem(one);
    auto* button = new gui::Button(&session->ui());
    button->bounds = gui::Rect::ofSize(20, 20, 60, 20);
    button->popupMenu = menu.get();
    button->parent = session->ui().getRootControl();

    TemporaryFolder folder;
    const uint32_t start = session->now();
    const long blocks = session->blocksProcessed();
    ScriptRunner runner(*session, out);
    std::istringstream script("menu One\nclick 30 30\nwait 100\nshot " + folder / "window.png" + "\n");
    ASSERT_EQ(runner.runScript(script, err), 0) << err.str();
    EXPECT_EQ(out.str(), "menu: One\n");
    EXPECT_EQ(choices.names, std::vector<std::string>{"One"});
    EXPECT_GE(session->now() - start, 100u);
    EXPECT_GE(session->blocksProcessed() - blocks, 10);
    EXPECT_TRUE(std::filesystem::exists(folder / "window.png"));
}

}  // namespace
