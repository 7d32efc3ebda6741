#include "persistence/RegistryWriter.h"

RegistryWriter::RegistryWriter(std::string key, RegistryRoot root)
    : key_(std::move(key)), store_(SettingsStore::user()), writable_(root == RegistryRoot::CurrentUser) {}

RegistryWriter::RegistryWriter(std::string key, SettingsStore store)
    : key_(std::move(key)), store_(std::move(store)), writable_(true) {}

void RegistryWriter::store(const std::string& name, const SettingsStore::Value& value) {
    if (writable_) store_.set(key_, name, value);
}

void RegistryWriter::binaryValue(const std::string& name, std::vector<std::uint8_t>& bytes) {
    SettingsStore::Value v;
    v.type = SettingsStore::Type::Binary;
    v.bytes = bytes;
    store(name, v);
}

std::int32_t RegistryWriter::intValue(const std::string& name, std::int32_t value, std::int32_t) {
    SettingsStore::Value v;
    v.type = SettingsStore::Type::Integer;
    v.integer = value;
    store(name, v);
    return value;
}

std::string RegistryWriter::stringValue(const std::string& name, const std::string& value,
                                        const std::string&) {
    SettingsStore::Value v;
    v.type = SettingsStore::Type::String;
    v.text = value;
    store(name, v);
    return value;
}
