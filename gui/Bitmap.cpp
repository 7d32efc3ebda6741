#include "gui/Bitmap.h"

#include <emmintrin.h>

#include <algorithm>
#include <array>
#include <cmath>
#include <cstring>
#include <sstream>

#include "gui/BitmapFiler.h"
#include "gui/Curve.h"

namespace gui {

namespace {

constexpr uint32_t kTransparent = 0xFF000000u;

int channel(uint32_t p, int shift) {
    return static_cast<int>((p >> shift) & 0xFFu);
}

// A byte weight 0..255 as a multiplier 0..256.
int widen(int w) {
    return w + (w >> 7);
}

// Keeps both rectangles inside their bitmaps: the destination is cut to this bitmap, the source
// point follows, and what lies outside the source is cut away too.
bool fitRects(const Rect& target, const Rect& sourceBounds, Rect& d, Point& s) {
    const Rect dst = d.intersection(target);
    Point moved{s.x + dst.left - d.left, s.y + dst.top - d.top};
    const Rect sr = Rect::ofSize(moved.x, moved.y, dst.width(), dst.height()).intersection(sourceBounds);
    d = Rect::ofSize(dst.left + sr.left - moved.x, dst.top + sr.top - moved.y, sr.width(), sr.height());
    s = sr.topLeft();
    return !d.isEmpty();
}

// The bilinear weights for fractional levels 0..32 in x and y: w00, w10, w01, w11 summing to 255.
struct RotationWeights {
    std::array<std::array<std::array<int, 4>, 33>, 33> w;
    RotationWeights() {
        for (int i = 0; i <= 32; ++i)
            for (int j = 0; j <= 32; ++j) {
                const int fx = i * 255 / 32, fy = j * 255 / 32;
                const int w11 = fx * fy / 255;
                w[i][j] = {255 - fx - fy + w11, fx - w11, fy - w11, w11};
            }
    }
};

const RotationWeights& rotationWeights() {
    static const RotationWeights table;
    return table;
}

}  // namespace

Bitmap::~Bitmap() = default;

uint32_t Bitmap::premultiplied(Rgba c) {
    const int w = widen(c.alpha);
    const uint32_t b = (c.blue * w) >> 8, g = (c.green * w) >> 8, r = (c.red * w) >> 8;
    return b | g << 8 | r << 16 | static_cast<uint32_t>(255 - c.alpha) << 24;
}

void Bitmap::composeRowPlain(uint32_t* dst, const uint32_t* src, int count, int opacity) {
    const int e = widen(opacity);
    for (int i = 0; i < count; ++i) {
        const uint32_t s = src[i], d = dst[i];
        const int t = channel(s, 24);
        // Over: the destination keeps T/255 of itself. With opacity the source is scaled by e and the
        // destination keeps (256 - e) + e * T / 256 of itself.
        const int keep = opacity >= 255 ? widen(t) : widen((256 - e) + ((e * t) >> 8));
        uint32_t out = 0;
        for (int shift = 0; shift < 24; shift += 8) {
            const int sc = opacity >= 255 ? channel(s, shift) : (channel(s, shift) * e) >> 8;
            const int dc = (channel(d, shift) * keep) >> 8;
            out |= static_cast<uint32_t>(std::min(255, sc + dc)) << shift;
        }
        out |= static_cast<uint32_t>(std::min(255, (channel(d, 24) * keep) >> 8)) << 24;
        dst[i] = out;
    }
}

void Bitmap::composeRowSse2(uint32_t* dst, const uint32_t* src, int count, int opacity) {
    const int e = widen(opacity);
    const bool over = opacity >= 255;
    const __m128i zero = _mm_setzero_si128();
    const __m128i colourMask = _mm_set1_epi32(0x00FFFFFF);
    const __m128i ev = _mm_set1_epi16(static_cast<short>(e));
    const __m128i rest = _mm_set1_epi16(static_cast<short>(256 - e));
    // Two pixels as words B G R T B G R T: the destination part, every channel (T included) scaled
    // by what the source leaves of it.
    auto kept = [&](__m128i s, __m128i d) {
        const __m128i t = _mm_shufflehi_epi16(_mm_shufflelo_epi16(s, 0xFF), 0xFF);
        __m128i keep = over ? t : _mm_add_epi16(rest, _mm_srli_epi16(_mm_mullo_epi16(ev, t), 8));
        keep = _mm_add_epi16(keep, _mm_srli_epi16(keep, 7));
        return _mm_srli_epi16(_mm_mullo_epi16(d, keep), 8);
    };
    // The source part: its colour, scaled by the opacity; its own T contributes nothing.
    auto given = [&](__m128i s) { return over ? s : _mm_srli_epi16(_mm_mullo_epi16(s, ev), 8); };
    int i = 0;
    for (; i + 4 <= count; i += 4) {
        const __m128i s = _mm_loadu_si128(reinterpret_cast<const __m128i*>(src + i));
        const __m128i d = _mm_loadu_si128(reinterpret_cast<const __m128i*>(dst + i));
        const __m128i colour = _mm_and_si128(s, colourMask);
        const __m128i dLo = kept(_mm_unpacklo_epi8(s, zero), _mm_unpacklo_epi8(d, zero));
        const __m128i dHi = kept(_mm_unpackhi_epi8(s, zero), _mm_unpackhi_epi8(d, zero));
        const __m128i sLo = given(_mm_unpacklo_epi8(colour, zero));
        const __m128i sHi = given(_mm_unpackhi_epi8(colour, zero));
        const __m128i sum = _mm_adds_epu8(_mm_packus_epi16(sLo, sHi), _mm_packus_epi16(dLo, dHi));
        _mm_storeu_si128(reinterpret_cast<__m128i*>(dst + i), sum);
    }
    composeRowPlain(dst + i, src + i, count - i, opacity);
}

void Bitmap::crossFadeRowPlain(uint32_t* dst, const uint32_t* a, const uint32_t* b, int count, int mix) {
    const int m = widen(mix);
    for (int i = 0; i < count; ++i) {
        uint32_t out = 0;
        for (int shift = 0; shift < 32; shift += 8)
            out |= static_cast<uint32_t>((channel(a[i], shift) * (256 - m) + channel(b[i], shift) * m) >> 8)
                   << shift;
        dst[i] = out;
    }
}

void Bitmap::crossFadeRowSse2(uint32_t* dst, const uint32_t* a, const uint32_t* b, int count, int mix) {
    const int m = widen(mix);
    const __m128i zero = _mm_setzero_si128();
    const __m128i wb = _mm_set1_epi16(static_cast<short>(m));
    const __m128i wa = _mm_set1_epi16(static_cast<short>(256 - m));
    int i = 0;
    for (; i + 4 <= count; i += 4) {
        const __m128i va = _mm_loadu_si128(reinterpret_cast<const __m128i*>(a + i));
        const __m128i vb = _mm_loadu_si128(reinterpret_cast<const __m128i*>(b + i));
        // Each sum is at most 255 * 256, so 16-bit words hold it.
        auto fade = [&](__m128i x, __m128i y) {
            return _mm_srli_epi16(_mm_add_epi16(_mm_mullo_epi16(x, wa), _mm_mullo_epi16(y, wb)), 8);
        };
        const __m128i lo = fade(_mm_unpacklo_epi8(va, zero), _mm_unpacklo_epi8(vb, zero));
        const __m128i hi = fade(_mm_unpackhi_epi8(va, zero), _mm_unpackhi_epi8(vb, zero));
        _mm_storeu_si128(reinterpret_cast<__m128i*>(dst + i), _mm_packus_epi16(lo, hi));
    }
    crossFadeRowPlain(dst + i, a + i, b + i, count - i, mix);
}

void Bitmap::setSize(int width, int height) {
    freePixels();
    width_ = width > 0 && height > 0 ? width : 0;
    height_ = width > 0 && height > 0 ? height : 0;
    allocatePixels();
    hasAlpha = false;
    canvas_.setClip(bounds());
}

void Bitmap::freePixels() {
    pixels_.clear();
    pixels_.shrink_to_fit();
}

void Bitmap::allocatePixels() {
    pixels_.assign(static_cast<size_t>(width_) * height_, 0);
}

void Bitmap::adopt(Bitmap& other) {
    width_ = other.width_;
    height_ = other.height_;
    pixels_.swap(other.pixels_);
    hasAlpha = other.hasAlpha.get();
    canvas_.setClip(bounds());
    pixelsChanged(bounds());
    requestUpdate();
}

void Bitmap::update() {
    UpdatedObject::update();
    changeEvent.fire(this);
}

void Bitmap::load(std::istream& stream) {
    const std::streampos start = stream.tellg();
    for (BitmapFilerFactory* factory : BitmapFilerFactory::factories()) {
        std::unique_ptr<BitmapFiler> filer = factory->recognise(stream);
        stream.clear();
        stream.seekg(start);
        if (!filer) continue;
        Bitmap decoded;
        filer->load(stream, decoded);
        adopt(decoded);
        return;
    }
    throw EBitmap("Unknown file format");
}

bool Bitmap::load(const uint8_t* data, size_t size) {
    std::istringstream stream(std::string(reinterpret_cast<const char*>(data), size));
    try {
        load(stream);
        return true;
    } catch (const EBitmap&) {
        return false;
    }
}

void Bitmap::copyFrom(const Bitmap& other) {
    if (&other == this) return;
    if (other.width_ != width_ || other.height_ != height_) setSize(other.width_, other.height_);
    pixels_ = other.pixels_;
    hasAlpha = other.hasAlpha.get();
    pixelsChanged(bounds());
    requestUpdate();
}

void Bitmap::clear() {
    std::fill(pixels_.begin(), pixels_.end(), kTransparent);
    hasAlpha = true;
    pixelsChanged(bounds());
    requestUpdate();
}

void Bitmap::setPixel(int x, int y, uint32_t value) {
    pixels_[static_cast<size_t>(y) * width_ + x] = value;
    if (value >> 24) hasAlpha = true;
}

void Bitmap::tint(Rgba colour) {
    const uint32_t c = premultiplied(colour);
    const int cb = channel(c, 0), cg = channel(c, 8), cr = channel(c, 16), ct = channel(c, 24);
    for (uint32_t& p : pixels_) {
        const int blue = channel(p, 0);
        const int g = 255 - blue + (blue < 128 ? 1 : 0);
        p = static_cast<uint32_t>((g * cb) >> 8) | static_cast<uint32_t>((g * cg) >> 8) << 8 |
            static_cast<uint32_t>((g * cr) >> 8) << 16 | static_cast<uint32_t>(blue + ((g * ct) >> 8)) << 24;
    }
    hasAlpha = true;
    pixelsChanged(bounds());
    requestUpdate();
}

void Bitmap::blend(const Bitmap& a, const Bitmap& b, int level, const Rect* rect) {
    if (!rect && (width_ != a.width_ || height_ != a.height_)) setSize(a.width_, a.height_);
    Rect r = rect ? rect->intersection(bounds()) : bounds();
    r = r.intersection(a.bounds()).intersection(b.bounds());
    if (r.isEmpty()) return;
    const int mix = std::clamp(level, 0, 255);
    for (int y = r.top; y < r.bottom; ++y)
        crossFadeRowSse2(row(y) + r.left, a.row(y) + r.left, b.row(y) + r.left, r.width(), mix);
    if (a.hasAlpha || b.hasAlpha) hasAlpha = true;
    pixelsChanged(r);
    requestUpdate();
}

void Bitmap::mirrorFrom(const Bitmap& source, int flags) {
    if (&source == this) return;
    if (source.width_ != width_ || source.height_ != height_) setSize(source.width_, source.height_);
    for (int y = 0; y < height_; ++y) {
        const uint32_t* from = source.row(flags & Vertical ? height_ - 1 - y : y);
        uint32_t* to = row(y);
        for (int x = 0; x < width_; ++x) to[x] = from[flags & Horizontal ? width_ - 1 - x : x];
    }
    hasAlpha = source.hasAlpha.get();
    pixelsChanged(bounds());
    requestUpdate();
}

void Bitmap::drawRotated(const Bitmap& source, float angle) {
    if (isEmpty() || &source == this) return;
    const auto& weights = rotationWeights().w;
    // Clockwise on screen (y grows downward): the source point is the destination point turned back.
    const int c = static_cast<int>(std::lround(std::cos(angle) * 1024.0));
    const int s = static_cast<int>(std::lround(std::sin(angle) * 1024.0));
    const int cx = width_ / 2, cy = height_ / 2;
    const int64_t scx = static_cast<int64_t>(source.width_ / 2) << 10,
                  scy = static_cast<int64_t>(source.height_ / 2) << 10;
    auto at = [&source](int64_t x, int64_t y) {
        if (x < 0 || y < 0 || x >= source.width_ || y >= source.height_) return kTransparent;
        return source.pixel(static_cast<int>(x), static_cast<int>(y));
    };
    for (int y = 0; y < height_; ++y) {
        uint32_t* out = row(y);
        const int dy = y - cy;
        for (int x = 0; x < width_; ++x) {
            const int dx = x - cx;
            const int64_t sx = scx + static_cast<int64_t>(c) * dx + static_cast<int64_t>(s) * dy;
            const int64_t sy = scy - static_cast<int64_t>(s) * dx + static_cast<int64_t>(c) * dy;
            const int64_t ix = sx >> 10, iy = sy >> 10;
            int fx = static_cast<int>(((sx & 1023) + 16) >> 5),
                fy = static_cast<int>(((sy & 1023) + 16) >> 5);
            const auto& w = weights[fx][fy];
            const uint32_t p00 = at(ix, iy), p10 = at(ix + 1, iy), p01 = at(ix, iy + 1),
                           p11 = at(ix + 1, iy + 1);
            uint32_t result = 0;
            for (int shift = 0; shift < 32; shift += 8) {
                const int v = channel(p00, shift) * w[0] + channel(p10, shift) * w[1] +
                              channel(p01, shift) * w[2] + channel(p11, shift) * w[3];
                result |= static_cast<uint32_t>((v + 127) / 255) << shift;
            }
            out[x] = result;
        }
    }
    hasAlpha = true;
    pixelsChanged(bounds());
    requestUpdate();
}

void Bitmap::setRow(int y, const uint8_t* rgba) {
    if (y < 0 || y >= height_) return;
    uint32_t* out = row(y);
    bool transparent = false;
    for (int x = 0; x < width_; ++x, rgba += 4) {
        out[x] = premultiplied(Rgba{rgba[0], rgba[1], rgba[2], rgba[3]});
        transparent |= rgba[3] != 255;
    }
    if (transparent) hasAlpha = true;
    pixelsChanged({0, y, width_, y + 1});
}

void Bitmap::composePixel(uint32_t& out, uint32_t source, int opacity) {
    composeRowPlain(&out, &source, 1, opacity);
}

void Bitmap::drawBitmap(const Bitmap& bitmap, const Rect& destination, Point source, int opacity) {
    if (opacity <= 0 || &bitmap == this) return;
    Rect d = destination;
    Point s = source;
    if (!fitRects(bounds(), bitmap.bounds(), d, s)) return;
    const int a = std::min(opacity, 255);
    for (int y = 0; y < d.height(); ++y) {
        uint32_t* out = row(d.top + y) + d.left;
        const uint32_t* in = bitmap.row(s.y + y) + s.x;
        if (!bitmap.hasAlpha && a == 255)
            std::memcpy(out, in, static_cast<size_t>(d.width()) * 4);
        else
            composeRowSse2(out, in, d.width(), a);
    }
    pixelsChanged(d);
    requestUpdate();
}

void Bitmap::drawBlend(const Bitmap& a, const Rect& destination, Point sourceA, const Bitmap& b,
                       Point sourceB, int mix, int opacity) {
    if (opacity <= 0 || &a == this || &b == this) return;
    Rect d = destination;
    Point sa = sourceA;
    if (!fitRects(bounds(), a.bounds(), d, sa)) return;
    // Cut the same amount from B's side.
    Point sb{sourceB.x + d.left - destination.left, sourceB.y + d.top - destination.top};
    Rect db = d;
    if (!fitRects(bounds(), b.bounds(), db, sb)) return;
    sa = sa + Point{db.left - d.left, db.top - d.top};
    d = db;
    // Cross-faded in pieces through a buffer on the stack, so drawing never allocates.
    constexpr int kPiece = 256;
    uint32_t faded[kPiece];
    const bool copy = !a.hasAlpha && !b.hasAlpha && opacity >= 255;
    for (int y = 0; y < d.height(); ++y) {
        uint32_t* out = row(d.top + y) + d.left;
        const uint32_t* fromA = a.row(sa.y + y) + sa.x;
        const uint32_t* fromB = b.row(sb.y + y) + sb.x;
        for (int x = 0; x < d.width(); x += kPiece) {
            const int n = std::min(kPiece, d.width() - x);
            crossFadeRowSse2(copy ? out + x : faded, fromA + x, fromB + x, n, mix);
            if (!copy) composeRowSse2(out + x, faded, n, std::min(opacity, 255));
        }
    }
    pixelsChanged(d);
    requestUpdate();
}

void Bitmap::fillRect(const Rect& rect, Rgba colour) {
    const Rect r = rect.intersection(bounds());
    if (r.isEmpty() || colour.alpha == 0) return;
    const uint32_t p = premultiplied(colour);
    for (int y = r.top; y < r.bottom; ++y) {
        uint32_t* out = row(y);
        if (colour.alpha == 255) {
            std::fill(out + r.left, out + r.right, p);
        } else {
            for (int x = r.left; x < r.right; ++x) composePixel(out[x], p, 255);
        }
    }
    pixelsChanged(r);
    requestUpdate();
}

Rgba Bitmap::getPixel(Point point) const {
    if (!bounds().contains(point)) return Rgba{0, 0, 0, 0};
    const uint32_t p = pixel(point.x, point.y);
    const int alpha = 255 - channel(p, 24);
    auto straight = [alpha](int v) {
        if (alpha == 0) return 0;
        if (alpha == 255) return v;
        return std::min(255, v * 255 / alpha);
    };
    return Rgba{static_cast<uint8_t>(straight(channel(p, 16))), static_cast<uint8_t>(straight(channel(p, 8))),
                static_cast<uint8_t>(straight(channel(p, 0))), static_cast<uint8_t>(alpha)};
}

void Bitmap::blendPixel(Point point, Rgba colour) {
    if (!bounds().contains(point) || colour.alpha == 0) return;
    uint32_t& out = pixels_[static_cast<size_t>(point.y) * width_ + point.x];
    if (colour.alpha == 255)
        out = premultiplied(colour);
    else
        composePixel(out, premultiplied(colour), 255);
    pixelsChanged({point.x, point.y, point.x + 1, point.y + 1});
}

void Bitmap::drawLine(float x1, float y1, float x2, float y2, Rgba colour, float thickness,
                      const Rect& clip) {
    // Coverage by distance from the pixel centre to the segment: full within half the thickness,
    // falling off linearly over one pixel, which rounds the ends as well.
    const float half = thickness * 0.5f;
    const Rect area = Rect{static_cast<int>(std::floor(std::min(x1, x2) - half - 1)),
                           static_cast<int>(std::floor(std::min(y1, y2) - half - 1)),
                           static_cast<int>(std::ceil(std::max(x1, x2) + half + 1)),
                           static_cast<int>(std::ceil(std::max(y1, y2) + half + 1))}
                          .intersection(clip)
                          .intersection(bounds());
    if (area.isEmpty()) return;
    const float vx = x2 - x1, vy = y2 - y1, len2 = vx * vx + vy * vy;
    for (int y = area.top; y < area.bottom; ++y)
        for (int x = area.left; x < area.right; ++x) {
            const float px = x + 0.5f - x1, py = y + 0.5f - y1;
            const float t = len2 > 0 ? std::clamp((px * vx + py * vy) / len2, 0.0f, 1.0f) : 0.0f;
            const float ex = px - t * vx, ey = py - t * vy;
            const float coverage = std::clamp(half + 0.5f - std::sqrt(ex * ex + ey * ey), 0.0f, 1.0f);
            if (coverage <= 0) continue;
            Rgba c = colour;
            c.alpha = static_cast<uint8_t>(std::lround(colour.alpha * coverage));
            blendPixel({x, y}, c);
        }
    requestUpdate();
}

void Bitmap::drawCurves(const CurveSet& curves, const Rect& rect, Point origin, bool transposed,
                        int opacity) {
    // Work in "columns" along u and "rows" along v; transposed swaps x and y.
    const Rect r = rect.intersection(bounds());
    if (r.isEmpty() || curves.entries.empty()) return;
    const int u0 = transposed ? r.top : r.left, u1 = transposed ? r.bottom : r.right;
    const int v0 = transposed ? r.left : r.top, v1 = transposed ? r.right : r.bottom;
    const float uOrigin = static_cast<float>(transposed ? origin.y : origin.x);
    const float vOrigin = static_cast<float>(transposed ? origin.x : origin.y);
    auto put = [&](int u, int v, Rgba colour, float coverage) {
        if (coverage <= 0 || colour.alpha == 0) return;
        Rgba c = colour;
        c.alpha = static_cast<uint8_t>(
            std::lround(Canvas::scale(colour.alpha, opacity) * std::min(coverage, 1.0f)));
        blendPixel(transposed ? Point{v, u} : Point{u, v}, c);
    };
    for (int u = u0; u < u1; ++u) {
        float topmost = static_cast<float>(v1);
        for (const CurveSet::Entry& entry : curves.entries) {
            if (!entry.curve) continue;
            const float centre = u + 0.5f - uOrigin;
            // Thicker lines look further along the curve for the span they cover.
            const int samples = std::clamp(3 + 2 * static_cast<int>(entry.thickness / 2), 3, 9);
            const float reach = std::max(0.5f, entry.thickness * 0.5f);
            float lo = 1e30f, hi = -1e30f;
            for (int k = 0; k < samples; ++k) {
                const float x = centre - reach + 2 * reach * k / (samples - 1);
                const float y = entry.curve->value(x) + vOrigin;
                lo = std::min(lo, y);
                hi = std::max(hi, y);
            }
            const float mid = entry.curve->value(centre) + vOrigin;
            const float top = lo - entry.thickness * 0.5f, bottom = hi + entry.thickness * 0.5f;
            topmost = std::min(topmost, top);
            // Fill from the line's centre down to the end of the rectangle, or fading out linearly
            // on the way to the fade end when there is one (nothing when the line lies beyond it).
            if (entry.fill.alpha) {
                const float fadeEnd = entry.fadeEnd ? *entry.fadeEnd + vOrigin : 0.0f;
                const float fadeSpan = fadeEnd - mid;
                int end = v1;
                if (entry.fadeEnd)
                    end = fadeSpan > 0 ? std::min(v1, static_cast<int>(std::ceil(fadeEnd))) : v0;
                for (int v = std::max(v0, static_cast<int>(std::floor(mid))); v < end; ++v) {
                    float coverage = std::min(1.0f, v + 1 - mid);
                    if (entry.fadeEnd) coverage *= std::clamp((fadeEnd - (v + 0.5f)) / fadeSpan, 0.0f, 1.0f);
                    put(u, v, entry.fill, coverage);
                }
            }
            for (int v = std::max(v0, static_cast<int>(std::floor(top)));
                 v < std::min(v1, static_cast<int>(std::ceil(bottom))); ++v)
                put(u, v, entry.line, std::min<float>(v + 1, bottom) - std::max<float>(v, top));
        }
        if (curves.base.alpha)
            for (int v = v0; v < std::min(v1, static_cast<int>(std::ceil(topmost))); ++v)
                put(u, v, curves.base, std::min<float>(v + 1, topmost) - v);
    }
    requestUpdate();
}

}  // namespace gui
