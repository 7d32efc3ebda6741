#include "interface/modulation/XYSourceInterface.h"

#include "gui/Bitmap.h"
#include "gui/UserInterface.h"
#include "interface/controls/XYControllerButton.h"
#include "interface/sources/ParameterWatcher.h"
#include "interface/sources/SourceArt.h"

namespace {
constexpr int kPadSize = 80;
}

XYSourceInterface::XYSourceInterface(gui::UserInterface* ui, ParameterEditor& editor, const SourceLayout& layout)
    : LorimaneSourceInterface(ui, editor, layout, SourceLayout::XYKind) {
    style_ = new gui::Button::Style(ui);
    gui::Button::Style& style = *style_;
    style.background[0] = SourceArt::image("ButtonXYNormal");
    style.background[1] = SourceArt::image("ButtonXYActive");
    style.background[2] = SourceArt::image("ButtonXYDown");
    style.width = style.height = kPadSize;
    pad_ = new XYControllerButton(ui, editor, &style);
    pad_->marker = SourceArt::image("XYMarker");
    pad_->hint = kPadHint;
    pad_->setBounds((kWidth - kPadSize) / 2, kTitleHeight + (kHeight - kTitleHeight - kPadSize) / 2, kPadSize, kPadSize);
    pad_->setPad(gui::Rect::ofSize(6, 6, kPadSize - 12, kPadSize - 12));
    pad_->parent = this;
    for (auto& w : watchers_) {
        w = new ParameterWatcher(ui, [this] { pad_->invalidateAll(); });
        w->parent = this;
    }
    setSize(kWidth, kHeight);
}

XYSourceInterface::~XYSourceInterface() {
    // The pad draws with the style until it goes with the panel's children.
    if (isUiDestroying()) return;
    releaseBindings();
    deleteAllChildren();
    delete style_;
}

void XYSourceInterface::bindSet(int set) {
    const SourceLayout::XY& xy = layout_.xy(set);
    pad_->setAxes(xy.horizontal, xy.vertical);
    bindParameter(xy.horizontal, watchers_[0]);
    bindParameter(xy.vertical, watchers_[1]);
}
