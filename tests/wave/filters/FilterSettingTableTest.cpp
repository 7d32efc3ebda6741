#include "wave/filters/FilterSettingTable.h"

#include <gtest/gtest.h>

#include <cmath>
#include <sstream>

#include "streams/BinaryDataReader.h"
#include "streams/BinaryDataWriter.h"

namespace {
// A plane v = 10 r + c, which bilinear interpolation reproduces exactly.
void fillPlane(FilterSettingTable& t) {
    for (int r = 0; r < 11; ++r)
        for (int c = 0; c < 11; ++c) t.setValue(r, c, 10.0f * r + c);
    t.updateSlopes();
}

std::string tableBytes(int n, int valuesWritten) {
    std::ostringstream out(std::ios::binary);
    BinaryDataWriter w(out);
    w.writeInt32(n);
    for (int i = 0; i < valuesWritten; ++i) w.writeFloat32(static_cast<float>(i));
    return out.str();
}
}  // namespace

TEST(FilterSettingTable, BilinearLookupStaysInsideTheTable) {
    FilterSettingTable t(11);
    fillPlane(t);
    struct Case {
        float x, y, expected;
    };
    for (const Case& c : {Case{2.5f, 3.25f, 35.0f}, Case{0, 0, 0}, Case{10, 10, 110}, Case{9.75f, 9.5f, 104.75f},
                          Case{-4, 2, 20}, Case{14, 2, 30}, Case{3, 37, 103}, Case{3, -1, 3},
                          Case{NAN, NAN, 0}}) {
        EXPECT_NEAR(t.lookup(c.x, c.y), c.expected, 1e-4) << c.x << ", " << c.y;
    }
}

TEST(FilterSettingTable, ReadRefusesOtherSizesAndShortTables) {
    FilterSettingTable t(11);
    fillPlane(t);
    struct Case {
        const char* what;
        std::string bytes;
        std::streamoff stopsAt;  // where reading stopped; -1 for the end of the data
    };
    const Case cases[] = {
        {"size 12", tableBytes(12, 144), 4},
        {"size 10", tableBytes(10, 100), 4},
        {"size 0", tableBytes(0, 0), 4},
        {"truncated", tableBytes(11, 100), -1},
        {"short size", std::string("\x0b\x00", 2), -1},
    };
    for (const Case& c : cases) {
        std::istringstream in(c.bytes, std::ios::binary);
        BinaryDataReader reader(in);
        EXPECT_FALSE(t.read(reader, 11)) << c.what;
        EXPECT_FALSE(reader.ok()) << c.what;
        in.clear();
        EXPECT_EQ(static_cast<std::streamoff>(in.tellg()), c.stopsAt < 0 ? std::streamoff(c.bytes.size()) : c.stopsAt)
            << c.what;
        EXPECT_EQ(t.lookup(2.5f, 3.25f), 35.0f) << c.what << ": the table must stay unchanged";
    }

    std::istringstream in(tableBytes(11, 121), std::ios::binary);
    BinaryDataReader reader(in);
    EXPECT_TRUE(t.read(reader, 11));
    EXPECT_EQ(t.value(2, 3), 25.0f);  // rows first
    EXPECT_EQ(t.lookup(3.5f, 2.0f), 25.5f);
}
