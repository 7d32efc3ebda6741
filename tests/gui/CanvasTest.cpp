#include <gtest/gtest.h>

#include "gui/Bitmap.h"
#include "gui/Canvas.h"

namespace gui::test {
namespace {

// A source whose every column holds its own index in the red byte, opaque.
void columns(Bitmap& b, int w, int h) {
    b.setSize(w, h);
    for (int y = 0; y < h; ++y)
        for (int x = 0; x < w; ++x) b.setPixel(x, y, static_cast<uint32_t>(x) << 16);
}

std::vector<int> redRow(const Bitmap& b, int y) {
    std::vector<int> out;
    for (int x = 0; x < b.width(); ++x) out.push_back(static_cast<int>((b.pixel(x, y) >> 16) & 0xFF));
    return out;
}

TEST(CanvasTest, ThreeSliceTilesTheMiddleWithoutScaling) {
    Bitmap src, dst;
    columns(src, 30, 20);
    dst.setSize(100, 20);
    dst.canvas().drawStretched(src, src.bounds(), dst.bounds());
    // Caps of 10, the 10-column middle tiled eight times.
    std::vector<int> expected;
    for (int x = 0; x < 10; ++x) expected.push_back(x);
    for (int copy = 0; copy < 8; ++copy)
        for (int x = 10; x < 20; ++x) expected.push_back(x);
    for (int x = 20; x < 30; ++x) expected.push_back(x);
    EXPECT_EQ(redRow(dst, 7), expected);
}

TEST(CanvasTest, ThreeSliceCutsTheLastTileAndRespectsTheCaps) {
    struct Case {
        int sourceWidth, destinationWidth, minimumCap;
        std::vector<int> expected;
    };
    const Case cases[] = {
        // Cap 3 from a 9-wide source into 14: 0 1 2 | 3 4 5 3 4 5 3 4 | 6 7 8.
        {9, 14, 0, {0, 1, 2, 3, 4, 5, 3, 4, 5, 3, 4, 6, 7, 8}},
        // The minimum cap raises the cap to 4 (middle of 1 column).
        {9, 12, 4, {0, 1, 2, 3, 4, 4, 4, 4, 5, 6, 7, 8}},
        // A destination narrower than two caps: the cap becomes half the destination.
        {9, 4, 0, {0, 1, 7, 8}},
        // Equal widths draw 1:1.
        {9, 9, 0, {0, 1, 2, 3, 4, 5, 6, 7, 8}},
    };
    for (const Case& c : cases) {
        Bitmap src, dst;
        columns(src, c.sourceWidth, 3);
        dst.setSize(c.destinationWidth, 3);
        dst.canvas().drawStretched(src, src.bounds(), dst.bounds(), 255, c.minimumCap);
        EXPECT_EQ(redRow(dst, 1), c.expected) << c.sourceWidth << " -> " << c.destinationWidth;
    }
}

TEST(CanvasTest, ThreeSliceStretchesVerticallyBandByBand) {
    // Rows carry their index in green, columns in red: a 6 x 6 source into 6 x 10.
    Bitmap src, dst;
    src.setSize(6, 6);
    for (int y = 0; y < 6; ++y)
        for (int x = 0; x < 6; ++x) src.setPixel(x, y, static_cast<uint32_t>(x << 16 | y << 8));
    dst.setSize(6, 10);
    dst.canvas().drawStretched(src, src.bounds(), dst.bounds());
    std::vector<int> rows;
    for (int y = 0; y < 10; ++y) rows.push_back(static_cast<int>((dst.pixel(3, y) >> 8) & 0xFF));
    EXPECT_EQ(rows, (std::vector<int>{0, 1, 2, 3, 2, 3, 2, 3, 4, 5}));
}

// A source whose pixels carry their column in red and their row in green, opaque.
void coordinates(Bitmap& b, int w, int h) {
    b.setSize(w, h);
    for (int y = 0; y < h; ++y)
        for (int x = 0; x < w; ++x) b.setPixel(x, y, static_cast<uint32_t>(x << 16 | y << 8));
}

TEST(CanvasTest, ThreeSliceInBothDirectionsUsesTheCapsOfTheWholeSource) {
    // 30 x 30 into 100 x 55: caps of 10 both ways, the 10-pixel middles tiled, the last vertical
    // tile cut to 5 rows. That short band keeps the 10-column caps of the others.
    Bitmap src, dst;
    coordinates(src, 30, 30);
    dst.setSize(100, 55);
    dst.canvas().drawStretched(src, src.bounds(), dst.bounds());
    auto along = [](int d, int destination) {
        if (d < 10) return d;
        if (d >= destination - 10) return 30 - (destination - d);
        return 10 + (d - 10) % 10;
    };
    int wrong = 0;
    for (int y = 0; y < 55; ++y)
        for (int x = 0; x < 100; ++x) {
            const uint32_t p = dst.pixel(x, y);
            wrong += static_cast<int>((p >> 16) & 0xFF) != along(x, 100) ||
                     static_cast<int>((p >> 8) & 0xFF) != along(y, 55);
        }
    EXPECT_EQ(wrong, 0);

    // Other sizes: whatever the caps, every destination column shows one source column on all
    // rows and every row one source row, so no band has caps of its own (no seam).
    struct Case {
        int sourceWidth, sourceHeight, width, height, minimumCap;
    };
    const Case cases[] = {{30, 30, 100, 17, 0}, {240, 64, 300, 100, 0}, {240, 64, 300, 157, 0},
                          {30, 30, 45, 100, 0}, {9, 12, 40, 50, 4},     {24, 22, 100, 55, 0}};
    for (const Case& c : cases) {
        coordinates(src, c.sourceWidth, c.sourceHeight);
        dst.setSize(c.width, c.height);
        dst.canvas().drawStretched(src, src.bounds(), dst.bounds(), 255, c.minimumCap);
        int seams = 0;
        for (int y = 0; y < c.height; ++y)
            for (int x = 0; x < c.width; ++x)
                seams += (dst.pixel(x, y) & 0xFF0000) != (dst.pixel(x, 0) & 0xFF0000) ||
                         (dst.pixel(x, y) & 0xFF00) != (dst.pixel(0, y) & 0xFF00);
        EXPECT_EQ(seams, 0) << c.sourceWidth << "x" << c.sourceHeight << " -> " << c.width << "x" << c.height;
        // The corners are the source's corners.
        EXPECT_EQ(dst.pixel(c.width - 1, c.height - 1), src.pixel(c.sourceWidth - 1, c.sourceHeight - 1));
    }
}

TEST(CanvasTest, PrimitivesClipMoveAndCarryTheOpacity) {
    Bitmap target;
    target.setSize(10, 10);
    Canvas& canvas = target.canvas();
    canvas.setOrigin({2, 3});
    canvas.setClip({0, 0, 4, 4});
    canvas.setOpacity(128);
    canvas.fillRect({-5, -5, 50, 50}, Rgba{255, 255, 255, 255});
    // The fill lands at 2..5 x 3..6 with alpha 255 * 129 >> 8 = 128 over black.
    EXPECT_EQ(target.getPixel({2, 3}), (Rgba{128, 128, 128, 255}));
    EXPECT_EQ(target.getPixel({5, 6}), (Rgba{128, 128, 128, 255}));
    EXPECT_EQ(target.getPixel({6, 6}), (Rgba{0, 0, 0, 255}));
    EXPECT_EQ(target.getPixel({1, 3}), (Rgba{0, 0, 0, 255}));
    // getPixel reads through the origin; outside the clip it answers transparent.
    EXPECT_EQ(canvas.getPixel({0, 0}).red, 128);
    EXPECT_EQ(canvas.getPixel({4, 0}).alpha, 0);
    // Nothing is drawn through an empty clip.
    canvas.setClip({});
    canvas.setOpacity(255);
    canvas.fillRect({0, 0, 4, 4}, Rgba{0, 0, 255, 255});
    EXPECT_EQ(target.getPixel({2, 3}).blue, 128);
}

TEST(CanvasTest, FrameLiesJustOutsideTheRectangle) {
    Bitmap target;
    target.setSize(8, 8);
    target.canvas().drawFrame({2, 2, 6, 5}, Rgba{255, 0, 0, 255}, 1);
    std::string picture;
    for (int y = 0; y < 8; ++y) {
        for (int x = 0; x < 8; ++x) picture += target.getPixel({x, y}).red ? '#' : '.';
        picture += '\n';
    }
    EXPECT_EQ(picture,
              "........\n"
              ".######.\n"
              ".#....#.\n"
              ".#....#.\n"
              ".#....#.\n"
              ".######.\n"
              "........\n"
              "........\n");
    Bitmap lines;
    lines.setSize(5, 5);
    lines.canvas().drawHLine(3, 1, 1, Rgba{255, 0, 0, 255});
    lines.canvas().drawVLine(0, 4, 2, Rgba{255, 0, 0, 255});
    EXPECT_EQ(lines.getPixel({1, 1}).red + lines.getPixel({3, 1}).red, 510);
    EXPECT_EQ(lines.getPixel({4, 1}).red, 0);
    EXPECT_EQ(lines.getPixel({0, 2}).red + lines.getPixel({0, 4}).red, 510);
}

TEST(CanvasTest, BlendCrossFadesThroughTheClip) {
    Bitmap a, b, target;
    a.setSize(4, 1);
    b.setSize(4, 1);
    for (int x = 0; x < 4; ++x) {
        a.setPixel(x, 0, 0);
        b.setPixel(x, 0, 200u << 16);
    }
    target.setSize(4, 1);
    target.canvas().setClip({1, 0, 3, 1});
    target.canvas().drawBlend(a, target.bounds(), {0, 0}, b, {0, 0}, 255);
    EXPECT_EQ(target.getPixel({0, 0}).red, 0);
    EXPECT_EQ(target.getPixel({1, 0}).red, 200);
    EXPECT_EQ(target.getPixel({3, 0}).red, 0);
}

}  // namespace
}  // namespace gui::test
