#pragma once

#include <cstdint>
#include <istream>
#include <string>

// Reads the little-endian primitives and the 8-byte tag-and-version header that stored formats are
// built from. The stream keeps its standard fail/bad state: a short read sets it and later reads fail
// too, so a loader reads its fields and judges the whole load once with ok(). Any thread; one reader
// is used by one thread at a time.
class BinaryDataReader {
public:
    explicit BinaryDataReader(std::istream& stream) : stream_(stream) {}
    virtual ~BinaryDataReader() = default;
    BinaryDataReader(const BinaryDataReader&) = delete;
    BinaryDataReader& operator=(const BinaryDataReader&) = delete;

    // Reads a 4-byte tag and the int32 version into `version`. Answers the tag with all four bytes,
    // NULs included, or the empty string when the stream failed.
    std::string readHeader();

    // Raw read of count bytes; a short read leaves the stream failed.
    void read(void* bytes, std::size_t count);
    std::int32_t readInt32();
    float readFloat32();

    // True while neither the fail nor the bad flag is set.
    bool ok() const { return !stream_.fail() && !stream_.bad(); }
    std::istream& stream() { return stream_; }

    std::int32_t version = -1;  // the version field of the last header read

protected:
    std::istream& stream_;
};
