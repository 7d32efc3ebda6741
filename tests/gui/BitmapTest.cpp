#include <gtest/gtest.h>

#include <cmath>
#include <random>

#include "AudioThreadGuard.h"
#include "gui/Bitmap.h"
#include "gui/Curve.h"

namespace gui::test {
namespace {

uint32_t bgrt(int b, int g, int r, int t) {
    return static_cast<uint32_t>(b | g << 8 | r << 16 | t << 24);
}

// A bitmap of one premultiplied pixel value everywhere.
void fill(Bitmap& bitmap, int w, int h, uint32_t value) {
    bitmap.setSize(w, h);
    for (int y = 0; y < h; ++y)
        for (int x = 0; x < w; ++x) bitmap.setPixel(x, y, value);
}

TEST(BitmapTest, FreshBitmapIsOpaqueBlackAndClearMakesItTransparent) {
    Bitmap b;
    b.setSize(3, 2);
    EXPECT_EQ(b.pixel(2, 1), 0u);
    EXPECT_FALSE(b.hasAlpha);
    b.clear();
    EXPECT_EQ(b.pixel(2, 1), bgrt(0, 0, 0, 255));
    EXPECT_TRUE(b.hasAlpha);
    EXPECT_EQ(b.getPixel({0, 0}), (Rgba{0, 0, 0, 0}));
}

TEST(BitmapTest, ColoursArePremultipliedWithTheWeightRounding) {
    // 255 counts as 256/256; 128 becomes 129/256.
    EXPECT_EQ(Bitmap::premultiplied({255, 128, 10, 255}), bgrt(10, 128, 255, 0));
    EXPECT_EQ(Bitmap::premultiplied({255, 128, 10, 128}),
              bgrt(10 * 129 >> 8, 128 * 129 >> 8, 255 * 129 >> 8, 127));
    EXPECT_EQ(Bitmap::premultiplied({200, 200, 200, 0}), bgrt(0, 0, 0, 255));
}

TEST(BitmapTest, GetPixelUnpremultiplies) {
    Bitmap b;
    fill(b, 1, 1, bgrt(64, 64, 64, 127));
    EXPECT_EQ(b.getPixel({0, 0}), (Rgba{127, 127, 127, 128}));
    b.setPixel(0, 0, bgrt(1, 2, 3, 0));
    EXPECT_EQ(b.getPixel({0, 0}), (Rgba{3, 2, 1, 255}));
    EXPECT_EQ(b.getPixel({1, 0}), (Rgba{0, 0, 0, 0}));  // outside
}

TEST(BitmapTest, OverAndOpacityCompositionGiveTheExactIntegers) {
    struct Case {
        uint32_t dst, src;
        int opacity;
        uint32_t expected;
    };
    const uint32_t white = bgrt(255, 255, 255, 0);
    const Case cases[] = {
        // Alpha 128 over opaque white: src + 255 * 127 / 256, opaque.
        {white, bgrt(64, 0, 32, 127), 255, bgrt(64 + 126, 126, 32 + 126, 0)},
        // A transparent source leaves the destination; an opaque one replaces it.
        {bgrt(9, 8, 7, 0), bgrt(0, 0, 0, 255), 255, bgrt(9, 8, 7, 0)},
        {bgrt(9, 8, 7, 0), bgrt(1, 2, 3, 0), 255, bgrt(1, 2, 3, 0)},
        // Over a transparent destination the T byte is the destination's scaled by the source's.
        {bgrt(0, 0, 0, 255), bgrt(64, 64, 64, 127), 255, bgrt(64, 64, 64, 126)},
        // Opacity 128 (e = 129) with an opaque source over white: 200 * 129 >> 8 plus 255 * 127 >> 8.
        {white, bgrt(200, 0, 100, 0), 128, bgrt(100 + 126, 126, 50 + 126, 0)},
        // Opacity 128 with a half-transparent source: the destination keeps 127 + 129 * 127 / 256 = 190.
        {white, bgrt(64, 64, 64, 127), 128,
         bgrt(32 + (255 * 191 >> 8), 32 + (255 * 191 >> 8), 32 + (255 * 191 >> 8), 0)},
        // Saturation: an inconsistent source (colour above its alpha) clips at 255.
        {white, bgrt(200, 200, 200, 200), 255, bgrt(255, 255, 255, 0)},
    };
    for (const Case& c : cases) {
        uint32_t plain = c.dst, vector[4] = {c.dst, c.dst, c.dst, c.dst};
        const uint32_t src[4] = {c.src, c.src, c.src, c.src};
        Bitmap::composeRowPlain(&plain, &c.src, 1, c.opacity);
        Bitmap::composeRowSse2(vector, src, 4, c.opacity);
        EXPECT_EQ(plain, c.expected) << std::hex << c.dst << " " << c.src << " @" << std::dec << c.opacity;
        for (uint32_t v : vector) EXPECT_EQ(v, c.expected);
    }
}

TEST(BitmapTest, VectorLoopsEqualPlainLoopsOnRandomPixels) {
    std::mt19937 random(7);
    std::uniform_int_distribution<uint32_t> any;
    for (int opacity : {1, 64, 127, 128, 200, 254, 255}) {
        for (int count : {0, 1, 3, 4, 7, 64, 65}) {
            std::vector<uint32_t> src(count), a(count), b(count);
            for (int i = 0; i < count; ++i) {
                // Premultiplied pixels: colour channels at most alpha.
                const int alpha = static_cast<int>(any(random) & 0xFF);
                uint32_t p = static_cast<uint32_t>(255 - alpha) << 24;
                for (int s = 0; s < 24; s += 8) p |= (any(random) % (alpha + 1)) << s;
                src[i] = i % 5 == 0 ? any(random) : p;  // some arbitrary bytes as well
                a[i] = b[i] = any(random);
            }
            std::vector<uint32_t> c = a;
            Bitmap::composeRowPlain(a.data(), src.data(), count, opacity);
            Bitmap::composeRowSse2(b.data(), src.data(), count, opacity);
            EXPECT_EQ(a, b) << "compose, opacity " << opacity << ", " << count << " pixels";
            std::vector<uint32_t> fadedPlain(count), fadedVector(count);
            Bitmap::crossFadeRowPlain(fadedPlain.data(), c.data(), src.data(), count, opacity);
            Bitmap::crossFadeRowSse2(fadedVector.data(), c.data(), src.data(), count, opacity);
            EXPECT_EQ(fadedPlain, fadedVector) << "cross-fade, mix " << opacity << ", " << count << " pixels";
        }
    }
}

TEST(BitmapTest, OpaqueSourcesAreCopiedAndDrawingStaysInsideBothBitmaps) {
    Bitmap src, dst;
    fill(src, 4, 4, bgrt(1, 2, 3, 0));
    fill(dst, 6, 6, bgrt(9, 9, 9, 0));
    // The destination hangs over the left edge and the source runs out at its right edge.
    dst.drawBitmap(src, {-1, 1, 5, 3}, {1, 0}, 255);
    for (int x = 0; x < 6; ++x) {
        const uint32_t expected = x <= 1 ? bgrt(1, 2, 3, 0) : bgrt(9, 9, 9, 0);
        EXPECT_EQ(dst.pixel(x, 1), expected) << x;
    }
    EXPECT_EQ(dst.pixel(0, 0), bgrt(9, 9, 9, 0));
    EXPECT_EQ(dst.pixel(0, 3), bgrt(9, 9, 9, 0));
}

TEST(BitmapTest, FillRectStoresOpaqueColoursAndBlendsOthers) {
    Bitmap b;
    fill(b, 2, 1, bgrt(255, 255, 255, 0));
    b.fillRect({0, 0, 1, 1}, Rgba{10, 20, 30, 255});
    b.fillRect({1, 0, 2, 1}, Rgba{0, 0, 0, 128});
    EXPECT_EQ(b.pixel(0, 0), bgrt(30, 20, 10, 0));
    EXPECT_EQ(b.pixel(1, 0), bgrt(126, 126, 126, 0));
}

TEST(BitmapTest, TintTurnsAMaskIntoColourCoverage) {
    Bitmap mask;
    mask.setSize(3, 1);
    mask.setPixel(0, 0, bgrt(255, 255, 255, 0));  // no ink
    mask.setPixel(1, 0, bgrt(0, 0, 0, 0));        // full ink
    mask.setPixel(2, 0, bgrt(128, 128, 128, 0));  // half
    mask.tint(Rgba{200, 100, 50, 255});
    EXPECT_EQ(mask.pixel(0, 0), bgrt(0, 0, 0, 255));
    EXPECT_EQ(mask.pixel(1, 0), bgrt(50, 100, 200, 0));
    EXPECT_EQ(mask.pixel(2, 0), bgrt(127 * 50 >> 8, 127 * 100 >> 8, 127 * 200 >> 8, 128));
    EXPECT_TRUE(mask.hasAlpha);
}

TEST(BitmapTest, BlendCrossFadesAndMirrorFlips) {
    Bitmap a, b, out;
    fill(a, 2, 2, bgrt(0, 0, 0, 0));
    fill(b, 2, 2, bgrt(200, 100, 0, 0));
    for (auto [level, expected] : {std::pair{0, bgrt(0, 0, 0, 0)}, std::pair{255, bgrt(200, 100, 0, 0)},
                                   std::pair{128, bgrt(200 * 129 >> 8, 100 * 129 >> 8, 0, 0)}}) {
        out.blend(a, b, level);
        EXPECT_EQ(out.pixel(1, 1), expected) << level;
    }
    Bitmap m;
    m.setSize(2, 2);
    m.setPixel(0, 0, 1);
    m.setPixel(1, 0, 2);
    m.setPixel(0, 1, 3);
    m.setPixel(1, 1, 4);
    out.mirrorFrom(m, Bitmap::Horizontal);
    EXPECT_EQ(out.pixels(), (std::vector<uint32_t>{2, 1, 4, 3}));
    out.mirrorFrom(m, Bitmap::Horizontal | Bitmap::Vertical);
    EXPECT_EQ(out.pixels(), (std::vector<uint32_t>{4, 3, 2, 1}));
}

TEST(BitmapTest, RotationTurnsClockwiseAndLeavesTheOutsideTransparent) {
    // A 9 x 9 picture with one opaque red pixel straight above the centre.
    Bitmap src, out;
    src.setSize(9, 9);
    src.clear();
    src.setPixel(4, 1, bgrt(0, 0, 255, 0));
    out.setSize(9, 9);
    out.drawRotated(src, 0.0f);
    EXPECT_EQ(out.pixels(), src.pixels());
    // A quarter turn clockwise moves it to the right of the centre.
    out.drawRotated(src, static_cast<float>(M_PI / 2));
    EXPECT_EQ(out.pixel(7, 4), bgrt(0, 0, 255, 0));
    EXPECT_EQ(out.pixel(4, 1), bgrt(0, 0, 0, 255));
    // Half a pixel off: the neighbours share the weight equally (within the 1/32 quantisation).
    Bitmap wide;
    wide.setSize(20, 20);
    wide.clear();
    wide.drawRotated(src, 0.3f);
    int total = 0;
    for (uint32_t p : wide.pixels()) total += static_cast<int>((p >> 16) & 0xFF);
    EXPECT_NEAR(total, 255, 20);  // the red spreads but about its amount is kept
    EXPECT_EQ(wide.pixel(0, 0), bgrt(0, 0, 0, 255));
}

TEST(BitmapTest, LinesCoverTheirThicknessWithSoftEdges) {
    Bitmap b;
    fill(b, 20, 20, bgrt(0, 0, 0, 0));
    b.drawLine(2.0f, 10.0f, 18.0f, 10.0f, Rgba{255, 255, 255, 255}, 3.0f, b.bounds());
    // Rows 9..10 are covered fully by the 3-pixel band 8.5..11.5 (centres 9.5, 10.5); rows 8 and 11
    // partly; rows 6 and 14 not at all.
    EXPECT_EQ(b.getPixel({10, 9}).red, 255);
    EXPECT_EQ(b.getPixel({10, 10}).red, 255);
    EXPECT_GT(b.getPixel({10, 8}).red, 0);
    EXPECT_LT(b.getPixel({10, 8}).red, 255);
    EXPECT_EQ(b.getPixel({10, 6}).red, 0);
    EXPECT_EQ(b.getPixel({10, 14}).red, 0);
    // Clipped: nothing right of x = 5.
    Bitmap c;
    fill(c, 20, 20, bgrt(0, 0, 0, 0));
    c.drawLine(0.0f, 5.0f, 20.0f, 5.0f, Rgba{255, 255, 255, 255}, 1.0f, {0, 0, 5, 20});
    EXPECT_GT(c.getPixel({4, 4}).red + c.getPixel({4, 5}).red, 0);
    EXPECT_EQ(c.getPixel({5, 4}).red + c.getPixel({5, 5}).red, 0);
}

// y = slope * x + offset.
class Line : public Curve {
public:
    Line(float slope, float offset) : slope_(slope), offset_(offset) {}
    float value(float x) const override { return slope_ * x + offset_; }

private:
    float slope_, offset_;
};

TEST(BitmapTest, CurvesFillBelowTheLineAndTheBaseAbove) {
    Bitmap b;
    fill(b, 10, 20, bgrt(0, 0, 0, 0));
    Line flat(0.0f, 10.0f);
    CurveSet set;
    set.base = Rgba{0, 0, 255, 255};
    set.entries.push_back({&flat, Rgba{0, 255, 0, 255}, Rgba{255, 0, 0, 255}, 2.0f});
    b.drawCurves(set, b.bounds(), {0, 0}, false, 255);
    for (int x = 0; x < 10; ++x) {
        EXPECT_EQ(b.getPixel({x, 3}), (Rgba{0, 0, 255, 255})) << x;  // base above
        EXPECT_EQ(b.getPixel({x, 9}), (Rgba{255, 0, 0, 255})) << x;  // the line 9..11
        EXPECT_EQ(b.getPixel({x, 10}), (Rgba{255, 0, 0, 255})) << x;
        EXPECT_EQ(b.getPixel({x, 15}), (Rgba{0, 255, 0, 255})) << x;  // fill below
    }
    // Transposed: the same curve is now x = 10 - 0 * y, the fill lies to its right.
    Bitmap t;
    fill(t, 20, 10, bgrt(0, 0, 0, 0));
    t.drawCurves(set, t.bounds(), {0, 0}, true, 255);
    EXPECT_EQ(t.getPixel({3, 5}), (Rgba{0, 0, 255, 255}));
    EXPECT_EQ(t.getPixel({15, 5}), (Rgba{0, 255, 0, 255}));
    // A steep line covers the span it sweeps in each column, so it leaves no gaps.
    Bitmap s;
    fill(s, 10, 40, bgrt(0, 0, 0, 0));
    Line steep(4.0f, 0.0f);
    CurveSet only;
    only.entries.push_back({&steep, Rgba{0, 0, 0, 0}, Rgba{255, 255, 255, 255}, 1.0f});
    s.drawCurves(only, s.bounds(), {0, 0}, false, 255);
    for (int y = 4; y < 36; ++y) {
        int row = 0;
        for (int x = 0; x < 10; ++x) row += s.getPixel({x, y}).red;
        EXPECT_GT(row, 128) << y;
    }
}

TEST(BitmapTest, FadingFillRunsFromTheLineToTransparentWhateverTheClip) {
    // A flat line at 10 over a rectangle 40 deep; the fill is white fading out at its far edge.
    Line flat(0.0f, 10.0f);
    CurveSet set;
    set.entries.push_back({&flat, Rgba{255, 255, 255, 255}, Rgba{0, 0, 0, 0}, 1.0f, 40.0f});
    struct Case {
        bool transposed;
        int clipFrom, clipTo;  // along the fill
    };
    const Case cases[] = {{false, 0, 40}, {false, 25, 40}, {false, 12, 20}, {true, 0, 40}, {true, 25, 40}};
    for (const Case& c : cases) {
        Bitmap b;
        fill(b, c.transposed ? 40 : 8, c.transposed ? 8 : 40, bgrt(0, 0, 0, 0));
        // The painting control sits at (0, 0) of the bitmap; only part of it is repainted.
        b.canvas().setClip(c.transposed ? Rect{c.clipFrom, 0, c.clipTo, 8}
                                        : Rect{0, c.clipFrom, 8, c.clipTo});
        b.canvas().drawCurves(set, b.bounds(), c.transposed);
        auto level = [&](int u, int v) {
            return c.transposed ? b.getPixel({v, u}).red : b.getPixel({u, v}).red;
        };
        for (int v = 0; v < 40; ++v) {
            // Straight alpha falls linearly from the line's centre (10) to the far edge (40).
            int expected = v < 10 ? 0 : static_cast<int>(std::lround(255 * (40 - (v + 0.5f)) / 30));
            if (v < c.clipFrom || v >= c.clipTo) expected = 0;
            for (int u = 0; u < 8; ++u)
                ASSERT_NEAR(level(u, v), expected, 2) << "v " << v << (c.transposed ? " transposed" : "");
        }
    }
    // A line at or beyond the fade end leaves nothing to fill.
    Bitmap none;
    fill(none, 8, 40, bgrt(0, 0, 0, 0));
    set.entries[0].fadeEnd = 8.0f;
    none.drawCurves(set, none.bounds(), {0, 0}, false, 255);
    for (uint32_t p : none.pixels()) ASSERT_EQ(p, bgrt(0, 0, 0, 0));
}

TEST(BitmapTest, CompositionNeitherAllocatesNorLocks) {
    // Rows wider than the cross-fade's stack buffer, so it works in pieces.
    Bitmap src, other, dst;
    fill(src, 300, 8, bgrt(10, 20, 30, 100));
    fill(other, 300, 8, bgrt(50, 60, 70, 0));
    fill(dst, 300, 8, bgrt(255, 255, 255, 0));
    AudioThreadGuard guard;
    dst.drawBitmap(src, dst.bounds(), {0, 0}, 255);
    dst.drawBitmap(src, dst.bounds(), {0, 0}, 100);
    dst.fillRect({4, 4, 40, 8}, Rgba{1, 2, 3, 50});
    dst.drawBlend(src, dst.bounds(), {0, 0}, other, {0, 0}, 90, 200);
    EXPECT_EQ(guard.allocations(), 0);
    if (AudioThreadGuard::countsLocks()) {
        EXPECT_EQ(guard.locks(), 0);
    }
    // The piecewise cross-fade matches one composed by hand at the far end of the row.
    uint32_t faded, expected = bgrt(255, 255, 255, 0);
    const uint32_t a = src.pixel(299, 7), b = other.pixel(299, 7);
    Bitmap::crossFadeRowPlain(&faded, &a, &b, 1, 90);
    Bitmap check;
    fill(check, 300, 8, bgrt(255, 255, 255, 0));
    check.drawBitmap(src, check.bounds(), {0, 0}, 255);
    check.drawBitmap(src, check.bounds(), {0, 0}, 100);
    expected = check.pixel(299, 7);
    Bitmap::composeRowPlain(&expected, &faded, 1, 200);
    EXPECT_EQ(dst.pixel(299, 7), expected);
}

}  // namespace
}  // namespace gui::test
