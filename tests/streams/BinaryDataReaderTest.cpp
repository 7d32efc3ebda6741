#include <gtest/gtest.h>

#include <sstream>
#include <string>

#include "streams/BinaryDataReader.h"
#include "streams/BinaryDataWriter.h"

namespace {
std::string bytes(std::initializer_list<int> values) {
    std::string s;
    for (int v : values) s += static_cast<char>(v);
    return s;
}
}  // namespace

TEST(BinaryDataReader, ReadsLittleEndianPrimitivesWrittenByTheWriter) {
    std::ostringstream out(std::ios::binary);
    BinaryDataWriter writer(out);
    writer.writeHeader("BXil", 3);
    writer.writeInt32(-2);
    writer.writeFloat32(1.0f);
    ASSERT_TRUE(writer.ok());
    EXPECT_EQ(out.str(), std::string("BXil") + bytes({3, 0, 0, 0, 0xFE, 0xFF, 0xFF, 0xFF, 0, 0, 0x80, 0x3F}));

    std::istringstream in(out.str(), std::ios::binary);
    BinaryDataReader reader(in);
    EXPECT_EQ(reader.version, -1);
    EXPECT_EQ(reader.readHeader(), "BXil");
    EXPECT_EQ(reader.version, 3);
    EXPECT_EQ(reader.readInt32(), -2);
    EXPECT_EQ(reader.readFloat32(), 1.0f);
    EXPECT_TRUE(reader.ok());
}

TEST(BinaryDataReader, TagFieldIsPaddedOrCut) {
    struct Case {
        const char* text;
        std::string field;
    };
    for (const Case& c : {Case{"BL", bytes({'B', 'L', 0, 0})}, Case{"BLmsXY", "BLms"}, Case{"", bytes({0, 0, 0, 0})}}) {
        std::ostringstream out(std::ios::binary);
        BinaryDataWriter writer(out);
        writer.writeHeader(c.text, 1);
        EXPECT_EQ(out.str().substr(0, 4), c.field) << c.text;

        std::istringstream in(out.str(), std::ios::binary);
        BinaryDataReader reader(in);
        std::string tag = reader.readHeader();
        EXPECT_EQ(tag, c.field) << c.text;
        EXPECT_EQ(tag.size(), 4u);
    }
    // A two-letter tag read back keeps its NULs and so differs from the two-letter text.
    std::istringstream in(bytes({'B', 'L', 0, 0, 1, 0, 0, 0}), std::ios::binary);
    BinaryDataReader reader(in);
    EXPECT_NE(reader.readHeader(), "BL");
}

TEST(BinaryDataReader, ShortStreamFailsAndYieldsEmptyTag) {
    for (const std::string& data : {std::string(), std::string("BXi"), std::string("BXil") + bytes({1, 0})}) {
        std::istringstream in(data, std::ios::binary);
        BinaryDataReader reader(in);
        EXPECT_EQ(reader.readHeader(), "") << data.size();
        EXPECT_FALSE(reader.ok());
        // Later reads stay failed and answer zero.
        EXPECT_EQ(reader.readInt32(), 0);
        EXPECT_FALSE(reader.ok());
    }
}

TEST(BinaryDataReader, FailedStreamReadsNothingFurther) {
    std::istringstream in(bytes({1, 2}) + "ABCDEFGH", std::ios::binary);
    BinaryDataReader reader(in);
    in.setstate(std::ios::failbit);
    reader.readInt32();
    in.clear();
    EXPECT_EQ(in.tellg(), 0);
}
