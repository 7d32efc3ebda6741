#pragma once

#include "gui/Text.h"
#include "gui/native/headless/HeadlessBitmap.h"

namespace gui::native {

// Text without a font engine: every character is 6 pixels wide and a line is the point size
// at 96 dpi high, so layouts can be checked without fonts. The bitmap is transparent.
class HeadlessText : public Text {
public:
    static constexpr int kCharacterWidth = 6;

    const Bitmap* getBitmap() override;
    int getWidth() override;
    int getHeight() override;

protected:
    void invalidateRendering() override { rendered_ = false; }

private:
    HeadlessBitmap bitmap_;
    bool rendered_ = false;
};

}  // namespace gui::native
