#include "interface/delay/FilterLinkGhost.h"

#include "interface/filter/FilterController.h"

namespace {

constexpr int kLabelWidth = 30;
constexpr int kLabelHeight = 16;
constexpr int kGap = 9;

}  // namespace

FilterLinkGhost::FilterLinkGhost(const FilterController& display, int parameterNumber, int side)
    : display_(display), parameterNumber_(parameterNumber), side_(side) {}

gui::Rect FilterLinkGhost::labelRect() const {
    const gui::Point at = display_.toRoot(display_.linkPoint());
    const int x = side_ < 0 ? at.x - kGap - kLabelWidth : at.x + kGap;
    return gui::Rect::ofSize(x, at.y - kLabelHeight / 2, kLabelWidth, kLabelHeight);
}
