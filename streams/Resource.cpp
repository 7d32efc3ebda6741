#include "streams/Resource.h"

#include <sstream>
#include <string>

namespace {
// ASCII case folding only: resource names are made from file names, and non-ASCII bytes of a
// UTF-8 name must match exactly.
char upper(char c) { return c >= 'a' && c <= 'z' ? static_cast<char>(c - 'a' + 'A') : c; }

bool sameName(std::string_view stored, std::string_view wanted) {
    if (stored.size() != wanted.size()) return false;
    for (std::size_t i = 0; i < stored.size(); ++i)
        if (upper(stored[i]) != upper(wanted[i])) return false;
    return true;
}
}  // namespace

const EmbeddedResource* findEmbeddedResource(const EmbeddedResourceTable& table, std::string_view fileName) {
    std::size_t dot = fileName.rfind('.');
    std::string_view name = dot == std::string_view::npos ? fileName : fileName.substr(0, dot);
    for (std::size_t i = 0; i < table.count; ++i)
        if (sameName(table.entries[i].name, name)) return &table.entries[i];
    return nullptr;
}

bool resourceExists(std::string_view fileName) {
    return findEmbeddedResource(embeddedResources(), fileName) != nullptr;
}

std::unique_ptr<std::istream> openResource(std::string_view fileName) {
    const EmbeddedResource* resource = findEmbeddedResource(embeddedResources(), fileName);
    if (!resource) throw EResource();
    return std::make_unique<std::istringstream>(
        std::string(reinterpret_cast<const char*>(resource->data), resource->size), std::ios::in | std::ios::binary);
}
