#pragma once

// Stores named values as one chunk of bytes and reads them back. Lookups search onward from the
// entry after the last match, so reading the same sequence of names - empty ones included - returns
// the entries in order: a chunk is positional where names repeat.
//
// Byte layout (little-endian): "BXcd", int32 version, int32 entry count, then per entry a type byte
// (1 int32, 2 double), a uint16 name length, the name bytes and the value (4 or 8 bytes).

#include <cstdint>
#include <string>
#include <vector>

class AAX_CChunkDataParser {
public:
    static constexpr int32_t kVersion = 1;

    void Clear();
    void AddDouble(const std::string& name, double value);
    void AddInt32(const std::string& name, int32_t value);
    // False, with the value untouched, when no further entry has that name.
    bool FindDouble(const std::string& name, double& value);
    bool FindInt32(const std::string& name, int32_t& value);

    int32_t GetChunkVersion() const { return kVersion; }
    int32_t GetChunkDataSize() const;
    std::vector<uint8_t> GetChunkData() const;
    // Replaces the entries with those of a chunk; a malformed chunk leaves the parser empty and
    // answers false.
    bool LoadChunk(const uint8_t* data, size_t size);

    size_t NumberOfEntries() const { return entries_.size(); }

private:
    struct Entry {
        std::string name;
        bool isDouble;
        double value;
    };
    const Entry* findNext(const std::string& name);

    std::vector<Entry> entries_;
    size_t next_ = 0;  // where the next search starts
};
