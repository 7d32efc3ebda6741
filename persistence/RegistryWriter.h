#pragma once

#include <string>

#include "persistence/RegistryReader.h"
#include "persistence/SettingsStore.h"
#include "streams/SettingSerializer.h"

// Stores settings under one key path and answers the value it was given. Each value is written to
// the store at once (atomically); a failed write leaves the stored value as it was and is not
// reported. The machine-wide root is read only: a writer on it stores nothing. The thread is the
// caller's.
class RegistryWriter : public SettingSerializer {
public:
    explicit RegistryWriter(std::string key, RegistryRoot root = RegistryRoot::CurrentUser);
    RegistryWriter(std::string key, SettingsStore store);

    bool isWriting() const override { return true; }
    void binaryValue(const std::string& name, std::vector<std::uint8_t>& bytes) override;
    std::int32_t intValue(const std::string& name, std::int32_t value, std::int32_t defaultValue) override;
    std::string stringValue(const std::string& name, const std::string& value,
                            const std::string& defaultValue) override;

    const std::string& key() const { return key_; }

private:
    void store(const std::string& name, const SettingsStore::Value& value);

    std::string key_;
    SettingsStore store_;
    bool writable_;
};
