#include <gtest/gtest.h>
#include <zlib.h>

#include <cmath>
#include <sstream>

#include "gui/Bitmap.h"
#include "gui/PNGFiler.h"

namespace gui::test {
namespace {

// PNG files assembled from their documented layout.
struct PngBuilder {
    uint32_t width = 2, height = 2;
    uint8_t depth = 8, colourType = 6, interlace = 0;
    int gamma = -1;             // none
    std::vector<uint8_t> rows;  // filter byte + samples per row
    bool foreignChunkBetweenData = false;
    size_t truncateAt = 0;

    static void put32(std::string& s, uint32_t v) {
        for (int shift = 24; shift >= 0; shift -= 8) s += static_cast<char>(v >> shift & 0xFF);
    }
    static void chunk(std::string& out, const char* type, const std::string& data) {
        put32(out, static_cast<uint32_t>(data.size()));
        std::string body = std::string(type, 4) + data;
        out += body;
        put32(out, static_cast<uint32_t>(crc32(0, reinterpret_cast<const Bytef*>(body.data()), body.size())));
    }
    std::string build() const {
        std::string out("\x89PNG\r\n\x1a\n", 8);
        std::string ihdr;
        put32(ihdr, width);
        put32(ihdr, height);
        ihdr += static_cast<char>(depth);
        ihdr += static_cast<char>(colourType);
        ihdr += std::string("\0\0", 2);
        ihdr += static_cast<char>(interlace);
        chunk(out, "IHDR", ihdr);
        if (gamma >= 0) {
            std::string g;
            put32(g, static_cast<uint32_t>(gamma));
            chunk(out, "gAMA", g);
        }
        uLongf size = compressBound(rows.size());
        std::string packed(size, '\0');
        compress(reinterpret_cast<Bytef*>(packed.data()), &size, rows.data(), rows.size());
        packed.resize(size);
        const size_t half = packed.size() / 2;
        chunk(out, "IDAT", packed.substr(0, half));
        if (foreignChunkBetweenData) chunk(out, "tEXt", "a\0b");
        chunk(out, "IDAT", packed.substr(half));
        chunk(out, "IEND", "");
        return truncateAt ? out.substr(0, truncateAt) : out;
    }
};

// Two RGBA rows: red, half-transparent green / blue, transparent; filtered with "none" and "up".
PngBuilder twoByTwo() {
    PngBuilder b;
    b.gamma = 45455;  // 1 / 2.2: the exponent comes out as 1 and colours pass unchanged
    b.rows = {0, 255, 0, 0,   255, 0, 255, 0,   128,  //
              2, 1,   0, 255, 0,   0, 0,   127, 0};   // "up": 0,0,255,255 and 0,255,127,128
    return b;
}

void loadPng(const std::string& data, Bitmap& bitmap) {
    std::istringstream stream(data);
    PNGFiler().load(stream, bitmap);
}

std::string failure(const std::string& data) {
    Bitmap bitmap;
    try {
        loadPng(data, bitmap);
    } catch (const EBitmap& e) {
        return e.what();
    }
    return "";
}

TEST(PNGFilerTest, DecodesRgbaWithFiltersAndPremultiplies) {
    Bitmap bitmap;
    loadPng(twoByTwo().build(), bitmap);
    ASSERT_EQ(bitmap.width(), 2);
    ASSERT_EQ(bitmap.height(), 2);
    EXPECT_EQ(bitmap.getPixel({0, 0}), (Rgba{255, 0, 0, 255}));
    EXPECT_EQ(bitmap.pixel(1, 0), Bitmap::premultiplied({0, 255, 0, 128}));
    EXPECT_EQ(bitmap.getPixel({0, 1}), (Rgba{0, 0, 255, 255}));
    EXPECT_EQ(bitmap.pixel(1, 1), Bitmap::premultiplied({0, 255, 127, 128}));
    EXPECT_TRUE(bitmap.hasAlpha);
}

TEST(PNGFilerTest, EveryFilterTypeRoundTrips) {
    // One 3 x 2 RGB image filtered with sub, average and Paeth on the second row.
    const uint8_t first[9] = {10, 20, 30, 40, 50, 60, 70, 80, 90};
    const uint8_t second[9] = {15, 25, 35, 200, 100, 50, 5, 6, 7};
    for (uint8_t type : {1, 3, 4}) {
        PngBuilder b;
        b.width = 3;
        b.colourType = 2;
        b.gamma = 45455;
        b.rows.assign(1, 0);
        b.rows.insert(b.rows.end(), first, first + 9);
        b.rows.push_back(type);
        for (int i = 0; i < 9; ++i) {
            const int left = i >= 3 ? second[i - 3] : 0, up = first[i], upLeft = i >= 3 ? first[i - 3] : 0;
            int predictor = 0;
            if (type == 1) predictor = left;
            if (type == 3) predictor = (left + up) / 2;
            if (type == 4) {
                const int p = left + up - upLeft, pa = std::abs(p - left), pb = std::abs(p - up),
                          pc = std::abs(p - upLeft);
                predictor = pa <= pb && pa <= pc ? left : pb <= pc ? up : upLeft;
            }
            b.rows.push_back(static_cast<uint8_t>(second[i] - predictor));
        }
        Bitmap bitmap;
        loadPng(b.build(), bitmap);
        for (int x = 0; x < 3; ++x)
            EXPECT_EQ(bitmap.getPixel({x, 1}),
                      (Rgba{second[3 * x], second[3 * x + 1], second[3 * x + 2], 255}))
                << "filter " << int(type) << " pixel " << x;
        EXPECT_FALSE(bitmap.hasAlpha);
    }
}

TEST(PNGFilerTest, GammaComesFromTheFileAndTheDisplayFactor) {
    struct Case {
        int gamma;  // gAMA value, -1 for none
        float display;
        double exponent;
    };
    const Case cases[] = {
        {45455, 1.0f, 1.0 / (45455 * 1e-5 * 2.2)},  // passes colours unchanged
        {-1, 1.0f, 1.010101},                       // no chunk: slightly darker
        {45455, 2.0f, 2.0 / (45455 * 1e-5 * 2.2)},  // the display factor scales the exponent
        {100000, 1.0f, 1.0 / 2.2},
    };
    for (const Case& c : cases) {
        PngBuilder m;
        m.width = 3;
        m.height = 1;
        m.colourType = 2;
        m.gamma = c.gamma;
        m.rows = {0, 0, 0, 0, 128, 128, 128, 255, 255, 255};
        PNGFiler::setDisplayGamma(c.display);
        Bitmap bitmap;
        loadPng(m.build(), bitmap);
        PNGFiler::setDisplayGamma(1.0f);
        const int expected = static_cast<int>(std::pow(128 / 255.0, static_cast<float>(c.exponent)) * 255);
        EXPECT_EQ(bitmap.getPixel({1, 0}).red, expected) << c.gamma << " x" << c.display;
        EXPECT_EQ(bitmap.getPixel({0, 0}).red, 0);
        EXPECT_EQ(bitmap.getPixel({2, 0}).red, 255);
    }
}

TEST(PNGFilerTest, RefusesWhatItCannotReadWithItsMessage) {
    struct Case {
        const char* what;
        std::string data;
        const char* message;
    };
    PngBuilder sixteen = twoByTwo(), interlaced = twoByTwo(), palette = twoByTwo(), split = twoByTwo(),
               shortData = twoByTwo(), zeroWidth = twoByTwo();
    sixteen.depth = 16;
    interlaced.interlace = 1;
    palette.colourType = 3;
    zeroWidth.width = 0;
    split.foreignChunkBetweenData = true;
    std::string good = twoByTwo().build();
    std::string noHeader = good.substr(0, 8);
    PngBuilder::chunk(noHeader, "gAMA", "abcd");
    std::string badSignature = good;
    badSignature[1] = 'J';
    std::string corrupt = good;
    corrupt[good.size() - 20] ^= 0x55;  // inside the compressed data
    const Case cases[] = {
        {"bad signature", badSignature, "Invalid PNG signature"},
        {"empty", "", "Invalid PNG signature"},
        {"first chunk not IHDR", noHeader, "Invalid PNG image"},
        {"16-bit", sixteen.build(), "Unsupported PNG format"},
        {"interlaced", interlaced.build(), "Unsupported PNG format"},
        {"palette", palette.build(), "Unsupported PNG format"},
        {"zero width", zeroWidth.build(), "Unsupported PNG format"},
        {"chunk between data", split.build(), "Invalid PNG image"},
        {"truncated", good.substr(0, good.size() - 30), "Invalid PNG image"},
        {"corrupt data", corrupt, "Invalid PNG image"},
    };
    for (const Case& c : cases) EXPECT_EQ(failure(c.data), c.message) << c.what;
}

TEST(PNGFilerTest, HugeHeaderIsRefusedBeforeAllocating) {
    PngBuilder b = twoByTwo();
    b.width = b.height = 0x7FFFFFFF;
    EXPECT_EQ(failure(b.build()), "Unsupported PNG format");
}

TEST(PNGFilerTest, BitmapLoadGoesThroughTheFactoriesAndKeepsTheBitmapOnFailure) {
    Bitmap bitmap;
    bitmap.setSize(3, 3);
    bitmap.fillRect(bitmap.bounds(), Rgba{1, 2, 3, 255});
    const std::string jpeg("\xFF\xD8\xFF\xE0\0\x10JFIF\0", 11);
    std::istringstream stream(jpeg);
    try {
        bitmap.load(stream);
        FAIL() << "no exception";
    } catch (const EBitmap& e) {
        EXPECT_STREQ(e.what(), "Unknown file format");
    }
    PngBuilder sixteen = twoByTwo();
    sixteen.depth = 16;
    const std::string bad = sixteen.build();
    EXPECT_FALSE(bitmap.load(reinterpret_cast<const uint8_t*>(bad.data()), bad.size()));
    EXPECT_EQ(bitmap.width(), 3);
    EXPECT_EQ(bitmap.getPixel({2, 2}), (Rgba{1, 2, 3, 255}));
    const std::string good = twoByTwo().build();
    ASSERT_TRUE(bitmap.load(reinterpret_cast<const uint8_t*>(good.data()), good.size()));
    EXPECT_EQ(bitmap.width(), 2);
    EXPECT_EQ(bitmap.getPixel({0, 0}), (Rgba{255, 0, 0, 255}));
}

}  // namespace
}  // namespace gui::test
