#include "persistence/SettingsStore.h"

#include <pwd.h>
#include <unistd.h>

#include <cctype>
#include <cstdlib>
#include <sstream>

#include "persistence/AtomicFile.h"
#include "streams/PathFunctions.h"

namespace {
// Settings files are small; anything larger is not ours.
constexpr std::size_t kMaxStoreBytes = 16 << 20;
constexpr const char* kHeader = "# Brixholde settings: type<TAB>key<TAB>name<TAB>value";

std::mutex& storeMutex() {
    static std::mutex m;
    return m;
}

std::string fold(const std::string& text) {
    std::string out = text;
    for (char& c : out) c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
    return out;
}

std::string entryKey(const std::string& key, const std::string& name) {
    return fold(key) + '\n' + fold(name);
}

// Tabs, line ends and '%' are written as %XX so that every value stays on its own line.
std::string escape(const std::string& text) {
    static const char* hex = "0123456789ABCDEF";
    std::string out;
    for (unsigned char c : text) {
        if (c == '\t' || c == '\n' || c == '\r' || c == '%') {
            out += '%';
            out += hex[c >> 4];
            out += hex[c & 15];
        } else {
            out += static_cast<char>(c);
        }
    }
    return out;
}

int hexDigit(char c) {
    if (c >= '0' && c <= '9') return c - '0';
    if (c >= 'A' && c <= 'F') return c - 'A' + 10;
    if (c >= 'a' && c <= 'f') return c - 'a' + 10;
    return -1;
}

bool unescape(const std::string& text, std::string& out) {
    out.clear();
    for (std::size_t i = 0; i < text.size(); ++i) {
        if (text[i] != '%') {
            out += text[i];
            continue;
        }
        if (i + 2 >= text.size()) return false;
        int hi = hexDigit(text[i + 1]), lo = hexDigit(text[i + 2]);
        if (hi < 0 || lo < 0) return false;
        out += static_cast<char>(hi * 16 + lo);
        i += 2;
    }
    return true;
}

bool parseValue(const std::string& type, const std::string& data, SettingsStore::Value& value) {
    if (type == "int") {
        const char* begin = data.c_str();
        char* end = nullptr;
        long long n = std::strtoll(begin, &end, 10);
        if (end == begin || *end != '\0' || n < INT32_MIN || n > INT32_MAX) return false;
        value.type = SettingsStore::Type::Integer;
        value.integer = static_cast<std::int32_t>(n);
        return true;
    }
    if (type == "string") {
        value.type = SettingsStore::Type::String;
        return unescape(data, value.text);
    }
    if (type == "binary") {
        if (data.size() % 2 != 0) return false;
        value.type = SettingsStore::Type::Binary;
        value.bytes.clear();
        for (std::size_t i = 0; i < data.size(); i += 2) {
            int hi = hexDigit(data[i]), lo = hexDigit(data[i + 1]);
            if (hi < 0 || lo < 0) return false;
            value.bytes.push_back(static_cast<std::uint8_t>(hi * 16 + lo));
        }
        return true;
    }
    return false;
}

std::string environment(const char* name) {
    const char* v = std::getenv(name);
    return v ? std::string(v) : std::string();
}
}  // namespace

std::string SettingsStore::homeFolder() {
    std::string home = environment("HOME");
    if (home.empty() || home[0] != '/') {
        const passwd* entry = ::getpwuid(::getuid());
        home = entry && entry->pw_dir ? entry->pw_dir : "";
    }
    if (home.empty() || home[0] != '/') home = "/";
    return home == "/" ? std::string() : removeTrailingBackslash(home);
}

SettingsStore SettingsStore::user() {
    std::string base = environment("XDG_CONFIG_HOME");
    if (base.empty() || base[0] != '/') base = homeFolder() + "/.config";
    return SettingsStore(addTrailingBackslash(base) + "Brixholde/settings");
}

SettingsStore SettingsStore::machine() {
    std::string dirs = environment("XDG_CONFIG_DIRS");
    std::string first = dirs.substr(0, dirs.find(':'));
    if (first.empty() || first[0] != '/') first = "/etc/xdg";
    return SettingsStore(addTrailingBackslash(first) + "Brixholde/settings");
}

bool SettingsStore::load(Entries& entries) const {
    entries.clear();
    std::string content;
    if (!readWholeFile(path_, content, kMaxStoreBytes)) return false;
    std::istringstream lines(content);
    std::string line;
    while (std::getline(lines, line)) {
        if (line.empty() || line[0] == '#') continue;
        std::size_t a = line.find('\t');
        std::size_t b = a == std::string::npos ? a : line.find('\t', a + 1);
        std::size_t c = b == std::string::npos ? b : line.find('\t', b + 1);
        if (c == std::string::npos) continue;
        Entry e;
        if (!unescape(line.substr(a + 1, b - a - 1), e.key) ||
            !unescape(line.substr(b + 1, c - b - 1), e.name))
            continue;
        if (!parseValue(line.substr(0, a), line.substr(c + 1), e.value)) continue;
        entries[entryKey(e.key, e.name)] = std::move(e);
    }
    return true;
}

bool SettingsStore::store(const Entries& entries) const {
    static const char* hex = "0123456789ABCDEF";
    std::string out = std::string(kHeader) + "\n";
    for (const auto& [k, e] : entries) {
        std::string data;
        switch (e.value.type) {
            case Type::Integer:
                out += "int";
                data = std::to_string(e.value.integer);
                break;
            case Type::String:
                out += "string";
                data = escape(e.value.text);
                break;
            case Type::Binary:
                out += "binary";
                for (std::uint8_t byte : e.value.bytes) {
                    data += hex[byte >> 4];
                    data += hex[byte & 15];
                }
                break;
        }
        out += '\t' + escape(e.key) + '\t' + escape(e.name) + '\t' + data + '\n';
    }
    std::size_t slash = path_.rfind(kPathSeparator);
    if (slash != std::string::npos && slash > 0 && !createDirectories(path_.substr(0, slash + 1)))
        return false;
    return writeFileAtomically(path_, out);
}

bool SettingsStore::get(const std::string& key, const std::string& name, Value& value) const {
    std::lock_guard<std::mutex> lock(storeMutex());
    Entries entries;
    load(entries);
    auto it = entries.find(entryKey(key, name));
    if (it == entries.end()) return false;
    value = it->second.value;
    return true;
}

bool SettingsStore::set(const std::string& key, const std::string& name, const Value& value) {
    std::lock_guard<std::mutex> lock(storeMutex());
    Entries entries;
    load(entries);
    Entry& e = entries[entryKey(key, name)];
    e.key = key;
    e.name = name;
    e.value = value;
    return store(entries);
}

bool SettingsStore::remove(const std::string& key, const std::string& name) {
    std::lock_guard<std::mutex> lock(storeMutex());
    Entries entries;
    load(entries);
    if (entries.erase(entryKey(key, name)) == 0) return true;
    return store(entries);
}
