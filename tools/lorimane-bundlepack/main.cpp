// lorimane-bundlepack OUTPUT NAME=FOLDER...
//
// Writes the factory-content bundle: magic "BX/ISB/3", the uint32 length of everything after byte
// 28, 41 reserved bytes, then the root listing. Each NAME=FOLDER argument becomes a top-level
// directory NAME holding FOLDER's tree. Entries are 76 bytes (name length, 67 bytes of name, int32
// content size, int32 unpacked size or -1 for a directory); a directory's content is its listing,
// ended by an empty entry; a file's content is its zlib-compressed bytes. Entries are sorted by name
// so that the same tree always gives the same bundle. Errors: one line on stderr, exit status 2.

#include <zlib.h>

#include <algorithm>
#include <cstdint>
#include <cstdio>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <stdexcept>
#include <string>
#include <vector>

namespace fs = std::filesystem;

namespace {
constexpr std::size_t kEntrySize = 76;
constexpr std::size_t kNameField = 67;

void putInt32(std::string& out, std::int32_t value) {
    std::uint32_t v = static_cast<std::uint32_t>(value);
    for (int i = 0; i < 4; ++i) out += static_cast<char>((v >> (8 * i)) & 0xFF);
}

std::string entry(const std::string& name, std::int32_t size, std::int32_t unpackedSize) {
    if (name.size() > kNameField) throw std::runtime_error("name longer than 67 bytes: " + name);
    std::string out(1, static_cast<char>(name.size()));
    std::string field = name;
    field.resize(kNameField, '\0');
    out += field;
    putInt32(out, size);
    putInt32(out, unpackedSize);
    return out;
}

std::string endEntry() {
    return entry("", 0, -1);
}

std::string compress(const std::string& data) {
    uLongf length = compressBound(static_cast<uLong>(data.size()));
    std::string out(length, '\0');
    if (compress2(reinterpret_cast<Bytef*>(out.data()), &length, reinterpret_cast<const Bytef*>(data.data()),
                  static_cast<uLong>(data.size()), 9) != Z_OK)
        throw std::runtime_error("compression failed");
    out.resize(length);
    return out;
}

std::string readFile(const fs::path& path) {
    std::ifstream in(path, std::ios::binary);
    if (!in) throw std::runtime_error("cannot read " + path.string());
    return std::string((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
}

std::int32_t checkedSize(std::size_t size) {
    if (size > 0x7FFFFFFF) throw std::runtime_error("content larger than 2 GiB");
    return static_cast<std::int32_t>(size);
}

// The listing of a folder: its entries in name order, then the end entry.
std::string listing(const fs::path& folder) {
    std::vector<fs::path> children;
    for (const fs::directory_entry& e : fs::directory_iterator(folder)) children.push_back(e.path());
    std::sort(children.begin(), children.end(), [](const fs::path& a, const fs::path& b) {
        return a.filename().string() < b.filename().string();
    });
    std::string out;
    for (const fs::path& child : children) {
        std::string name = child.filename().string();
        if (fs::is_directory(child)) {
            std::string content = listing(child);
            out += entry(name, checkedSize(content.size()), -1) + content;
        } else if (fs::is_regular_file(child)) {
            std::string data = readFile(child);
            std::string packed = compress(data);
            out += entry(name, checkedSize(packed.size()), checkedSize(data.size())) + packed;
        }
    }
    return out + endEntry();
}
}  // namespace

int main(int argc, char** argv) {
    try {
        if (argc < 3) throw std::runtime_error("usage: lorimane-bundlepack OUTPUT NAME=FOLDER...");
        std::string root;
        for (int i = 2; i < argc; ++i) {
            std::string arg = argv[i];
            std::size_t eq = arg.find('=');
            if (eq == std::string::npos || eq == 0) throw std::runtime_error("expected NAME=FOLDER: " + arg);
            fs::path folder = arg.substr(eq + 1);
            if (!fs::is_directory(folder)) throw std::runtime_error("not a folder: " + folder.string());
            std::string content = listing(folder);
            root += entry(arg.substr(0, eq), checkedSize(content.size()), -1) + content;
        }
        root += endEntry();
        std::string bundle = "BX/ISB/3";
        // The length counts every byte after offset 28: the last 25 reserved bytes and the listing.
        putInt32(bundle, checkedSize(25 + root.size()));
        bundle += std::string(41, '\0');
        bundle += root;

        std::string output = argv[1];
        std::string temporary = output + ".tmp";
        {
            std::ofstream out(temporary, std::ios::binary | std::ios::trunc);
            out.write(bundle.data(), static_cast<std::streamsize>(bundle.size()));
            if (!out.flush()) throw std::runtime_error("cannot write " + temporary);
        }
        fs::rename(temporary, output);
        return 0;
    } catch (const std::exception& e) {
        std::fprintf(stderr, "lorimane-bundlepack: %s\n", e.what());
        return 2;
    }
}
