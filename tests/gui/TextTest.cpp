#include <gtest/gtest.h>

#include "gui/Font.h"
#include "gui/Text.h"

namespace gui::test {
namespace {

// Columns with any ink in them.
int inkedColumns(const Bitmap& b) {
    int n = 0;
    for (int x = 0; x < b.width(); ++x)
        for (int y = 0; y < b.height(); ++y)
            if (b.getPixel({x, y}).alpha > 0) {
                ++n;
                break;
            }
    return n;
}

TEST(TextTest, MeasuresAndRendersTintedCoverage) {
    Text text;
    text.text = "Delay Time";
    text.size = 12;
    const int w = text.getWidth(), h = text.getHeight();
    EXPECT_GT(w, 30);
    EXPECT_GE(h, Font::pixelHeight(12));
    EXPECT_EQ(text.cacheState(), Text::Measured);
    text.colour = Rgba{200, 20, 10, 255};
    const Bitmap* bitmap = text.getBitmap();
    EXPECT_EQ(text.cacheState(), Text::UpToDate);
    ASSERT_EQ(bitmap->width(), w);
    ASSERT_EQ(bitmap->height(), h);
    // Ink has the text colour at full coverage, the background is transparent.
    int full = 0;
    for (uint32_t p : bitmap->pixels())
        if (p >> 24 == 0) {
            ++full;
            EXPECT_EQ(p, Bitmap::premultiplied({200, 20, 10, 255}));
        }
    EXPECT_GT(full, 10);
    EXPECT_EQ(bitmap->getPixel({0, 0}).alpha, 0);
    EXPECT_GT(inkedColumns(*bitmap), w / 2);
}

TEST(TextTest, EllipsisLimitsTheWidthAndEndsInDots) {
    Text text;
    text.text = "A preset name far too long for its box";
    text.maximumWidth = 50;
    text.wrapMode = Text::Ellipsis;
    EXPECT_EQ(text.getWidth(), 50);
    ASSERT_EQ(text.lines().size(), 1u);
    const std::string line = text.lines()[0];
    EXPECT_EQ(line.substr(line.size() - 3), "...");
    EXPECT_EQ(line.substr(0, 2), "A ");
    EXPECT_EQ(text.getBitmap()->width(), 50);
    // A short text is left alone.
    text.text = "Hi";
    EXPECT_LT(text.getWidth(), 50);
    EXPECT_EQ(text.lines()[0], "Hi");
}

TEST(TextTest, ShortenedTextClaimsTheWholeMaximumWidth) {
    // At most limits the dots end short of the limit; the text must still report the limit, or
    // centred and right-aligned texts move by the difference.
    const std::string full = "A preset name far too long for its box";
    auto font = Font::create("", 8, false, false);
    ASSERT_GT(font->measure(full), 151);
    int endsShort = 0;
    for (int limit : {20, 37, 50, 61, 83, 120, 151}) {
        Text text;
        text.text = full;
        text.maximumWidth = limit;
        text.wrapMode = Text::Ellipsis;
        EXPECT_EQ(text.getWidth(), limit) << limit;
        EXPECT_EQ(text.getBitmap()->width(), limit) << limit;
        ASSERT_EQ(text.lines().size(), 1u);
        const std::string line = text.lines()[0];
        ASSERT_GE(line.size(), 3u);
        EXPECT_EQ(line.substr(line.size() - 3), "...") << limit;
        // The longest prefix that fits with the dots.
        const std::string kept = line.substr(0, line.size() - 3);
        EXPECT_EQ(full.substr(0, kept.size()), kept);
        EXPECT_LE(font->measure(line), limit) << line;
        EXPECT_GT(font->measure(full.substr(0, kept.size() + 1) + "..."), limit) << line;
        endsShort += font->measure(line) < limit;
    }
    EXPECT_GT(endsShort, 0);  // the limits include ones the dots do not reach
}

TEST(TextTest, WordWrapBreaksAtSpacesWithinTheWidth) {
    Text text;
    text.text = "one two three four five six seven";
    text.maximumWidth = 60;
    text.wrapMode = Text::WordWrap;
    const auto lines = text.lines();
    ASSERT_GT(lines.size(), 2u);
    std::string joined;
    for (const auto& l : lines) joined += (joined.empty() ? "" : " ") + l;
    EXPECT_EQ(joined, text.text.get());
    auto font = Font::create("", 8, false, false);
    for (const auto& l : lines) EXPECT_LE(font->measure(l), 60) << l;
    EXPECT_EQ(text.getHeight(), font->lineHeight() * static_cast<int>(lines.size()));
    // Without a maximum width every mode is one line.
    text.maximumWidth = 0;
    EXPECT_EQ(text.lines().size(), 1u);
}

TEST(TextTest, StyleChangesAreRemeasured) {
    Text text;
    text.text = "Wide";
    const int plain = text.getWidth();
    text.bold = true;
    EXPECT_EQ(text.cacheState(), Text::Dirty);
    EXPECT_GT(text.getWidth(), plain);
    text.bold = false;
    text.size = 16;
    EXPECT_GT(text.getWidth(), plain);
    // Underline adds ink below the baseline across the whole text.
    Text under;
    under.text = "....";
    const int before = inkedColumns(*under.getBitmap());
    under.underline = true;
    EXPECT_GT(inkedColumns(*under.getBitmap()), before);
    EXPECT_EQ(Font::pixelHeight(8), 11);
    EXPECT_EQ(Font::pixelHeight(9), 12);
}

}  // namespace
}  // namespace gui::test
