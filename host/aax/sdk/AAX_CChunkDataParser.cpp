#include "host/aax/sdk/AAX_CChunkDataParser.h"

#include <cstring>

namespace {
constexpr char kMagic[4] = {'B', 'X', 'c', 'd'};
constexpr uint8_t kInt32 = 1;
constexpr uint8_t kDouble = 2;

void put(std::vector<uint8_t>& out, uint64_t v, int bytes) {
    for (int i = 0; i < bytes; ++i) out.push_back(static_cast<uint8_t>(v >> (8 * i)));
}

struct Reader {
    const uint8_t* p;
    size_t left;
    bool take(uint64_t& v, int bytes) {
        if (left < static_cast<size_t>(bytes)) return false;
        v = 0;
        for (int i = 0; i < bytes; ++i) v |= static_cast<uint64_t>(p[i]) << (8 * i);
        p += bytes;
        left -= bytes;
        return true;
    }
};
}  // namespace

void AAX_CChunkDataParser::Clear() {
    entries_.clear();
    next_ = 0;
}

void AAX_CChunkDataParser::AddDouble(const std::string& name, double value) { entries_.push_back({name, true, value}); }

void AAX_CChunkDataParser::AddInt32(const std::string& name, int32_t value) { entries_.push_back({name, false, double(value)}); }

const AAX_CChunkDataParser::Entry* AAX_CChunkDataParser::findNext(const std::string& name) {
    for (size_t i = next_; i < entries_.size(); ++i) {
        if (entries_[i].name == name) {
            next_ = i + 1;
            return &entries_[i];
        }
    }
    return nullptr;
}

bool AAX_CChunkDataParser::FindDouble(const std::string& name, double& value) {
    const Entry* e = findNext(name);
    if (!e) return false;
    value = e->value;
    return true;
}

bool AAX_CChunkDataParser::FindInt32(const std::string& name, int32_t& value) {
    const Entry* e = findNext(name);
    if (!e) return false;
    value = static_cast<int32_t>(e->value);
    return true;
}

std::vector<uint8_t> AAX_CChunkDataParser::GetChunkData() const {
    std::vector<uint8_t> out(kMagic, kMagic + 4);
    put(out, static_cast<uint32_t>(kVersion), 4);
    put(out, static_cast<uint32_t>(entries_.size()), 4);
    for (const Entry& e : entries_) {
        out.push_back(e.isDouble ? kDouble : kInt32);
        put(out, e.name.size(), 2);
        out.insert(out.end(), e.name.begin(), e.name.end());
        if (e.isDouble) {
            uint64_t bits;
            std::memcpy(&bits, &e.value, 8);
            put(out, bits, 8);
        } else {
            put(out, static_cast<uint32_t>(static_cast<int32_t>(e.value)), 4);
        }
    }
    return out;
}

int32_t AAX_CChunkDataParser::GetChunkDataSize() const { return static_cast<int32_t>(GetChunkData().size()); }

bool AAX_CChunkDataParser::LoadChunk(const uint8_t* data, size_t size) {
    Clear();
    if (!data || size < 12 || std::memcmp(data, kMagic, 4) != 0) return false;
    Reader r{data + 4, size - 4};
    uint64_t version, count;
    r.take(version, 4);
    r.take(count, 4);
    if (version != static_cast<uint64_t>(kVersion)) return false;
    std::vector<Entry> entries;
    for (uint64_t i = 0; i < count; ++i) {
        uint64_t type, length, value;
        if (!r.take(type, 1) || !r.take(length, 2) || r.left < length) return false;
        std::string name(reinterpret_cast<const char*>(r.p), length);
        r.p += length;
        r.left -= length;
        if (type == kDouble) {
            if (!r.take(value, 8)) return false;
            double d;
            std::memcpy(&d, &value, 8);
            entries.push_back({std::move(name), true, d});
        } else if (type == kInt32) {
            if (!r.take(value, 4)) return false;
            entries.push_back({std::move(name), false, double(static_cast<int32_t>(static_cast<uint32_t>(value)))});
        } else {
            return false;
        }
    }
    entries_ = std::move(entries);
    return true;
}
