#include "gui/Font.h"

#include <ft2build.h>
#include FT_FREETYPE_H

#include <cmath>
#include <map>
#include <tuple>

namespace gui {

namespace {

const char* const kFontFolder = "/usr/share/fonts/truetype/dejavu/";

FT_Library library() {
    static FT_Library instance = [] {
        FT_Library l = nullptr;
        if (FT_Init_FreeType(&l) != 0) l = nullptr;
        return l;
    }();
    return instance;
}

std::string fileFor(bool bold, bool italic) {
    std::string name = "DejaVuSansCondensed";
    if (bold && italic) return name + "-BoldOblique.ttf";
    if (bold) return name + "-Bold.ttf";
    if (italic) return name + "-Oblique.ttf";
    return name + ".ttf";
}

}  // namespace

struct Font::Face {
    FT_Face face = nullptr;
    ~Face() {
        if (face) FT_Done_Face(face);
    }
};

char32_t nextCodePoint(std::string_view text, size_t& i) {
    const unsigned char c = static_cast<unsigned char>(text[i++]);
    if (c < 0x80) return c;
    int extra = c >= 0xF0 ? 3 : c >= 0xE0 ? 2 : c >= 0xC0 ? 1 : -1;
    if (extra < 0) return 0xFFFD;
    char32_t cp = c & (0x3F >> extra);
    for (; extra > 0; --extra) {
        if (i >= text.size() || (static_cast<unsigned char>(text[i]) & 0xC0) != 0x80) return 0xFFFD;
        cp = cp << 6 | (static_cast<unsigned char>(text[i++]) & 0x3F);
    }
    return cp;
}

int Font::pixelHeight(int points) {
    // MulDiv(points, 96, 72): rounded half away from zero.
    const long long n = static_cast<long long>(points) * 96;
    return static_cast<int>(n >= 0 ? (n + 36) / 72 : -((-n + 36) / 72));
}

Font::Font(std::unique_ptr<Face> face, int pixels) : face_(std::move(face)) {
    FT_Set_Pixel_Sizes(face_->face, 0, static_cast<FT_UInt>(pixels));
    const FT_Size_Metrics& m = face_->face->size->metrics;
    ascent_ = static_cast<int>((m.ascender + 63) >> 6);
    descent_ = static_cast<int>((-m.descender + 63) >> 6);
    const double scale = static_cast<double>(m.y_scale) / 65536.0 / 64.0;
    underlinePosition_ = std::max(1, static_cast<int>(std::lround(-face_->face->underline_position * scale)));
    underlineThickness_ =
        std::max(1, static_cast<int>(std::lround(face_->face->underline_thickness * scale)));
}

Font::~Font() = default;

std::shared_ptr<Font> Font::create(const std::string&, int points, bool bold, bool italic) {
    static std::map<std::tuple<int, bool, bool>, std::weak_ptr<Font>> cache;
    const int pixels = std::max(1, std::abs(pixelHeight(points)));
    const auto key = std::make_tuple(pixels, bold, italic);
    if (auto existing = cache[key].lock()) return existing;
    if (!library()) return nullptr;
    auto face = std::make_unique<Face>();
    if (FT_New_Face(library(), (std::string(kFontFolder) + fileFor(bold, italic)).c_str(), 0, &face->face) !=
            0 &&
        FT_New_Face(library(), (std::string(kFontFolder) + "DejaVuSans.ttf").c_str(), 0, &face->face) != 0)
        return nullptr;
    std::shared_ptr<Font> font(new Font(std::move(face), pixels));
    cache[key] = font;
    return font;
}

bool Font::glyph(char32_t codePoint, Glyph& out) {
    FT_Face f = face_->face;
    if (FT_Load_Char(f, codePoint, FT_LOAD_RENDER | FT_LOAD_TARGET_NORMAL) != 0) return false;
    const FT_GlyphSlot g = f->glyph;
    out.advance = static_cast<int>((g->advance.x + 32) >> 6);
    out.left = g->bitmap_left;
    out.top = g->bitmap_top;
    out.width = static_cast<int>(g->bitmap.width);
    out.rows = static_cast<int>(g->bitmap.rows);
    out.pitch = g->bitmap.pitch;
    out.coverage = g->bitmap.buffer;
    return true;
}

int Font::advance(char32_t codePoint) {
    FT_Face f = face_->face;
    if (FT_Load_Char(f, codePoint, FT_LOAD_DEFAULT) != 0) return 0;
    return static_cast<int>((f->glyph->advance.x + 32) >> 6);
}

int Font::measure(std::string_view text) {
    int width = 0;
    for (size_t i = 0; i < text.size();) width += advance(nextCodePoint(text, i));
    return width;
}

}  // namespace gui
