#pragma once

#include <cstddef>
#include <istream>
#include <memory>
#include <stdexcept>
#include <string_view>

// Embedded resources: files compiled into the library as generated tables (the build's resource
// packer writes them), addressed by the file name they were made from. The extension is dropped and
// names compare without regard to case, so "MidiControllerMap.bxm" finds MIDICONTROLLERMAP.

// The one exception of the system: an embedded resource that does not exist was opened.
class EResource : public std::runtime_error {
public:
    EResource() : std::runtime_error("Resource not found") {}
};

// One entry of a resource table; the name is stored upper-case and without extension.
struct EmbeddedResource {
    const char* name;
    const unsigned char* data;
    std::size_t size;
};

struct EmbeddedResourceTable {
    const EmbeddedResource* entries;
    std::size_t count;
};

// The table of every resource compiled into this build. Defined by the generated resource library
// (lorimane_resources), so calling it is what links the tables in: no static registration that a
// linker could drop.
const EmbeddedResourceTable& embeddedResources();

// Finds a resource by file name (extension removed, case ignored) in a table; null when missing.
const EmbeddedResource* findEmbeddedResource(const EmbeddedResourceTable& table, std::string_view fileName);

// Any thread; the tables are read-only.
bool resourceExists(std::string_view fileName);
// Copies the resource bytes into an owned in-memory stream. Throws EResource when it is missing.
// Any thread.
std::unique_ptr<std::istream> openResource(std::string_view fileName);
