#pragma once

#include <string>

#include "gui/Rgba.h"

// The one palette every image draws from: slate surfaces lit from above, light ink, an amber
// accent for what is on or active and a teal second accent for modulation.
namespace palette {

struct Named {
    const char* name;
    gui::Rgba colour;
};

inline constexpr Named kColours[] = {
    {"slate0", {30, 33, 38, 255}},                                      // deepest background
    {"slate1", {40, 44, 50, 255}},                                      // background
    {"slate2", {52, 57, 64, 255}},                                      // panels
    {"slate3", {66, 72, 80, 255}},                                      // raised surfaces
    {"slate4", {88, 95, 104, 255}},                                     // button faces
    {"slate5", {112, 119, 128, 255}},                                   // lit button faces
    {"edge", {140, 147, 156, 255}},                                     // lit edges
    {"ink", {226, 229, 233, 255}},                                      // icons and text on dark
    {"inkdim", {150, 156, 164, 255}},                                   // inactive icons
    {"inkdark", {34, 37, 42, 255}},                                     // icons on light faces
    {"accent", {242, 164, 52, 255}},                                    // on, active
    {"accentdim", {150, 104, 40, 255}}, {"teal", {72, 192, 204, 255}},  // modulation
    {"tealdim", {44, 112, 120, 255}},   {"warn", {226, 78, 62, 255}},  {"grid", {255, 255, 255, 24}},
    {"shade", {0, 0, 0, 110}},          {"clear", {0, 0, 0, 0}},       {"white", {255, 255, 255, 255}},
    {"black", {0, 0, 0, 255}},
};

// A palette name, or #RRGGBB / #RRGGBBAA. False when neither.
bool parse(const std::string& text, gui::Rgba& colour);

}  // namespace palette
