#include "tools/png-writer/PngWriter.h"

#include <png.h>

#include <cstdio>

#include "gui/Bitmap.h"

namespace {

void appendBytes(png_structp png, png_bytep data, png_size_t length) {
    auto* out = static_cast<std::vector<unsigned char>*>(png_get_io_ptr(png));
    out->insert(out->end(), data, data + length);
}

void flushNothing(png_structp) {}

}  // namespace

std::vector<unsigned char> encodePng(const gui::Bitmap& bitmap) {
    std::vector<unsigned char> out;
    if (bitmap.isEmpty()) return out;
    png_structp png = png_create_write_struct(PNG_LIBPNG_VER_STRING, nullptr, nullptr, nullptr);
    png_infop info = png ? png_create_info_struct(png) : nullptr;
    if (!info) {
        png_destroy_write_struct(&png, nullptr);
        return out;
    }
    std::vector<unsigned char> row(static_cast<size_t>(bitmap.width()) * 4);
    if (setjmp(png_jmpbuf(png))) {
        png_destroy_write_struct(&png, &info);
        out.clear();
        return out;
    }
    png_set_write_fn(png, &out, appendBytes, flushNothing);
    png_set_compression_level(png, 9);
    png_set_IHDR(png, info, static_cast<png_uint_32>(bitmap.width()),
                 static_cast<png_uint_32>(bitmap.height()), 8, PNG_COLOR_TYPE_RGB_ALPHA, PNG_INTERLACE_NONE,
                 PNG_COMPRESSION_TYPE_DEFAULT, PNG_FILTER_TYPE_DEFAULT);
    png_set_gAMA_fixed(png, info, 45455);
    png_write_info(png, info);
    for (int y = 0; y < bitmap.height(); ++y) {
        for (int x = 0; x < bitmap.width(); ++x) {
            const gui::Rgba c = bitmap.getPixel({x, y});
            unsigned char* p = row.data() + 4 * x;
            p[0] = c.red;
            p[1] = c.green;
            p[2] = c.blue;
            p[3] = c.alpha;
        }
        png_write_row(png, row.data());
    }
    png_write_end(png, nullptr);
    png_destroy_write_struct(&png, &info);
    return out;
}

bool writePng(const gui::Bitmap& bitmap, const std::string& path) {
    const std::vector<unsigned char> bytes = encodePng(bitmap);
    if (bytes.empty()) return false;
    std::FILE* file = std::fopen(path.c_str(), "wb");
    if (!file) return false;
    const bool written = std::fwrite(bytes.data(), 1, bytes.size(), file) == bytes.size();
    return std::fclose(file) == 0 && written;
}
