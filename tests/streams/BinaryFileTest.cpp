#include <gtest/gtest.h>
#include <unistd.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <string>

#include "streams/BinaryFileReader.h"
#include "streams/BinaryFileWriter.h"

namespace {
class TempDir {
public:
    TempDir() {
        std::string pattern = (std::filesystem::temp_directory_path() / "lorimane-streams-XXXXXX").string();
        path_ = ::mkdtemp(pattern.data());
    }
    ~TempDir() { std::filesystem::remove_all(path_); }
    std::string file(const std::string& name) const { return path_ + "/" + name; }

private:
    std::string path_;
};
}  // namespace

TEST(BinaryFile, RoundTripTruncatesAnExistingFile) {
    TempDir dir;
    std::string path = dir.file("a.bin");
    {
        std::ofstream old(path, std::ios::binary);
        old << std::string(100, 'x');
    }
    {
        BinaryFileWriter writer(path);
        writer.writeHeader("BXCM", 2);
        writer.writeFloat32(-0.5f);
        EXPECT_TRUE(writer.close());
    }
    EXPECT_EQ(std::filesystem::file_size(path), 12u);
    BinaryFileReader reader(path);
    EXPECT_EQ(reader.readHeader(), "BXCM");
    EXPECT_EQ(reader.version, 2);
    EXPECT_EQ(reader.readFloat32(), -0.5f);
    EXPECT_TRUE(reader.ok());
    reader.readInt32();
    EXPECT_FALSE(reader.ok());
}

TEST(BinaryFile, UnopenableFilesLeaveTheStreamFailed) {
    TempDir dir;
    BinaryFileReader reader(dir.file("missing.bin"));
    EXPECT_EQ(reader.readHeader(), "");
    EXPECT_FALSE(reader.ok());

    BinaryFileWriter writer(dir.file("no/such/folder.bin"));
    writer.writeInt32(1);
    EXPECT_FALSE(writer.ok());
    EXPECT_FALSE(writer.close());
}

TEST(BinaryFile, EmptyFileYieldsEmptyTag) {
    TempDir dir;
    std::string path = dir.file("empty.bin");
    std::ofstream(path).close();
    BinaryFileReader reader(path);
    EXPECT_EQ(reader.readHeader(), "");
}
