// Component presets: a section of the parameters, exact version 1.

#include <cstdint>
#include <cstdlib>
#include <sstream>

#include "FuzzParameters.h"
#include "persistence/CollectionPresetLoader.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    static FuzzParameters parameters(24);
    static ParameterCollection section = [] {
        ParameterCollection c(parameters, "BLms");
        c.addRange(5, 17);
        return c;
    }();
    std::istringstream in(std::string(reinterpret_cast<const char*>(data), size));
    BinaryDataReader reader(in);
    CollectionPresetLoader(section, "BLms").load(reader, 1);
    // Outside the section nothing may change.
    for (int i = 0; i < 5; ++i)
        if (parameters.getParameter(i)->value() != parameters.getParameter(i)->defaultValue()) std::abort();
    return 0;
}
