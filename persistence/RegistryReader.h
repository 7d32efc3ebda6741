#pragma once

#include <string>

#include "persistence/SettingsStore.h"
#include "streams/SettingSerializer.h"

// Where a key lives: the user's settings or the machine-wide ones (read only).
enum class RegistryRoot { CurrentUser, LocalMachine };

// Loads settings from the store under one key path. A value that is missing or stored with another
// type answers the default; nothing is ever reported. The thread is the caller's.
class RegistryReader : public SettingSerializer {
public:
    explicit RegistryReader(std::string key, RegistryRoot root = RegistryRoot::CurrentUser);
    // Reads from a given store (tests, tools).
    RegistryReader(std::string key, SettingsStore store);

    bool isWriting() const override { return false; }
    void binaryValue(const std::string& name, std::vector<std::uint8_t>& bytes) override;
    std::int32_t intValue(const std::string& name, std::int32_t value, std::int32_t defaultValue) override;
    std::string stringValue(const std::string& name, const std::string& value,
                            const std::string& defaultValue) override;

    const std::string& key() const { return key_; }

private:
    std::string key_;
    SettingsStore store_;
};
