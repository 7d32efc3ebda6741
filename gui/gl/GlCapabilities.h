#pragma once

#include <string>

namespace gui {

class GlContext;

// What the accelerated renderer asks of a context before it is used; anything missing keeps the
// software renderer.
struct GlCapabilities {
    std::string version;
    std::string vendor;
    std::string extensions;
    bool swapControl = false;
    // glActiveTexture, glClientActiveTexture and glMultiTexCoord2f were found.
    bool multitexture = false;

    // With the context current: reads the strings and entry points and turns the swap wait off.
    static GlCapabilities query(GlContext& context);

    // settingFlags: the acceleration setting; bit 0x10 allows vendors the renderer avoids.
    bool sufficient(int settingFlags) const;
    bool hasExtension(const std::string& name) const { return containsWord(extensions, name); }
    // Extension lists are names separated by spaces.
    static bool containsWord(const std::string& list, const std::string& word);
};

}  // namespace gui
