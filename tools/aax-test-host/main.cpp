// aax-test-host LIBRARY: loads a plug-in library as a host would, prints its description in a
// stable text form, then renders a second of a test tone through every variant and checks that its
// saved state restores into a fresh instance.
// aax-test-host --editor SECONDS LIBRARY: opens the first variant's editor in a window of the X
// display for that long (0: until the window is closed), then prints what the editor told the host.
#include <chrono>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>

#include "AaxTestHost.h"
#include "gui/native/x11/X11Window.h"
#include "gui/native/x11/X11WindowSystem.h"

// Last: Xlib's macros would rename words the headers above use.
#include <X11/Xlib.h>

namespace {

int usage() {
    std::fprintf(stderr, "usage: aax-test-host LIBRARY\n       aax-test-host --editor SECONDS LIBRARY\n");
    return 2;
}

// The editor of a fresh instance in a top-level window of ours, the host's container.
int runEditor(AaxTestHost& host, double seconds) {
    std::string error;
    auto instance = host.createInstance(0, 48000.0f, error);
    if (!instance) {
        std::fprintf(stderr, "aax-test-host: %s\n", error.c_str());
        return 2;
    }
    auto system = gui::native::X11WindowSystem::open();
    if (!system) {
        std::fprintf(stderr, "aax-test-host: cannot open the X display\n");
        return 2;
    }
    AaxTestHost::EditorView view(*instance, *system);
    if (AAX_Result r = view.open()) {
        std::fprintf(stderr, "aax-test-host: the editor could not be opened (%d)\n", r);
        return 2;
    }
    auto& window = static_cast<gui::native::X11Window&>(*view.window());
    const std::string title = "aax-test-host: " + host.collection().effects()[0].first;
    XStoreName(system->display(), window.id(), title.c_str());
    window.closeRequested = [&] { system->quit(); };
    const gui::Rect size = window.bounds();
    std::printf("editor: %dx%d\n", size.width(), size.height());
    std::fflush(stdout);

    // The host's loop: its own window's events, and the periodic calls to the instance and editor.
    const auto end = std::chrono::steady_clock::now() + std::chrono::duration<double>(seconds);
    bool embedded = false;
    system->runUntil([&] {
        view.idle();
        instance->idle();
        ::Window root = 0, parent = 0, *children = nullptr;
        unsigned count = 0;
        if (XQueryTree(system->display(), window.id(), &root, &parent, &children, &count)) {
            embedded = embedded || count > 0;
            if (children) XFree(children);
        }
        return seconds > 0 && std::chrono::steady_clock::now() >= end;
    });
    int touches = 0, values = 0, releases = 0;
    for (const auto& e : instance->hostEdits()) {
        touches += e.kind == AaxTestHost::Instance::HostEdit::Touch;
        values += e.kind == AaxTestHost::Instance::HostEdit::Value;
        releases += e.kind == AaxTestHost::Instance::HostEdit::Release;
    }
    view.close();
    std::printf("host edits: %d touches, %d values, %d releases\n", touches, values, releases);
    if (!embedded) {
        std::fprintf(stderr, "aax-test-host: the editor put no window into the host's\n");
        return 1;
    }
    return 0;
}

}  // namespace

int main(int argc, char** argv) {
    const bool editor = argc == 4 && std::string(argv[1]) == "--editor";
    if (argc != 2 && !editor) return usage();
    const char* library = argv[argc - 1];
    std::string error;
    auto host = AaxTestHost::load(library, error);
    if (!host) {
        std::fprintf(stderr, "aax-test-host: %s: %s\n", library, error.c_str());
        return 2;
    }
    if (AAX_Result r = host->describe()) {
        std::fprintf(stderr, "aax-test-host: description failed with %d\n", r);
        return 2;
    }
    if (editor) {
        char* rest = nullptr;
        const double seconds = std::strtod(argv[2], &rest);
        if (!rest || *rest || seconds < 0) return usage();
        return runEditor(*host, seconds);
    }
    std::fputs(host->descriptionText().c_str(), stdout);

    const int n = 512, blocks = 94;
    for (size_t e = 0; e < host->collection().effects().size(); ++e) {
        auto instance = host->createInstance(e, 48000.0f, error);
        if (!instance) {
            std::fprintf(stderr, "aax-test-host: %s\n", error.c_str());
            return 2;
        }
        std::vector<std::vector<float>> in(instance->inputChannels(), std::vector<float>(n)), out(2, std::vector<float>(n));
        std::vector<const float*> ins;
        for (auto& c : in) ins.push_back(c.data());
        float* outs[2] = {out[0].data(), out[1].data()};
        float peak = 0.0f;
        for (int b = 0; b < blocks; ++b) {
            for (int i = 0; i < n; ++i)
                for (auto& c : in) c[i] = 0.5f * std::sin(2.0f * 3.14159265f * 440.0f * (b * n + i) / 48000.0f);
            instance->render(ins.data(), outs, n);
            for (auto& c : out)
                for (float s : c) peak = std::max(peak, std::fabs(s));
        }
        AAX_Result r;
        auto chunks = instance->saveChunks(r);
        auto fresh = host->createInstance(e, 48000.0f, error);
        bool restored = r == AAX_SUCCESS && fresh && fresh->restoreChunks(chunks) == AAX_SUCCESS;
        bool equal = restored;
        for (const auto& c : chunks) {
            bool same = false;
            if (restored) fresh->effect().CompareActiveChunk(c, same);
            equal = equal && same;
        }
        std::printf("%s: rendered %d samples, peak %.4f, %zu chunks, restore %s\n", host->collection().effects()[e].first.c_str(),
                    n * blocks, peak, chunks.size(), equal ? "equal" : "DIFFERS");
        if (!equal) return 1;
    }
    return 0;
}
