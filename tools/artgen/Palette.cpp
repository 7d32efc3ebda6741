#include "tools/artgen/Palette.h"

#include <cstdlib>

namespace palette {

bool parse(const std::string& text, gui::Rgba& colour) {
    for (const Named& n : kColours)
        if (text == n.name) {
            colour = n.colour;
            return true;
        }
    if (text.size() != 7 && text.size() != 9) return false;
    if (text[0] != '#') return false;
    char* end = nullptr;
    const unsigned long v = std::strtoul(text.c_str() + 1, &end, 16);
    if (*end != '\0') return false;
    if (text.size() == 7)
        colour = {static_cast<uint8_t>(v >> 16), static_cast<uint8_t>(v >> 8), static_cast<uint8_t>(v), 255};
    else
        colour = {static_cast<uint8_t>(v >> 24), static_cast<uint8_t>(v >> 16), static_cast<uint8_t>(v >> 8),
                  static_cast<uint8_t>(v)};
    return true;
}

}  // namespace palette
