#pragma once

#include <cstdint>
#include <string>
#include <string_view>

// The factory-content bundle: magic "BX/ISB/3", a uint32 length of the bytes after offset 28, 41
// reserved bytes, then the root listing at offset 53. A listing is a run of 76-byte entries (name
// length, 67 bytes of name, int32 size of the content that follows, int32 unpacked size or -1 for a
// directory) ended by an entry with an empty name. A directory's content is its own listing; a
// file's is one zlib stream that inflates to exactly its unpacked size.
//
// Unpacking refuses what could harm the destination: names with separators, ".", ".." or NUL bytes,
// name lengths beyond the field, sizes that run past their directory or the bundle, and unpacked
// sizes beyond what the compressed bytes can hold or kMaxFileBytes. A file is inflated completely in
// memory and only then written, to a temporary file that is renamed over the target, so a broken
// entry never destroys a file that was there. UI thread.
class FactoryBundle {
public:
    static constexpr char kMagic[9] = "BX/ISB/3";
    static constexpr std::size_t kHeaderSize = 53;
    static constexpr std::size_t kLengthBase = 28;
    static constexpr std::size_t kEntrySize = 76;
    static constexpr std::size_t kNameField = 67;
    static constexpr std::int64_t kMaxFileBytes = 64 << 20;
    static constexpr int kMaxDepth = 32;

    // The bytes are not copied: they must outlive the bundle object.
    explicit FactoryBundle(std::string_view bytes) : bytes_(bytes) {}

    // Unpacks the top-level directory of that name into the destination folder. Without
    // overwrite, files that exist are kept. False when the bundle is malformed, the directory is
    // missing or any of its files could not be written; files already written stay.
    bool unpackDirectory(const std::string& name, const std::string& destination, bool overwrite);

private:
    struct Entry {
        std::string name;
        std::int32_t size;
        std::int32_t unpackedSize;
    };
    // Reads the entry at pos; false when it does not fit before limit.
    bool readEntry(std::size_t pos, std::size_t limit, Entry& entry) const;
    bool unpackListing(std::size_t pos, std::size_t limit, const std::string& folder, int depth);
    bool unpackFile(const std::string& path, std::size_t pos, const Entry& entry);
    static bool safeName(const std::string& name);

    std::string_view bytes_;
    bool overwrite_ = false;
};
