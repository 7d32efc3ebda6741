#include "persistence/FactoryBundle.h"

#include <sys/stat.h>
#include <zlib.h>

#include <cstring>
#include <vector>

#include "persistence/AtomicFile.h"
#include "streams/PathFunctions.h"

namespace {
std::int32_t readInt32(const char* p) {
    std::uint32_t v = 0;
    for (int i = 3; i >= 0; --i) v = (v << 8) | static_cast<unsigned char>(p[i]);
    return static_cast<std::int32_t>(v);
}

// Deflate cannot expand data by more than this factor, so a larger claim is a lie.
constexpr std::int64_t kMaxInflateRatio = 1032;
}  // namespace

bool FactoryBundle::safeName(const std::string& name) {
    if (name.empty() || name == "." || name == "..") return false;
    for (char c : name)
        if (c == '/' || c == '\\' || c == '\0') return false;
    return true;
}

bool FactoryBundle::readEntry(std::size_t pos, std::size_t limit, Entry& entry) const {
    if (pos > limit || limit - pos < kEntrySize) return false;
    const char* p = bytes_.data() + pos;
    std::size_t length = static_cast<unsigned char>(p[0]);
    if (length > kNameField) return false;
    entry.name.assign(p + 1, length);
    entry.size = readInt32(p + 68);
    entry.unpackedSize = readInt32(p + 72);
    if (length == 0) return true;
    // The content must lie inside the enclosing listing.
    return entry.size >= 0 && static_cast<std::size_t>(entry.size) <= limit - pos - kEntrySize;
}

bool FactoryBundle::unpackDirectory(const std::string& name, const std::string& destination, bool overwrite) {
    overwrite_ = overwrite;
    if (bytes_.size() < kHeaderSize || std::memcmp(bytes_.data(), kMagic, 8) != 0) return false;
    std::uint64_t length = static_cast<std::uint32_t>(readInt32(bytes_.data() + 8));
    if (kLengthBase + length > bytes_.size()) return false;
    std::size_t limit = kLengthBase + static_cast<std::size_t>(length);
    std::size_t pos = kHeaderSize;
    Entry entry;
    while (readEntry(pos, limit, entry) && !entry.name.empty()) {
        if (entry.name == name && entry.unpackedSize == -1) {
            return unpackListing(pos + kEntrySize, pos + kEntrySize + entry.size,
                                 removeTrailingBackslash(destination), 0);
        }
        pos += kEntrySize + static_cast<std::size_t>(entry.size);
    }
    return false;
}

bool FactoryBundle::unpackListing(std::size_t pos, std::size_t limit, const std::string& folder, int depth) {
    if (depth > kMaxDepth || !createDirectories(folder)) return false;
    bool ok = true;
    Entry entry;
    for (;;) {
        // A listing that runs out before its end entry does not add up: stop with failure.
        if (!readEntry(pos, limit, entry)) return false;
        if (entry.name.empty()) return ok;
        if (!safeName(entry.name)) return false;
        std::size_t content = pos + kEntrySize;
        std::string path = folder + kPathSeparator + entry.name;
        if (entry.unpackedSize == -1) {
            ok = unpackListing(content, content + entry.size, path, depth + 1) && ok;
        } else if (entry.unpackedSize < 0) {
            return false;
        } else {
            ok = unpackFile(path, content, entry) && ok;
        }
        pos = content + static_cast<std::size_t>(entry.size);
    }
}

bool FactoryBundle::unpackFile(const std::string& path, std::size_t pos, const Entry& entry) {
    struct stat st;
    bool exists = ::lstat(path.c_str(), &st) == 0;
    if (exists && S_ISDIR(st.st_mode)) return false;
    if (exists && !overwrite_) return true;

    std::int64_t unpacked = entry.unpackedSize;
    if (unpacked > kMaxFileBytes || unpacked > (static_cast<std::int64_t>(entry.size) + 1) * kMaxInflateRatio)
        return false;
    std::vector<unsigned char> out(static_cast<std::size_t>(unpacked));
    if (unpacked > 0) {
        z_stream z{};
        if (inflateInit(&z) != Z_OK) return false;
        z.next_in = reinterpret_cast<Bytef*>(const_cast<char*>(bytes_.data() + pos));
        z.avail_in = static_cast<uInt>(entry.size);
        z.next_out = out.data();
        z.avail_out = static_cast<uInt>(out.size());
        int result = inflate(&z, Z_SYNC_FLUSH);
        bool complete = result == Z_STREAM_END && z.avail_out == 0;
        inflateEnd(&z);
        if (!complete) return false;
    }
    return writeFileAtomically(path, std::string_view(reinterpret_cast<const char*>(out.data()), out.size()));
}
