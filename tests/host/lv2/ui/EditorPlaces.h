#pragma once

// Where the editor's controls sit, and pictures of X windows, for the tests that drive the LV2 UI
// with xdotool.

#include <string>

namespace gui {
class Bitmap;
}

struct EditorPlace {
    bool found = false;
    int x = 0, y = 0;  // the control's centre in the editor window
};

// The one place tests learn where a control is: the same editor, built over a headless window in
// the layout asked for, tells where it put the control bound to the parameter.
EditorPlace placeOfParameter(const std::string& parameterName, bool wide);
// The select button that switches between the Normal and Wide layouts.
EditorPlace placeOfLayoutSelect(bool wide);
// The centre of a menu entry, in the menu window the toolkit pops up.
EditorPlace placeOfMenuEntry(int entry);

// The window's pixels as they are on the screen (what covers it included); false when the window
// cannot be read.
bool grabWindow(const std::string& display, unsigned long window, gui::Bitmap& picture);
