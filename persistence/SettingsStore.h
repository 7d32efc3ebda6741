#pragma once

#include <cstdint>
#include <map>
#include <mutex>
#include <string>
#include <vector>

// The persistent store of settings that outlive a session: typed values (integer, string, binary)
// under key paths such as "Software\Brixholde\Lorimane\2.0", each with a value name. Key paths and
// names are matched without regard to case; the spelling last written is kept. The store is one text
// file, by default $XDG_CONFIG_HOME/Brixholde/settings (~/.config when unset), rewritten atomically
// on every change, so a crash never leaves a half-written file and another process reads either the
// old or the new content. Unreadable lines are skipped; a missing file is an empty store.
//
// Any thread: each operation reads the file anew under a process-wide lock and writes it back whole.
class SettingsStore {
public:
    enum class Type { Integer, String, Binary };

    struct Value {
        Type type = Type::Integer;
        std::int32_t integer = 0;
        std::string text;
        std::vector<std::uint8_t> bytes;
    };

    explicit SettingsStore(std::string path) : path_(std::move(path)) {}

    // $HOME when it is an absolute path, else the user's home from the password database, without
    // a trailing separator; relative paths never reach the stores.
    static std::string homeFolder();
    // The user's store: $XDG_CONFIG_HOME/Brixholde/settings.
    static SettingsStore user();
    // The machine-wide store, read only: the first folder of $XDG_CONFIG_DIRS (default /etc/xdg)
    // + /Brixholde/settings.
    static SettingsStore machine();

    // False when nothing is stored under the key and name.
    bool get(const std::string& key, const std::string& name, Value& value) const;
    // Creates the store's folder when needed; false when the file could not be written (the stored
    // content is then unchanged).
    bool set(const std::string& key, const std::string& name, const Value& value);
    bool remove(const std::string& key, const std::string& name);

    const std::string& path() const { return path_; }

private:
    struct Entry {
        std::string key;
        std::string name;
        Value value;
    };
    using Entries = std::map<std::string, Entry>;  // by folded "key\nname"

    bool load(Entries& entries) const;
    bool store(const Entries& entries) const;

    std::string path_;
};
