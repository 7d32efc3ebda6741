// Builds a small tree of plain rectangles in a headless window, clicks one and turns the wheel
// over another, and prints what the controls saw and what the window presented. With a file name
// as its argument it also writes the last presented frame there as a PNG image. The gallery mode
// shows one of each value control instead, drawn with the embedded artwork.
//
//     toolkit-demo [snapshot.png]
//     toolkit-demo --gallery [--shot gallery.png]

#include <png.h>

#include <cstdio>
#include <string>
#include <vector>

#include "gui/Control.h"
#include "gui/RootControl.h"
#include "gui/native/WindowInterface.h"
#include "gui/native/headless/HeadlessWindowSystem.h"
#include "tools/toolkit-demo/Gallery.h"

namespace {

class Box : public gui::Control {
public:
    Box(gui::UserInterface* ui, std::string name, gui::Rgba colour)
        : Control(ui), name_(std::move(name)), colour_(colour) {}

    void paint(gui::Canvas& canvas) override { canvas.fillRect(localRect(), colour_); }
    void clicked() override {
        std::printf("  %s: clicked\n", name_.c_str());
        Control::clicked();
    }
    void mouseEntered() override { std::printf("  %s: pointer entered\n", name_.c_str()); }
    void mouseExited() override { std::printf("  %s: pointer left\n", name_.c_str()); }
    bool wheel(int phase, gui::Point point, int, float, float speedY, float, float pixelsY) override {
        if (!wheelable) return false;
        static const char* const kPhases[] = {"begin", "change", "end"};
        std::printf("  %s: wheel %s at (%d, %d), speed %.3f, %.0f pixels\n", name_.c_str(), kPhases[phase],
                    point.x, point.y, speedY, pixelsY);
        return true;
    }

    bool wheelable = false;

private:
    std::string name_;
    gui::Rgba colour_;
};

// Writes the frame as 8-bit RGBA.
bool writePng(const gui::native::HeadlessBitmap& frame, const char* path) {
    std::vector<uint8_t> rgba;
    rgba.reserve(static_cast<size_t>(frame.width()) * frame.height() * 4);
    for (int y = 0; y < frame.height(); ++y)
        for (int x = 0; x < frame.width(); ++x) {
            const gui::Rgba c = frame.colourAt(x, y);
            rgba.insert(rgba.end(), {c.red, c.green, c.blue, c.alpha});
        }
    png_image image{};
    image.version = PNG_IMAGE_VERSION;
    image.width = static_cast<png_uint_32>(frame.width());
    image.height = static_cast<png_uint_32>(frame.height());
    image.format = PNG_FORMAT_RGBA;
    return png_image_write_to_file(&image, path, 0, rgba.data(), 0, nullptr) != 0;
}

int usage() {
    std::fprintf(stderr,
                 "usage: toolkit-demo [snapshot.png] | toolkit-demo --gallery [--shot gallery.png]\n");
    return 2;
}

int gallery(const char* shot) {
    gui::native::HeadlessWindowSystem system;
    gui::WindowInterface ui(system, nullptr, gui::Rect{0, 0, Gallery::kWidth, Gallery::kHeight});
    gui::native::HeadlessWindow& window = *system.windows().front();
    Gallery gallery(ui);
    system.pump();
    // Let the highlighted controls finish fading in.
    system.advance(400);
    system.pump();
    const gui::native::HeadlessBitmap& frame = window.snapshot();
    std::printf("gallery: %zu components, %d frames of %d x %d\n", ui.components().size(),
                window.presentCount(), frame.width(), frame.height());
    if (shot) {
        if (!writePng(frame, shot)) {
            std::fprintf(stderr, "toolkit-demo: cannot write %s\n", shot);
            return 2;
        }
        std::printf("snapshot written to %s\n", shot);
    }
    return 0;
}

}  // namespace

int main(int argc, char** argv) {
    if (argc >= 2 && std::string(argv[1]) == "--gallery") {
        if (argc == 2) return gallery(nullptr);
        if (argc == 4 && std::string(argv[2]) == "--shot") return gallery(argv[3]);
        return usage();
    }
    if (argc > 2) return usage();
    gui::native::HeadlessWindowSystem system;
    gui::WindowInterface ui(system, nullptr, gui::Rect{0, 0, 320, 200});
    gui::native::HeadlessWindow& window = *system.windows().front();
    gui::RootControl& root = *ui.getRootControl();

    auto* panel = new Box(&ui, "panel", {40, 40, 60, 255});
    panel->bounds = gui::Rect{20, 20, 300, 180};
    panel->parent = &root;
    auto* button = new Box(&ui, "button", {200, 60, 40, 255});
    button->bounds = gui::Rect{20, 20, 120, 60};
    button->parent = panel;
    auto* dial = new Box(&ui, "dial", {60, 160, 220, 255});
    dial->bounds = gui::Rect{160, 40, 240, 120};
    dial->parent = panel;
    dial->wheelable = true;
    system.pump();

    std::printf("click at (70, 60):\n");
    window.moveMouse(70, 60);
    window.click(70, 60);

    std::printf("two wheel notches at (220, 100), 40 ms apart:\n");
    window.moveMouse(220, 100);
    window.turnWheel(1, 220, 100);
    system.advance(40);
    window.turnWheel(1, 220, 100);
    system.advance(600);

    std::printf("pointer leaves the window:\n");
    window.moveCursorOutside();
    system.advance(50);

    const gui::native::HeadlessBitmap& frame = window.snapshot();
    std::printf("presented %d frames of %d x %d\n", window.presentCount(), frame.width(), frame.height());
    for (gui::Point p : {gui::Point{5, 5}, gui::Point{30, 30}, gui::Point{70, 60}, gui::Point{220, 100}}) {
        const gui::Rgba c = frame.colourAt(p.x, p.y);
        std::printf("  pixel (%d, %d): %d %d %d\n", p.x, p.y, c.red, c.green, c.blue);
    }
    if (argc == 2) {
        if (!writePng(frame, argv[1])) {
            std::fprintf(stderr, "toolkit-demo: cannot write %s\n", argv[1]);
            return 2;
        }
        std::printf("snapshot written to %s\n", argv[1]);
    }
    return 0;
}
