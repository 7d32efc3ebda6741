#include "persistence/MidiControllerMap.h"

#include <cstring>
#include <iterator>
#include <sstream>
#include <vector>

#include "persistence/AtomicFile.h"
#include "streams/BinaryDataWriter.h"
#include "streams/Resource.h"

namespace {
constexpr std::size_t kFileSize = 8 + 4 * MidiControllerMap::kControllers;
constexpr auto relaxed = std::memory_order_relaxed;

std::int32_t int32At(std::string_view bytes, std::size_t pos) {
    std::uint32_t v = 0;
    for (int i = 3; i >= 0; --i)
        v = (v << 8) | static_cast<unsigned char>(bytes[pos + static_cast<std::size_t>(i)]);
    return static_cast<std::int32_t>(v);
}
}  // namespace

int MidiControllerMap::parameterFor(int controller) const {
    if (controller < 0 || controller >= kControllers) return -1;
    return entries_[static_cast<std::size_t>(controller)].load(relaxed);
}

int MidiControllerMap::controllerFor(int parameterNumber) const {
    for (int c = 0; c < kControllers; ++c)
        if (entries_[static_cast<std::size_t>(c)].load(relaxed) == parameterNumber) return c;
    return -1;
}

void MidiControllerMap::assignController(int controller, int parameterNumber) {
    if (controller >= kControllers || controller < -1) return;
    if (controller != -1 && entries_[static_cast<std::size_t>(controller)].load(relaxed) == parameterNumber)
        return;
    int previous = controllerFor(parameterNumber);
    if (previous >= 0) entries_[static_cast<std::size_t>(previous)].store(-1, relaxed);
    if (controller != -1) entries_[static_cast<std::size_t>(controller)].store(parameterNumber, relaxed);
}

void MidiControllerMap::clear(int controller) {
    if (controller >= 0 && controller < kControllers)
        entries_[static_cast<std::size_t>(controller)].store(-1, relaxed);
}

void MidiControllerMap::clearAll() {
    for (auto& e : entries_) e.store(-1, relaxed);
}

void MidiControllerMap::setLimits(int parameterLimit, int virtualLimit) {
    parameterLimit_ = std::max(parameterLimit, 0);
    virtualLimit_ = std::max(virtualLimit, 0);
}

bool MidiControllerMap::valid(std::int32_t entry) const {
    if (entry == -1) return true;
    if (entry >= 0 && entry < kVirtualBase) return entry < parameterLimit_;
    return entry >= kVirtualBase && entry - kVirtualBase < virtualLimit_;
}

bool MidiControllerMap::loadBytes(std::string_view bytes) {
    if (bytes.size() < kFileSize || std::memcmp(bytes.data(), kTag, 4) != 0) return false;
    std::array<std::int32_t, kControllers> read;
    for (int c = 0; c < kControllers; ++c) {
        std::int32_t e = int32At(bytes, 8 + 4 * static_cast<std::size_t>(c));
        if (!valid(e)) return false;
        for (int k = 0; k < c; ++k)
            if (e != -1 && read[static_cast<std::size_t>(k)] == e) return false;
        read[static_cast<std::size_t>(c)] = e;
    }
    for (int c = 0; c < kControllers; ++c)
        entries_[static_cast<std::size_t>(c)].store(read[static_cast<std::size_t>(c)], relaxed);
    return true;
}

bool MidiControllerMap::load(const std::string& path) {
    std::string bytes;
    // The map has a fixed size; a file far larger than it is not a map.
    if (!readWholeFile(path, bytes, 1 << 16)) return false;
    return loadBytes(bytes);
}

void MidiControllerMap::loadDefault() {
    clearAll();
    if (!resourceExists(kFileName)) return;
    std::unique_ptr<std::istream> in = openResource(kFileName);
    std::string bytes((std::istreambuf_iterator<char>(*in)), std::istreambuf_iterator<char>());
    loadBytes(bytes);
}

std::string MidiControllerMap::serialize() const {
    std::ostringstream out;
    BinaryDataWriter writer(out);
    writer.writeHeader(kTag, 1);
    for (const auto& e : entries_) writer.writeInt32(e.load(relaxed));
    return out.str();
}

bool MidiControllerMap::save(const std::string& path) const {
    return writeFileAtomically(path, serialize());
}
