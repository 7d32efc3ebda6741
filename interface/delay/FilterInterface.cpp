#include "interface/delay/FilterInterface.h"

#include "engine/LorimanePlugin.h"
#include "gui/Canvas.h"
#include "gui/Image.h"
#include "gui/Knob.h"
#include "gui/SelectButton.h"
#include "gui/ToggleButton.h"
#include "interface/controls/ComponentDisplay.h"
#include "interface/delay/StyleTable.h"
#include "interface/filter/FilterController.h"
#include "interface/sources/SourceArt.h"

namespace {

constexpr gui::Rgba kDisplayGround{22, 25, 30, 255};

}  // namespace

FilterInterface::FilterInterface(gui::UserInterface* ui, ParameterEditor& editor, LorimanePlugin& plugin,
                                 const StyleTable& styles, ComponentDisplay* strip, int component)
    : StripSection(ui, editor, plugin, styles, 0, kWidth), strip_(strip), component_(component) {
    // Panel coordinates: the editor helpers place from the strip's top.
    auto at = [](int x, int y) { return gui::Point{x, y + kStripTop}; };

    display_ = new FilterController(ui, &editor);
    display_->setBounds(0, 0, kWidth, kHeight);
    display_->border = 10;
    display_->maxDotsShown = 2;
    display_->verticalFraction = 0.5f;
    display_->gridColour = gui::Rgba{0, 0, 0, 20};
    display_->activeFill = gui::Rgba{255, 255, 255, 150};
    display_->inactiveFill = gui::Rgba{255, 255, 255, 75};
    display_->lineColour = gui::Rgba{255, 255, 255, 255};
    // The shading fades out above the controls in the panel's lower half.
    display_->fillFadeEnd = 0.6f;
    display_->dotImage = SourceArt::image("DisplayPeak");
    display_->activeDotImage = SourceArt::image("DisplayPeakActive");
    display_->linkImage = SourceArt::image("DisplayMid");
    display_->activeLinkImage = SourceArt::image("DisplayMidActive");
    display_->hint = kHelp;
    for (int f = 0; f < 2; ++f) {
        const FilterParameterSet& set = plugin.filters.set(f);
        display_->addDot(set.freq.index(), set.peak.index(), set.response.index(), set.slope.index(),
                         set.enabled.index(), -1, set.characteristic.index());
    }
    display_->parent = this;
    gui::Point shadowAt = at(0, 0);
    addImage(shadowAt.x, shadowAt.y, "SectionFiltersShadow");

    collapse_ = new gui::Button(ui, styles.button(StyleTable::Hide));
    collapse_->setPosition({4, 10});
    collapse_->hint = "The Hide button closes the filter section.";
    collapse_->clickEvent.addHandler(this, &FilterInterface::collapseClicked);
    collapse_->parent = this;

    std::array<std::array<gui::Knob*, 3>, 2> linked{};
    for (int f = 0; f < 2; ++f) {
        const FilterParameterSet& set = plugin.filters.set(f);
        const int dx = kFilterShift * f;
        auto p = [&](int x, int y) { return at(x + dx, y); };
        gui::Point q = p(6, 138);
        panels_[std::size_t(f)] = addImage(q.x, q.y, "FilterPanel");
        q = p(10, 156);
        addToggle(q.x, q.y, StyleTable::Enable, set.enabled.index(), 18);
        q = p(30, 156);
        addSelect(q.x, q.y, StyleTable::DarkMenu, 108, set.characteristic.index());
        q = p(10, 182);
        linked[std::size_t(f)][0] = addKnob(q.x, q.y, StyleTable::OuterRing, set.pan.index());
        q = p(18, 190);
        linked[std::size_t(f)][1] = frequency_[std::size_t(f)] = addKnob(q.x, q.y, StyleTable::InnerKnob, set.freq.index());
        q = p(68, 176);
        addSelect(q.x, q.y, StyleTable::DarkMenu, 34, set.response.index());
        q = p(104, 176);
        addSelect(q.x, q.y, StyleTable::DarkMenu, 34, set.slope.index());
        q = p(85, 198);
        linked[std::size_t(f)][2] = addKnob(q.x, q.y, StyleTable::NormalKnob, set.peak.index());
        enabled_[std::size_t(f)] = set.enabled.index();
    }
    for (std::size_t k = 0; k < 3; ++k) linked[1][k]->joinGroup(linked[0][k]);
    parameterChanged(-1);
}

void FilterInterface::parameterChanged(int index) {
    display_->refreshDots();
    display_->invalidateAll();
    for (std::size_t f = 0; f < 2; ++f)
        if (index == -1 || index == enabled_[f])
            panels_[f]->opacity = value(enabled_[f]) != 0.0f ? kEnabledPanelAlpha : kDisabledPanelAlpha;
}

void FilterInterface::paint(gui::Canvas& canvas) { canvas.fillRect(localRect(), kDisplayGround); }

void FilterInterface::close() {
    if (strip_ && component_ >= 0) strip_->toggleComponent(component_);
}

void FilterInterface::collapseClicked(void*) { close(); }
