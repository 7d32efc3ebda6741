#include "streams/PathFunctions.h"

#include <sys/stat.h>

#include <cerrno>

std::string addTrailingBackslash(const std::string& path) {
    if (path.empty() || path.back() == kPathSeparator) return path;
    return path + kPathSeparator;
}

std::string removeTrailingBackslash(const std::string& path) {
    if (!path.empty() && path.back() == kPathSeparator) return path.substr(0, path.size() - 1);
    return path;
}

std::string lastPathComponent(const std::string& path) {
    std::size_t slash = path.rfind(kPathSeparator);
    return slash == std::string::npos ? path : path.substr(slash + 1);
}

std::string stripExtension(const std::string& name) {
    std::size_t dot = name.rfind('.');
    return dot == std::string::npos ? name : name.substr(0, dot);
}

std::string fileTitle(const std::string& path) { return stripExtension(lastPathComponent(path)); }

namespace {
bool isDirectory(const std::string& path) {
    struct stat st;
    return ::stat(path.c_str(), &st) == 0 && S_ISDIR(st.st_mode);
}
}  // namespace

bool createDirectories(const std::string& path) {
    if (path.empty()) return false;
    if (isDirectory(path)) return true;
    std::string dir = removeTrailingBackslash(path);
    std::size_t slash = dir.rfind(kPathSeparator);
    if (slash == std::string::npos) return false;
    // The root "/" exists; anything else is created from the top down.
    if (slash > 0 && !createDirectories(dir.substr(0, slash))) return false;
    if (::mkdir(dir.c_str(), 0777) == 0) return true;
    // Another process may have created it in between.
    return errno == EEXIST && isDirectory(dir);
}

namespace {
constexpr char32_t kReplacement = 0xFFFD;

void appendUtf8(std::string& out, char32_t c) {
    if (c < 0x80) {
        out += static_cast<char>(c);
    } else if (c < 0x800) {
        out += static_cast<char>(0xC0 | (c >> 6));
        out += static_cast<char>(0x80 | (c & 0x3F));
    } else if (c < 0x10000) {
        out += static_cast<char>(0xE0 | (c >> 12));
        out += static_cast<char>(0x80 | ((c >> 6) & 0x3F));
        out += static_cast<char>(0x80 | (c & 0x3F));
    } else {
        out += static_cast<char>(0xF0 | (c >> 18));
        out += static_cast<char>(0x80 | ((c >> 12) & 0x3F));
        out += static_cast<char>(0x80 | ((c >> 6) & 0x3F));
        out += static_cast<char>(0x80 | (c & 0x3F));
    }
}
}  // namespace

std::u16string utf8ToWide(const std::string& text) {
    std::u16string out;
    out.reserve(text.size());
    std::size_t i = 0;
    while (i < text.size()) {
        unsigned char b = static_cast<unsigned char>(text[i]);
        int extra = b < 0x80 ? 0 : (b >> 5) == 0x6 ? 1 : (b >> 4) == 0xE ? 2 : (b >> 3) == 0x1E ? 3 : -1;
        char32_t c = extra == 0 ? b : extra == 1 ? (b & 0x1F) : extra == 2 ? (b & 0x0F) : (b & 0x07);
        bool valid = extra >= 0 && i + static_cast<std::size_t>(extra) < text.size();
        for (int k = 1; valid && k <= extra; ++k) {
            unsigned char cont = static_cast<unsigned char>(text[i + k]);
            if ((cont & 0xC0) != 0x80) valid = false;
            c = (c << 6) | (cont & 0x3F);
        }
        static constexpr char32_t kMinimum[4] = {0, 0x80, 0x800, 0x10000};
        if (valid && (c < kMinimum[extra] || c > 0x10FFFF || (c >= 0xD800 && c <= 0xDFFF))) valid = false;
        if (!valid) {
            out += static_cast<char16_t>(kReplacement);
            ++i;
            continue;
        }
        i += static_cast<std::size_t>(extra) + 1;
        if (c >= 0x10000) {
            c -= 0x10000;
            out += static_cast<char16_t>(0xD800 + (c >> 10));
            out += static_cast<char16_t>(0xDC00 + (c & 0x3FF));
        } else {
            out += static_cast<char16_t>(c);
        }
    }
    return out;
}

std::string wideToUtf8(const std::u16string& text) {
    std::string out;
    out.reserve(text.size());
    for (std::size_t i = 0; i < text.size(); ++i) {
        char32_t c = text[i];
        if (c >= 0xD800 && c <= 0xDBFF && i + 1 < text.size() && text[i + 1] >= 0xDC00 && text[i + 1] <= 0xDFFF) {
            c = 0x10000 + ((c - 0xD800) << 10) + (text[i + 1] - 0xDC00);
            ++i;
        } else if (c >= 0xD800 && c <= 0xDFFF) {
            c = kReplacement;  // unpaired surrogate
        }
        appendUtf8(out, c);
    }
    return out;
}
