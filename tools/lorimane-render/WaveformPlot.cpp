#include "tools/lorimane-render/WaveformPlot.h"

#include <png.h>

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <filesystem>
#include <memory>
#include <vector>

#include "gui/Font.h"

namespace {

constexpr int kWidth = 1200;
constexpr int kLaneHeight = 180;
constexpr int kMargin = 10;
constexpr int kScaleWidth = 58;  // the dBFS labels left of the lanes
constexpr int kTitleHeight = 30;
constexpr int kAxisHeight = 34;
constexpr int kLeft = kMargin + kScaleWidth, kRight = kWidth - kMargin;
constexpr float kLevelsDb[] = {0.0f, -6.0f, -12.0f, -24.0f};

struct Rgb {
    uint8_t r, g, b;
};
constexpr Rgb kBackground{250, 250, 247}, kLane{236, 238, 242}, kGrid{205, 208, 214}, kInput{170, 172, 178},
    kOutput{32, 96, 200}, kText{60, 60, 66};

// Digits, '.', '-' and 's' in a 3 x 5 pixel font (when the toolkit's font is missing), one row per entry, three bits a row.
const uint8_t* glyph(char c) {
    static const uint8_t digits[10][5] = {{7, 5, 5, 5, 7}, {2, 6, 2, 2, 7}, {7, 1, 7, 4, 7}, {7, 1, 7, 1, 7},
                                          {5, 5, 7, 1, 1}, {7, 4, 7, 1, 7}, {7, 4, 7, 5, 7}, {7, 1, 1, 1, 1},
                                          {7, 5, 7, 5, 7}, {7, 5, 7, 1, 7}};
    static const uint8_t dot[5] = {0, 0, 0, 0, 2}, minus[5] = {0, 0, 7, 0, 0}, s[5] = {0, 7, 4, 1, 7}, none[5] = {0, 0, 0, 0, 0};
    if (c >= '0' && c <= '9') return digits[c - '0'];
    if (c == '.') return dot;
    if (c == '-') return minus;
    if (c == 's') return s;
    return none;
}

class Image {
public:
    Image(int w, int h) : width(w), height(h), pixels(static_cast<size_t>(w) * h, kBackground) {}
    void set(int x, int y, Rgb c) {
        if (x >= 0 && x < width && y >= 0 && y < height) pixels[static_cast<size_t>(y) * width + x] = c;
    }
    void fill(int x0, int y0, int x1, int y1, Rgb c) {
        for (int y = std::max(0, y0); y < std::min(height, y1); ++y)
            for (int x = std::max(0, x0); x < std::min(width, x1); ++x) set(x, y, c);
    }
    // Text with its top-left corner at (x, y) in the toolkit's font, blended over the image; the
    // built-in digits when no font can be opened. Answers the width drawn.
    int print(int x, int y, const std::string& s, Rgb c) {
        if (!font) {
            text(x, y + 4, s, c);
            return 8 * static_cast<int>(s.size());
        }
        int pen = x;
        for (size_t i = 0; i < s.size();) {
            char32_t cp = gui::nextCodePoint(s, i);
            gui::Font::Glyph g;
            if (!font->glyph(cp, g)) continue;
            for (int r = 0; r < g.rows; ++r)
                for (int k = 0; k < g.width; ++k) {
                    int a = g.coverage[r * g.pitch + k];
                    int px = pen + g.left + k, py = y + font->ascent() - g.top + r;
                    if (a == 0 || px < 0 || px >= width || py < 0 || py >= height) continue;
                    Rgb& d = pixels[static_cast<size_t>(py) * width + px];
                    d = {static_cast<uint8_t>((c.r * a + d.r * (255 - a)) / 255), static_cast<uint8_t>((c.g * a + d.g * (255 - a)) / 255),
                         static_cast<uint8_t>((c.b * a + d.b * (255 - a)) / 255)};
                }
            pen += g.advance;
        }
        return pen - x;
    }
    int measure(const std::string& s) { return font ? font->measure(s) : 8 * static_cast<int>(s.size()); }
    void text(int x, int y, const std::string& s, Rgb c, int scale = 2) {
        for (char ch : s) {
            const uint8_t* rows = glyph(ch);
            for (int r = 0; r < 5; ++r)
                for (int b = 0; b < 3; ++b)
                    if (rows[r] & (4 >> b)) fill(x + b * scale, y + r * scale, x + (b + 1) * scale, y + (r + 1) * scale, c);
            x += 4 * scale;
        }
    }
    int width, height;
    std::vector<Rgb> pixels;
    std::shared_ptr<gui::Font> font;
};

// The min/max envelope of a channel, one column per pixel.
void drawChannel(Image& image, const std::vector<float>& samples, size_t totalFrames, int top, Rgb colour) {
    int left = kLeft, right = kRight, mid = top + kLaneHeight / 2;
    int columns = right - left;
    if (samples.empty() || totalFrames == 0) return;
    for (int x = 0; x < columns; ++x) {
        size_t from = totalFrames * x / columns, to = std::max(from + 1, totalFrames * (x + 1) / columns);
        float lo = 0.0f, hi = 0.0f;
        for (size_t i = from; i < to && i < samples.size(); ++i) {
            lo = std::min(lo, samples[i]);
            hi = std::max(hi, samples[i]);
        }
        int y0 = mid - static_cast<int>(std::clamp(hi, -1.0f, 1.0f) * (kLaneHeight / 2 - 2));
        int y1 = mid - static_cast<int>(std::clamp(lo, -1.0f, 1.0f) * (kLaneHeight / 2 - 2));
        for (int y = y0; y <= y1; ++y) image.set(left + x, y, colour);
    }
}

bool writePng(const std::string& path, const Image& image) {
    FILE* file = std::fopen(path.c_str(), "wb");
    if (!file) return false;
    png_structp png = png_create_write_struct(PNG_LIBPNG_VER_STRING, nullptr, nullptr, nullptr);
    png_infop info = png ? png_create_info_struct(png) : nullptr;
    if (!png || !info || setjmp(png_jmpbuf(png))) {
        png_destroy_write_struct(&png, info ? &info : nullptr);
        std::fclose(file);
        return false;
    }
    png_init_io(png, file);
    png_set_IHDR(png, info, image.width, image.height, 8, PNG_COLOR_TYPE_RGB, PNG_INTERLACE_NONE,
                 PNG_COMPRESSION_TYPE_DEFAULT, PNG_FILTER_TYPE_DEFAULT);
    png_write_info(png, info);
    for (int y = 0; y < image.height; ++y)
        png_write_row(png, reinterpret_cast<png_const_bytep>(&image.pixels[static_cast<size_t>(y) * image.width]));
    png_write_end(png, info);
    png_destroy_write_struct(&png, &info);
    return std::fclose(file) == 0;
}

}  // namespace

