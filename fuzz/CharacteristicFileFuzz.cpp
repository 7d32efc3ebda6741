// Filter characteristic files: a style loaded from any bytes answers lookups anywhere on its axes
// without reading outside its tables.

#include <cmath>
#include <cstdint>
#include <cstdlib>
#include <sstream>

#include "streams/BinaryDataReader.h"
#include "wave/filters/DesignFilter.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    DesignFilter::Style style("", 1.0f);
    std::istringstream in(std::string(reinterpret_cast<const char*>(data), size));
    BinaryDataReader reader(in);
    if (!style.load(reader)) return 0;
    for (float frequency : {3.0f, 8.0f, 14.5f})
        for (float peak : {0.0f, 0.5f, 1.0f}) {
            float v = 0, k = 0, d = 0;
            style.lookup(frequency, peak, v, k, d);
        }
    return 0;
}
