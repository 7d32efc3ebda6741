#include "interface/delay/FilterButton.h"

#include <string>

#include "engine/LorimanePlugin.h"
#include "gui/Canvas.h"
#include "gui/ToggleButton.h"
#include "interface/delay/StyleTable.h"
#include "interface/filter/FilterController.h"
#include "interface/sources/SourceArt.h"

namespace {

constexpr int kCurveBorder = 8;
constexpr int kSwitchMargin = 4;
constexpr int kSwitchSize = 14;

}  // namespace

FilterButton::FilterButton(gui::UserInterface* ui, ParameterEditor& editor, LorimanePlugin& plugin,
                           const StyleTable& styles, ComponentDisplay* display, int component, int filter,
                           gui::DragManager* dragManager)
    : ModulationComponentButton(ui, editor, display, component, dragManager,
                                styles.button(StyleTable::ComponentEnabled)),
      filter_(filter) {
    const FilterParameterSet& set = plugin.filters.set(filter);
    firstParameter_ = set.freq.index();
    lastParameter_ = set.enabled.index();
    enabledParameter_ = set.enabled.index();
    hint = kHelp;

    curve_ = new FilterController(ui, &editor);
    curve_->border = kCurveBorder;
    curve_->gridColour = gui::Rgba{0, 0, 0, 0};
    curve_->lineColour = gui::Rgba{69, 69, 69, 255};
    curve_->activeFill = curve_->inactiveFill = gui::Rgba{SourceArt::kTeal.red, SourceArt::kTeal.green,
                                                          SourceArt::kTeal.blue, 150};
    curve_->interactive = false;
    curve_->addDot(set.freq.index(), set.peak.index(), set.response.index(), set.slope.index(), -1, set.pan.index(),
                   set.characteristic.index());
    curve_->parent = this;
    link(curve_);

    setParameter(Horizontal, set.freq.index());
    setParameter(Vertical, set.peak.index());
    setParameter(AlternateHorizontal, set.pan.index());
    setParameter(AlternateVertical, set.response.index());
    addResetParameter(set.slope.index());
    addResetParameter(set.characteristic.index());
    setEnableParameter(set.enabled.index(), styles.button(StyleTable::Enable));

    title_.text = "FILTER " + std::to_string(filter + 1);
    title_.size = 7;
    title_.bold = true;
    title_.colour = SourceArt::kInkDim;
    resized();
}

void FilterButton::showParameter(int parameter) {
    // Only the filter's own parameters concern the button.
    if (parameter != -1 && (parameter < firstParameter_ || parameter > lastParameter_)) return;
    ModulationComponentButton::showParameter(parameter);
    if (curve_) {
        curve_->refreshDots();
        curve_->opacity = isFaceDisabled() ? kDisabledOpacity : 255;
        curve_->invalidateAll();
    }
}

void FilterButton::resized() {
    ModulationComponentButton::resized();
    if (curve_) curve_->setBounds(0, 0, width(), height());
    if (enableSwitch()) {
        enableSwitch()->setBounds(kSwitchMargin, kSwitchMargin, kSwitchSize, kSwitchSize);
        // Above the curve.
        bringToFront(enableSwitch());
    }
}

void FilterButton::paintFace(gui::Canvas& canvas) {
    title_.maximumWidth = width() - 2 * kSwitchSize;
    canvas.drawText(title_, {width() - 44, 4});
}