bool writeWaveformPlot(const std::string& path, const std::string& title, const AudioBuffer& input, const AudioBuffer& output,
                       std::string& error) {
    int lanes = static_cast<int>(output.channels.size());
    Image image(kWidth, kTitleHeight + lanes * (kLaneHeight + kMargin) + kAxisHeight);
    image.font = gui::Font::create("", 9, false, false);
    image.print(kLeft, 8, title, kText);
    size_t frames = std::max(input.frames(), output.frames());
    double seconds = frames / output.sampleRate;
    double step = seconds > 20 ? 5.0 : seconds > 8 ? 1.0 : 0.5;
    auto timeX = [&](double t) { return kLeft + static_cast<int>((kRight - kLeft) * t / std::max(seconds, 1e-9)); };
    for (int lane = 0; lane < lanes; ++lane) {
        int top = kTitleHeight + lane * (kLaneHeight + kMargin), mid = top + kLaneHeight / 2;
        image.fill(kLeft, top, kRight, top + kLaneHeight, kLane);
        for (double t = 0; t <= seconds; t += step) image.fill(timeX(t), top, timeX(t) + 1, top + kLaneHeight, kGrid);
        // The level scale: full scale at the lane's edges, each level mirrored below the centre line.
        for (float db : kLevelsDb) {
            int offset = static_cast<int>(std::pow(10.0f, db / 20.0f) * (kLaneHeight / 2 - 2));
            char label[16];
            std::snprintf(label, sizeof label, db == 0.0f ? "0 dBFS" : "%.0f", db);
            int h = image.font ? image.font->lineHeight() : 10;
            for (int y : {mid - offset, mid + offset}) {
                image.fill(kLeft, y, kRight, y + 1, kGrid);
                image.fill(kLeft - 4, y, kLeft, y + 1, kText);
                if (y > mid && offset < h) continue;  // too close to its upper twin for a label
                image.print(kLeft - 6 - image.measure(label), std::clamp(y - h / 2, top - 2, top + kLaneHeight - h + 2), label, kText);
            }
        }
        image.fill(kLeft, mid, kRight, mid + 1, kGrid);
        if (!input.channels.empty())
            drawChannel(image, input.channels[std::min<size_t>(lane, input.channels.size() - 1)], frames, top, kInput);
        drawChannel(image, output.channels[lane], frames, top, kOutput);
    }
    int axis = kTitleHeight + lanes * (kLaneHeight + kMargin) + 4;
    int labelsEnd = 0;
    for (double t = 0; t <= seconds; t += step) {
        int x = timeX(t);
        image.fill(x, axis, x + 1, axis + 6, kText);
        char label[16];
        std::snprintf(label, sizeof label, step < 1.0 ? "%.1f s" : "%.0f s", t);
        int width = image.measure(label);
        int at = std::min(x + 3, kRight - width);
        if (at < labelsEnd + 8) continue;  // no room: leave this tick unlabelled
        image.print(at, axis + 8, label, kText);
        labelsEnd = at + width;
    }

    std::string temporary = path + ".part";
    std::error_code ec;
    if (!writePng(temporary, image) || (std::filesystem::rename(temporary, path, ec), ec)) {
        std::filesystem::remove(temporary, ec);
        error = "cannot write '" + path + "'";
        return false;
    }
    return true;
}
