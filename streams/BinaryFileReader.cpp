#include "streams/BinaryFileReader.h"

BinaryFileReader::BinaryFileReader(const std::string& path) : BinaryDataReader(file_) {
    file_.open(path, std::ios::in | std::ios::binary);
}

BinaryFileReader::~BinaryFileReader() { file_.close(); }
