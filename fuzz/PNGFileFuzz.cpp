// PNG files: any bytes either decode into a bitmap of the size the header promised or leave the
// bitmap as it was, without reading outside the data or allocating beyond the decoder's limit.

#include <cstdint>
#include <cstdlib>

#include "gui/Bitmap.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    gui::Bitmap bitmap;
    bitmap.setSize(3, 2);
    if (!bitmap.load(data, size)) {
        if (bitmap.width() != 3 || bitmap.height() != 2) std::abort();  // a failed load changed it
        return 0;
    }
    if (bitmap.width() <= 0 || bitmap.height() <= 0) std::abort();
    // Every pixel is readable.
    volatile std::uint32_t sum = 0;
    for (int y = 0; y < bitmap.height(); y += 7)
        for (int x = 0; x < bitmap.width(); x += 7) sum = sum + bitmap.getPixel(gui::Point{x, y}).alpha;
    return 0;
}
