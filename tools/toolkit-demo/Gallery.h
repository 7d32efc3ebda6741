#pragma once

#include <memory>
#include <string>
#include <vector>

#include "gui/Animator.h"
#include "gui/Bitmap.h"
#include "gui/native/WindowInterface.h"

// One of each value control in a window, drawn with the embedded artwork, for a person to look
// at and try. The controls belong to the user interface; the pictures and styles to the gallery.
class Gallery {
public:
    static constexpr int kWidth = 640;
    static constexpr int kHeight = 320;

    explicit Gallery(gui::WindowInterface& ui);
    ~Gallery();

private:
    const gui::Bitmap* image(const std::string& name);
    void build();

    gui::WindowInterface& ui_;
    std::vector<std::unique_ptr<gui::Bitmap>> images_;
    std::vector<std::string> names_;
    std::unique_ptr<gui::Animator> animator_;
};
