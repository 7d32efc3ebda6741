#include "framework/IndexedPluginParameter.h"

#include <cerrno>
#include <climits>

namespace indexed {

bool equalIgnoringCase(const std::string& a, const std::string& b) {
    if (a.size() != b.size()) return false;
    auto lower = [](char c) { return c >= 'A' && c <= 'Z' ? char(c - 'A' + 'a') : c; };
    for (std::size_t i = 0; i < a.size(); ++i)
        if (lower(a[i]) != lower(b[i])) return false;
    return true;
}

bool parseInteger(const std::string& text, int& result) {
    const char* start = text.c_str();
    while (*start == ' ') ++start;
    // Only an optional sign and digits: no hexadecimal, no other white space.
    const char* digits = start + (*start == '-' || *start == '+');
    if (*digits < '0' || *digits > '9') return false;
    errno = 0;
    char* end = nullptr;
    long value = std::strtol(start, &end, 10);
    if (errno == ERANGE || value < INT_MIN || value > INT_MAX) return false;
    result = int(value);
    return true;
}

std::vector<std::string> splitAtCommas(const std::string& text) {
    std::vector<std::string> names;
    if (text.empty()) return names;
    std::size_t start = 0;
    while (true) {
        std::size_t comma = text.find(',', start);
        names.push_back(text.substr(start, comma - start));
        if (comma == std::string::npos) break;
        start = comma + 1;
    }
    return names;
}

}  // namespace indexed
