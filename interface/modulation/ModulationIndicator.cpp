#include "interface/modulation/ModulationIndicator.h"

#include "gui/Bitmap.h"
#include "gui/Canvas.h"
#include "interface/modulation/ModulationArt.h"
#include "interface/modulation/ModulationIndicatorManager.h"

ModulationIndicator::ModulationIndicator(gui::UserInterface* ui, ModulationIndicatorManager& manager,
                                         gui::Control* control, int firstTarget, int targetCount,
                                         const gui::Button::Style* style)
    : gui::Button(ui, style), manager_(&manager), control_(control), firstTarget_(firstTarget), targetCount_(targetCount) {
    hint = kHint;
    doubleClickEnabled = false;
    visible = false;
    setSize(style && style->width > 0 ? style->width : 10, style && style->height > 0 ? style->height : 10);
    link(&manager);
    if (control_) {
        control_->addListener(this);
        parent = control_->parent.get();
    }
    follow();
}

ModulationIndicator::~ModulationIndicator() {
    if (manager_) manager_->indicatorGone(this);
}

void ModulationIndicator::linkRemoved(gui::Component* component) {
    if (component == manager_) manager_ = nullptr;
    if (component == control_) {
        control_ = nullptr;
        visible = false;
    }
    gui::Button::linkRemoved(component);
}

void ModulationIndicator::setTargets(int firstTarget, int targetCount) {
    firstTarget_ = firstTarget;
    targetCount_ = targetCount;
}

void ModulationIndicator::setState(int state) {
    if (state_ == state) return;
    state_ = state;
    follow();
    invalidateAll();
}

void ModulationIndicator::childChanged(gui::Control* source, int kind) {
    gui::Button::childChanged(source, kind);
    if (source == control_ && !following_) follow();
}

void ModulationIndicator::follow() {
    if (!control_ || !manager_) {
        visible = false;
        return;
    }
    following_ = true;
    if (parent.get() != control_->parent.get()) parent = control_->parent.get();
    const gui::Rect c = control_->bounds;
    const ModulationIndicatorManager::Placement& p = manager_->placement();
    const int x = p.horizontal == 0 ? c.left : p.horizontal == 1 ? c.left + (c.width() - width()) / 2 : c.right - width();
    const int y = p.vertical == 0 ? c.top : p.vertical == 1 ? c.top + (c.height() - height()) / 2 : c.bottom - height();
    setPosition({x + p.offsetX, y + p.offsetY});
    visible = control_->visible.get() && state_ != Hidden;
    if (visible.get() && parent.get()) parent.get()->bringToFront(this);
    following_ = false;
}

void ModulationIndicator::clicked() {
    gui::Button::clicked();
    if (manager_) manager_->indicatorClicked(this);
}

void ModulationIndicator::paint(gui::Canvas& canvas) {
    const int opacity = state_ == Selected || !control_ ? 255 : control_->opacity.get();
    const gui::Bitmap* look = ModulationArt::image(state_ == Selected ? "ModulationIndicatorActive" : "ModulationIndicatorNormal");
    if (look) canvas.drawBitmap(*look, localRect(), {0, 0}, opacity);
    if (const gui::Bitmap* overlay = ModulationArt::image("ModulationIndicatorOverlay"))
        canvas.drawBitmap(*overlay, localRect(), {0, 0}, opacity);
}
