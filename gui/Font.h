#pragma once

#include <memory>
#include <string>
#include <string_view>

namespace gui {

// A face of the font engine at one pixel size. Every face name maps onto DejaVu Sans Condensed
// (bold and oblique variants as asked), the one family the toolkit ships with. UI thread.
class Font {
public:
    struct Glyph {
        int advance = 0;        // pixels to the next pen position
        int left = 0, top = 0;  // bitmap offset from the pen position on the baseline
        int width = 0, rows = 0, pitch = 0;
        const unsigned char* coverage = nullptr;  // valid until the next glyph is loaded
    };

    ~Font();

    // A shared face for the name (empty: the default face), size in points at 96 dpi, weight and
    // slant; none when no font file can be opened.
    static std::shared_ptr<Font> create(const std::string& name, int points, bool bold, bool italic);
    // The pixel height of a point size at 96 dpi, rounded like the platform's MulDiv.
    static int pixelHeight(int points);

    int ascent() const { return ascent_; }
    int descent() const { return descent_; }
    int lineHeight() const { return ascent_ + descent_; }
    int underlinePosition() const { return underlinePosition_; }
    int underlineThickness() const { return underlineThickness_; }

    // The glyph of a code point, rendered anti-aliased.
    bool glyph(char32_t codePoint, Glyph& out);
    int advance(char32_t codePoint);
    // The width of UTF-8 text on one line.
    int measure(std::string_view text);

private:
    struct Face;
    explicit Font(std::unique_ptr<Face> face, int pixels);

    std::unique_ptr<Face> face_;
    int ascent_ = 0, descent_ = 0, underlinePosition_ = 0, underlineThickness_ = 1;
};

// Decodes one code point from UTF-8 at text[i], moving i past it; bad bytes give U+FFFD.
char32_t nextCodePoint(std::string_view text, size_t& i);

}  // namespace gui
