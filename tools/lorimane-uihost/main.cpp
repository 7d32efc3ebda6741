// Shows a toolkit tree in a real X11 window, drawn in software or through OpenGL.
//
//     lorimane-uihost [--tree NAME] [--list] [--gl] [--parent WINDOW-ID] [--display NAME]
//                     [--quit-after MS] [--screenshot FILE.png]
//
// --parent embeds the window in another client's window, the way a plug-in host does; without it
// the window is a top-level window that closes the program. --quit-after ends the program after
// the given time, and --screenshot then writes the last frame drawn in software.

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>

#include "HostedTree.h"
#include "gui/Bitmap.h"
#include "gui/native/WindowControl.h"
#include "gui/native/WindowInterface.h"
#include "gui/native/x11/GlxContext.h"
#include "gui/native/x11/X11Window.h"
#include "gui/native/x11/X11WindowSystem.h"
#include "platform/AsyncEventQueue.h"
#include "tools/png-writer/PngWriter.h"

namespace {

int usage() {
    std::fprintf(stderr,
                 "usage: lorimane-uihost [--tree NAME] [--list] [--gl] [--parent WINDOW-ID] [--display NAME]\n"
                 "                       [--quit-after MS] [--screenshot FILE.png]\n");
    return 2;
}

}  // namespace

int main(int argc, char** argv) {
    std::string treeName, display, screenshot;
    unsigned long parent = 0;
    int quitAfter = -1;
    bool gl = false;
    for (int i = 1; i < argc; ++i) {
        const std::string a = argv[i];
        auto value = [&]() -> const char* { return i + 1 < argc ? argv[++i] : nullptr; };
        if (a == "--list") {
            for (const HostedTree& t : hostedTrees()) std::printf("%-12s %s\n", t.name.c_str(), t.description.c_str());
            return 0;
        } else if (a == "--gl") {
            gl = true;
        } else if (a == "--tree" || a == "--display" || a == "--screenshot" || a == "--parent" || a == "--quit-after") {
            const char* v = value();
            if (!v) return usage();
            if (a == "--tree") treeName = v;
            if (a == "--display") display = v;
            if (a == "--screenshot") screenshot = v;
            if (a == "--parent") parent = std::strtoul(v, nullptr, 0);
            if (a == "--quit-after") quitAfter = std::atoi(v);
        } else {
            return usage();
        }
    }
    if (gl && !screenshot.empty()) {
        // The screenshot is the software frame, which an accelerated window never draws.
        std::fprintf(stderr, "lorimane-uihost: --screenshot needs the software renderer (leave out --gl)\n");
        return 2;
    }
    if (hostedTrees().empty()) return 1;
    const HostedTree* tree = &hostedTrees().front();
    if (!treeName.empty()) {
        tree = nullptr;
        for (const HostedTree& t : hostedTrees())
            if (t.name == treeName) tree = &t;
        if (!tree) {
            std::fprintf(stderr, "lorimane-uihost: no tree named \"%s\" (--list shows them)\n", treeName.c_str());
            return 2;
        }
    }

    auto system = gui::native::X11WindowSystem::open(display.empty() ? nullptr : display.c_str());
    if (!system) {
        std::fprintf(stderr, "lorimane-uihost: cannot open the display %s\n", display.empty() ? "$DISPLAY" : display.c_str());
        return 1;
    }
    // Work posted to this thread's queues wakes the loop.
    auto queue = AsyncEventQueue::create();
    system->watch(queue->eventFd(), [] { AsyncEventQueue::dispatchForCurrentThread(); });

    auto ui = std::make_unique<gui::WindowInterface>(*system, reinterpret_cast<void*>(static_cast<uintptr_t>(parent)),
                                                     gui::Rect{40, 40, 40 + tree->width, 40 + tree->height});
    if (gl && !gui::native::enableGlxAcceleration(*ui, *system))
        std::fprintf(stderr, "lorimane-uihost: no usable OpenGL; drawing in software\n");
    auto& window = static_cast<gui::native::X11Window&>(ui->window());
    window.closeRequested = [&] { system->quit(); };
    std::shared_ptr<void> treeState = tree->build(*ui);

    system->runUntil(nullptr, quitAfter);

    int status = 0;
    if (!screenshot.empty()) {
        const gui::Bitmap* frame = ui->windowControl()->backBuffer();
        if (!frame || frame->isEmpty() || !writePng(*frame, screenshot)) {
            std::fprintf(stderr, "lorimane-uihost: cannot write %s\n", screenshot.c_str());
            status = 1;
        }
    }
    treeState.reset();
    ui.reset();
    system->unwatch(queue->eventFd());
    return status;
}
