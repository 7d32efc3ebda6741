// The value-control gallery in a real window, to try the controls with a mouse.

#include <memory>

#include "HostedTree.h"
#include "tools/toolkit-demo/Gallery.h"

namespace {

HostedTreeRegistration gallery({"gallery", "one of each value control: knobs, sliders, switches, buttons, a scroll strip",
                                Gallery::kWidth, Gallery::kHeight,
                                [](gui::WindowInterface& ui) { return std::make_shared<Gallery>(ui); }});

}  // namespace
