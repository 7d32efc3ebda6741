#include "persistence/RegistryReader.h"

RegistryReader::RegistryReader(std::string key, RegistryRoot root)
    : key_(std::move(key)),
      store_(root == RegistryRoot::LocalMachine ? SettingsStore::machine() : SettingsStore::user()) {}

RegistryReader::RegistryReader(std::string key, SettingsStore store)
    : key_(std::move(key)), store_(std::move(store)) {}

void RegistryReader::binaryValue(const std::string& name, std::vector<std::uint8_t>& bytes) {
    bytes.clear();
    SettingsStore::Value v;
    if (store_.get(key_, name, v) && v.type == SettingsStore::Type::Binary) bytes = std::move(v.bytes);
}

std::int32_t RegistryReader::intValue(const std::string& name, std::int32_t, std::int32_t defaultValue) {
    SettingsStore::Value v;
    if (store_.get(key_, name, v) && v.type == SettingsStore::Type::Integer) return v.integer;
    return defaultValue;
}

std::string RegistryReader::stringValue(const std::string& name, const std::string&,
                                        const std::string& defaultValue) {
    SettingsStore::Value v;
    if (store_.get(key_, name, v) && v.type == SettingsStore::Type::String) return v.text;
    return defaultValue;
}
