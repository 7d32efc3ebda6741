#pragma once

#include <fstream>
#include <string>

#include "streams/BinaryDataReader.h"

// Reads a file opened in binary mode. A file that cannot be opened leaves the stream failed, so every
// read through it fails and readHeader answers the empty tag. Any thread.
class BinaryFileReader : public BinaryDataReader {
public:
    explicit BinaryFileReader(const std::string& path);
    ~BinaryFileReader() override;

private:
    std::ifstream file_;
};
