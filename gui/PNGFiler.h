#pragma once

#include "gui/BitmapFiler.h"

namespace gui {

// The toolkit's own PNG reader over zlib's inflate: 8-bit RGB and RGBA, not interlaced. Colours
// pass through a gamma table built from the file's gAMA chunk and the display gamma factor.
class PNGFiler : public BitmapFiler {
public:
    // Throws EBitmap: "Invalid PNG signature", "Invalid PNG image" or "Unsupported PNG format".
    void load(std::istream& stream, Bitmap& bitmap) override;

    // The process-wide factor applied to every file's gamma exponent (1 by default). UI thread.
    static void setDisplayGamma(float factor);
    static float displayGamma();

    // Larger images are refused as unsupported rather than attempted.
    static constexpr uint64_t kMaximumPixels = uint64_t{1} << 26;
};

// Recognises the PNG signature.
class PNGFilerFactory : public BitmapFilerFactory {
public:
    std::unique_ptr<BitmapFiler> recognise(std::istream& stream) override;
};

}  // namespace gui
