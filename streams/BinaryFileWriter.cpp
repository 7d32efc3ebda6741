#include "streams/BinaryFileWriter.h"

BinaryFileWriter::BinaryFileWriter(const std::string& path) : BinaryDataWriter(file_) {
    file_.open(path, std::ios::out | std::ios::binary | std::ios::trunc);
}

BinaryFileWriter::~BinaryFileWriter() {
    if (file_.is_open()) file_.close();
}

bool BinaryFileWriter::close() {
    if (file_.is_open()) {
        file_.flush();
        file_.close();
    }
    return ok();
}
