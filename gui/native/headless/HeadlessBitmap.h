#pragma once

#include "gui/Bitmap.h"

namespace gui::native {

// The headless backend's bitmap: the software bitmap itself, with the colour reader tests use.
class HeadlessBitmap : public Bitmap {
public:
    // The pixel as a straight colour.
    Rgba colourAt(int x, int y) const { return getPixel({x, y}); }
};

}  // namespace gui::native
