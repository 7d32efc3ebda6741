#pragma once

#include <string>
#include <vector>

namespace gui {
class Bitmap;
}

// Encodes a bitmap as an 8-bit RGBA PNG with straight colours and a gAMA chunk of 1/2.2, which
// the toolkit's reader turns into an exponent of 1, so colours come back as written. The bytes
// depend only on the pixels: no time stamp, fixed compression settings.
std::vector<unsigned char> encodePng(const gui::Bitmap& bitmap);
// False when the file cannot be written.
bool writePng(const gui::Bitmap& bitmap, const std::string& path);
