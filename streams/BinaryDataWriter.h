#pragma once

#include <cstdint>
#include <ostream>
#include <string_view>

// Writes the little-endian primitives and the 8-byte tag-and-version header. Like the reader it keeps
// the stream's fail/bad state and lets the caller judge the whole save once with ok(). Any thread;
// one writer is used by one thread at a time.
class BinaryDataWriter {
public:
    explicit BinaryDataWriter(std::ostream& stream) : stream_(stream) {}
    virtual ~BinaryDataWriter() = default;
    BinaryDataWriter(const BinaryDataWriter&) = delete;
    BinaryDataWriter& operator=(const BinaryDataWriter&) = delete;

    // Writes the tag into a 4-byte field (a shorter text is padded with NULs, a longer one is cut to
    // four bytes), then the int32 version.
    void writeHeader(std::string_view tag, std::int32_t version);
    void writeTag(std::string_view tag);

    void write(const void* bytes, std::size_t count);
    void writeInt32(std::int32_t value);
    void writeFloat32(float value);

    bool ok() const { return !stream_.fail() && !stream_.bad(); }
    std::ostream& stream() { return stream_; }

protected:
    std::ostream& stream_;
};
