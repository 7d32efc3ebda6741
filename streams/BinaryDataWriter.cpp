#include "streams/BinaryDataWriter.h"

#include <cstring>

void BinaryDataWriter::writeHeader(std::string_view tag, std::int32_t version) {
    writeTag(tag);
    writeInt32(version);
}

void BinaryDataWriter::writeTag(std::string_view tag) {
    char field[4] = {0, 0, 0, 0};
    // strncpy semantics: stop at the text's end or at an embedded NUL.
    for (std::size_t i = 0; i < sizeof field && i < tag.size() && tag[i] != '\0'; ++i) field[i] = tag[i];
    write(field, sizeof field);
}

void BinaryDataWriter::write(const void* bytes, std::size_t count) {
    if (!ok()) return;
    stream_.write(static_cast<const char*>(bytes), static_cast<std::streamsize>(count));
}

void BinaryDataWriter::writeInt32(std::int32_t value) {
    std::uint32_t u = static_cast<std::uint32_t>(value);
    unsigned char b[4] = {static_cast<unsigned char>(u), static_cast<unsigned char>(u >> 8),
                          static_cast<unsigned char>(u >> 16), static_cast<unsigned char>(u >> 24)};
    write(b, sizeof b);
}

void BinaryDataWriter::writeFloat32(float value) {
    std::uint32_t u;
    std::memcpy(&u, &value, sizeof u);
    writeInt32(static_cast<std::int32_t>(u));
}
