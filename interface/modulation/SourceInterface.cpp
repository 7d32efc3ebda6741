#include "interface/modulation/SourceInterface.h"

#include "gui/Button.h"
#include "interface/modulation/ModulationArt.h"
#include "interface/modulation/SourceContainer.h"
#include "interface/modulation/SourceController.h"
#include "interface/modulation/SourceDragButton.h"
#include "interface/sources/LorimaneSourceInterface.h"

namespace {
constexpr int kTitleButtonY = 0;
}

SourceInterface::SourceInterface(gui::UserInterface* ui, SourceController& controller, LorimaneSourceInterface* panel,
                                 int kind, int sourceCount)
    : gui::Control(ui), controller_(controller), panel_(panel), kind_(kind), sourceCount_(sourceCount) {
    panel_->parent = this;
    const ModulationArt& art = controller_.art();
    for (int i = 0; i < sourceCount_; ++i) {
        auto* b = new SourceDragButton(ui, *this, i, art.drag);
        const char* icon = sourceCount_ == 1 ? "IconSourceDrag" : (i == 0 ? "IconSourceX" : "IconSourceY");
        b->iconOverride[0] = b->iconOverride[1] = ModulationArt::image(icon);
        b->parent = this;
        drag_.push_back(b);
    }
    remove_ = new gui::Button(ui, art.close);
    remove_->iconOverride[0] = remove_->iconOverride[1] = ModulationArt::image("IconCloseSmall");
    remove_->hint = kRemoveHint;
    remove_->clickEvent.setOwnerHandler(this, &SourceInterface::removeClicked);
    remove_->parent = this;
    container_ = new SourceContainer(ui, controller_, sourceCount_, panel_->height());
    container_->parent = this;
    layout();
}

SourceInterface::~SourceInterface() {
    if (isUiDestroying()) return;
    deleteAllChildren();
}

void SourceInterface::setIndex(int set, int firstSource) {
    firstSource_ = firstSource;
    container_->setFirstSource(firstSource);
    if (set == set_) return;
    set_ = set;
    controller_.factory().showSet(*panel_, set);
}

void SourceInterface::refresh() {
    panel_->refresh();
}

void SourceInterface::close() {
    controller_.removeSource(kind_, set_);
}

void SourceInterface::removeClicked(void*) {
    close();
}

void SourceInterface::childChanged(gui::Control* source, int kind) {
    gui::Control::childChanged(source, kind);
    if (!layingOut_ && kind == BoundsChanged && (source == panel_ || source == container_)) layout();
}

void SourceInterface::layout() {
    layingOut_ = true;
    const int panelWidth = panel_->width();
    int x = panelWidth - 4 - remove_->width();
    remove_->setPosition({x, kTitleButtonY + (18 - remove_->height()) / 2});
    for (int i = sourceCount_ - 1; i >= 0; --i) {
        SourceDragButton* b = drag_[std::size_t(i)];
        x -= b->width() + 2;
        b->setPosition({x, kTitleButtonY});
    }
    panel_->setPosition({0, 0});
    container_->setPosition({panelWidth + kGap, 0});
    setSize(panelWidth + kGap + container_->width(), panel_->height());
    layingOut_ = false;
}
