#include "streams/BinaryResourceReader.h"

#include "streams/Resource.h"

std::unique_ptr<std::istream> BinaryResourceReader::openStream(std::string_view fileName) {
    return openResource(fileName);
}

// The base keeps a reference to the stream, which lives on the heap, so handing it over before the
// owning member is initialised is safe.
BinaryResourceReader::BinaryResourceReader(std::unique_ptr<std::istream> stream)
    : BinaryDataReader(*stream), owned_(std::move(stream)) {}

BinaryResourceReader::~BinaryResourceReader() = default;
