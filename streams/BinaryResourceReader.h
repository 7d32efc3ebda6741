#pragma once

#include <istream>
#include <memory>
#include <string_view>

#include "streams/BinaryDataReader.h"

// Reads an embedded resource from an in-memory copy of its bytes. Throws EResource when the resource
// does not exist; callers test resourceExists first. Any thread.
class BinaryResourceReader : public BinaryDataReader {
public:
    explicit BinaryResourceReader(std::string_view fileName) : BinaryResourceReader(openStream(fileName)) {}
    ~BinaryResourceReader() override;

private:
    static std::unique_ptr<std::istream> openStream(std::string_view fileName);
    explicit BinaryResourceReader(std::unique_ptr<std::istream> stream);

    std::unique_ptr<std::istream> owned_;
};
