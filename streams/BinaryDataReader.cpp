#include "streams/BinaryDataReader.h"

#include <cstring>

std::string BinaryDataReader::readHeader() {
    char tag[4] = {0, 0, 0, 0};
    read(tag, sizeof tag);
    version = readInt32();
    if (!ok()) return std::string();
    return std::string(tag, sizeof tag);
}

void BinaryDataReader::read(void* bytes, std::size_t count) {
    // A stream that already failed reads nothing further.
    if (!ok()) {
        std::memset(bytes, 0, count);
        return;
    }
    stream_.read(static_cast<char*>(bytes), static_cast<std::streamsize>(count));
    std::size_t got = static_cast<std::size_t>(stream_.gcount());
    if (got < count) std::memset(static_cast<char*>(bytes) + got, 0, count - got);
}

std::int32_t BinaryDataReader::readInt32() {
    unsigned char b[4];
    read(b, sizeof b);
    std::uint32_t u = static_cast<std::uint32_t>(b[0]) | static_cast<std::uint32_t>(b[1]) << 8 |
                      static_cast<std::uint32_t>(b[2]) << 16 | static_cast<std::uint32_t>(b[3]) << 24;
    return static_cast<std::int32_t>(u);
}

float BinaryDataReader::readFloat32() {
    std::uint32_t u = static_cast<std::uint32_t>(readInt32());
    float f;
    std::memcpy(&f, &u, sizeof f);
    return f;
}
