#pragma once

#include <string>

#include "gui/Rect.h"

namespace gui {
class Text;
}

namespace gui::native {

struct EditFieldSetup {
    // Window coordinates.
    Rect rect;
    std::string text;
    // 0 left, 1 centred, 2 right.
    int alignment = 0;
    // Font settings (name, size, bold, italic) come from the text object.
    const Text* font = nullptr;
};

// Reports keys typed into an edit field; flags as for toolkit mouse events (1 Shift, 2 Alt, 4 Ctrl).
// Answers true when the key was used and must not reach the field.
class EditFieldEvents {
public:
    virtual ~EditFieldEvents() = default;
    virtual bool editKeyPressed(int key, int flags) = 0;
};

// A native single-line edit field over the window; destroying it removes it. UI thread.
class EditField {
public:
    virtual ~EditField() = default;
    virtual std::string text() const = 0;
    virtual void selectAll() = 0;
    virtual void focus() = 0;
};

}  // namespace gui::native
