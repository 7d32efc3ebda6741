#pragma once

#include <fstream>
#include <string>

#include "streams/BinaryDataWriter.h"

// Writes a file opened in binary mode: an existing file is truncated, a missing one created. A file
// that cannot be opened leaves the stream failed, so every write through it fails. Any thread.
class BinaryFileWriter : public BinaryDataWriter {
public:
    explicit BinaryFileWriter(const std::string& path);
    ~BinaryFileWriter() override;

    // Flushes and closes the file; answers whether every write and the close succeeded.
    bool close();

private:
    std::ofstream file_;
};
