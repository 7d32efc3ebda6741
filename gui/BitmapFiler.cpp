#include "gui/BitmapFiler.h"

#include "gui/PNGFiler.h"

namespace gui {

std::vector<BitmapFilerFactory*>& BitmapFilerFactory::factories() {
    // Registered here rather than by a static object, which a static library could drop.
    static PNGFilerFactory png;
    static std::vector<BitmapFilerFactory*> list{&png};
    return list;
}

}  // namespace gui
