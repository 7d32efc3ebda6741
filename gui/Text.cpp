#include "gui/Text.h"

#include <algorithm>

#include "gui/Font.h"

namespace gui {

namespace {

const char* const kEllipsis = "...";

// The longest prefix (whole code points) that fits the width with the ellipsis behind it.
std::string withEllipsis(Font& font, const std::string& text, int width) {
    const int dots = font.measure(kEllipsis);
    int used = 0;
    size_t i = 0, fits = 0;
    while (i < text.size()) {
        size_t next = i;
        used += font.advance(nextCodePoint(text, next));
        if (used + dots > width) break;
        fits = i = next;
    }
    return text.substr(0, fits) + kEllipsis;
}

// Breaks at spaces so that no line is wider than the width unless one word alone is; line breaks
// in the text are kept.
std::vector<std::string> wrapWords(Font& font, const std::string& text, int width) {
    std::vector<std::string> lines;
    size_t start = 0;
    while (start <= text.size()) {
        size_t end = text.find('\n', start);
        if (end == std::string::npos) end = text.size();
        const std::string paragraph = text.substr(start, end - start);
        std::string line;
        size_t p = 0;
        while (p <= paragraph.size()) {
            size_t q = paragraph.find(' ', p);
            if (q == std::string::npos) q = paragraph.size();
            const std::string word = paragraph.substr(p, q - p);
            const std::string candidate = line.empty() ? word : line + " " + word;
            if (!line.empty() && font.measure(candidate) > width) {
                lines.push_back(line);
                line = word;
            } else {
                line = candidate;
            }
            p = q + 1;
        }
        lines.push_back(line);
        start = end + 1;
    }
    return lines;
}

}  // namespace

Text::~Text() = default;

std::shared_ptr<Font> Text::createFont() const {
    return Font::create(fontName.get().empty() ? kDefaultFace : fontName.get(), size, bold, italic);
}

void Text::measure() {
    std::shared_ptr<Font> font = createFont();
    lines_.clear();
    width_ = height_ = 0;
    if (font) {
        const int limit = maximumWidth;
        const std::string& t = text.get();
        bool shortened = false;
        if (limit > 0 && wrapMode == WordWrap) {
            lines_ = wrapWords(*font, t, limit);
        } else if (limit > 0 && wrapMode == Ellipsis && font->measure(t) > limit) {
            lines_ = {withEllipsis(*font, t, limit)};
            shortened = true;
        } else {
            lines_ = {t};
        }
        for (const std::string& line : lines_) width_ = std::max(width_, font->measure(line));
        if (limit > 0) width_ = std::min(width_, limit);
        // A shortened text keeps the whole width it was given: the dots end up to a glyph short of
        // it, and centred or right-aligned texts must not shift by that.
        if (shortened) width_ = limit;
        height_ = font->lineHeight() * static_cast<int>(lines_.size());
    }
    state_ = Measured;
}

void Text::render() {
    std::shared_ptr<Font> font = createFont();
    bitmap_.setSize(width_, height_);
    bitmap_.fillRect(bitmap_.bounds(), Rgba{255, 255, 255, 255});
    if (font && !bitmap_.isEmpty()) {
        Font::Glyph g;
        for (size_t n = 0; n < lines_.size(); ++n) {
            const int baseline = static_cast<int>(n) * font->lineHeight() + font->ascent();
            int pen = 0;
            for (size_t i = 0; i < lines_[n].size();) {
                if (!font->glyph(nextCodePoint(lines_[n], i), g)) continue;
                // Black on white: the darker of what is there and the glyph's coverage.
                for (int r = 0; r < g.rows; ++r) {
                    const int y = baseline - g.top + r;
                    if (y < 0 || y >= height_) continue;
                    uint32_t* out = bitmap_.row(y);
                    for (int c = 0; c < g.width; ++c) {
                        const int x = pen + g.left + c;
                        if (x < 0 || x >= width_) continue;
                        const int level = 255 - g.coverage[r * g.pitch + c];
                        const int current = static_cast<int>(out[x] & 0xFF);
                        if (level < current) out[x] = static_cast<uint32_t>(level * 0x010101);
                    }
                }
                pen += g.advance;
            }
            if (underline) {
                const int top = baseline + font->underlinePosition() - font->underlineThickness() / 2;
                bitmap_.fillRect({0, top, std::min(pen, width_), top + font->underlineThickness()},
                                 Rgba{0, 0, 0, 255});
            }
        }
    }
    bitmap_.tint(colour);
    state_ = UpToDate;
}

const std::vector<std::string>& Text::lines() {
    if (state_ == Dirty) measure();
    return lines_;
}

const Bitmap* Text::getBitmap() {
    if (state_ == Dirty) measure();
    if (state_ == Measured) render();
    return &bitmap_;
}

int Text::getWidth() {
    if (state_ == Dirty) measure();
    return width_;
}

int Text::getHeight() {
    if (state_ == Dirty) measure();
    return height_;
}

}  // namespace gui
