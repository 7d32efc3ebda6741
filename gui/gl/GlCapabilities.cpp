#include "gui/gl/GlCapabilities.h"

#include <GL/gl.h>

#include <algorithm>
#include <cctype>
#include <cstdio>
#include <sstream>

#include "gui/gl/GlContext.h"

namespace gui {

GlCapabilities GlCapabilities::query(GlContext& context) {
    GlCapabilities c;
    auto text = [](GLenum name) {
        const auto* s = reinterpret_cast<const char*>(glGetString(name));
        return std::string(s ? s : "");
    };
    c.version = text(GL_VERSION);
    c.vendor = text(GL_VENDOR);
    c.extensions = text(GL_EXTENSIONS);
    c.swapControl = context.disableSwapWait();
    c.multitexture = context.procAddress("glActiveTexture") && context.procAddress("glClientActiveTexture") &&
                     context.procAddress("glMultiTexCoord2f");
    return c;
}

bool GlCapabilities::containsWord(const std::string& list, const std::string& word) {
    std::istringstream words(list);
    std::string each;
    while (words >> each)
        if (each == word) return true;
    return false;
}

bool GlCapabilities::sufficient(int settingFlags) const {
    if (!swapControl || !multitexture) return false;
    int major = 0, minor = 0;
    if (std::sscanf(version.c_str(), "%d.%d", &major, &minor) != 2) return false;
    if (major < 1 || (major == 1 && minor < 3)) return false;
    if (!hasExtension("GL_ARB_texture_non_power_of_two")) return false;
    std::string upper = vendor;
    std::transform(upper.begin(), upper.end(), upper.begin(), [](unsigned char ch) { return std::toupper(ch); });
    if (upper.find("MATROX") != std::string::npos && !(settingFlags & 0x10)) return false;
    return true;
}

}  // namespace gui
