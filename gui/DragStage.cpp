#include "gui/DragStage.h"

#include <algorithm>

#include "gui/RootControl.h"
#include "gui/Timer.h"
#include "gui/UserInterface.h"

namespace gui {

DragStage::DragStage(UserInterface* ui, std::vector<Control*> targets, bool* dragFlag)
    : Overlay(ui), targets_(std::move(targets)), dragFlag_(dragFlag), dwellTimer_(ui->createTimer()) {
    doubleClickEnabled = false;
    dwellTimer_->interval = kDwellMs;
    dwellTimer_->firedEvent.setOwnerHandler(this, &DragStage::dwelled);
    for (Control* t : targets_) link(t);
}

DragStage::~DragStage() {
    if (finished_ == Running && dragFlag_) *dragFlag_ = false;
    UserInterface* ui = userInterface();
    if (!ui->isDestroying()) delete dwellTimer_;
}

void DragStage::linkRemoved(Component* component) {
    Overlay::linkRemoved(component);
    std::replace(targets_.begin(), targets_.end(), static_cast<Control*>(component),
                 static_cast<Control*>(nullptr));
    if (component == source_) source_ = nullptr;
}

Control* DragStage::hoveredControl() const {
    return hovered_ >= 0 && hovered_ < static_cast<int>(targets_.size()) ? targets_[hovered_] : nullptr;
}

int DragStage::highlightState(int index) const {
    return index == hovered_ ? 2 : 1;
}

void DragStage::collectTargets() {
    for (Control* t : targets_) {
        if (!t) continue;
        addHighlight(t);
        t->dragStateChanged(DragStarted);
    }
}

void DragStage::begin(Control* source, std::unique_ptr<DragObject> object, int) {
    if (dragFlag_) *dragFlag_ = true;
    source_ = source;
    if (source_) link(source_);
    object_ = std::move(object);
    collectTargets();
    show();
    // End the source's press without a click, then take the mouse with a press of our own.
    const Point outside{-1, -1};
    if (source_) {
        Control* child = source_->captureState() == NoCapture ? source_->childAt(outside) : nullptr;
        if (child) {
            child->mouseUp(0, outside - child->bounds.get().topLeft(), 0);
        } else {
            releaseCaptureThroughRoot();
            source_->mouseUp(0, outside, 0);
        }
    }
    if (RootControl* r = root()) r->dispatchMouseDown(0, {0, 0}, 0);
}

bool DragStage::targetEvent(int kind, Point, int) {
    Control* target = hoveredControl();
    switch (kind) {
        case TargetEntered:
            if (target) {
                target->dragStateChanged(DragEntered);
                target->invalidateAll();
            }
            dwellTimer_->running = true;
            return true;
        case TargetLeft:
            if (target) {
                target->dragStateChanged(DragLeft);
                target->invalidateAll();
            }
            dwellTimer_->running = false;
            return true;
        default:
            return false;
    }
}

void DragStage::mouseMove(Point point, int flags) {
    Overlay::mouseMove(point, flags);
    if (finished_ != Running) return;
    const int target = targetAt(point);
    if (target == hovered_) return;
    if (hovered_ >= 0) targetEvent(TargetLeft, point, flags);
    hovered_ = target;
    if (hovered_ >= 0) targetEvent(TargetEntered, point, flags);
}

void DragStage::dwelled(void*) {
    dwellTimer_->running = false;
    if (Control* target = hoveredControl()) target->dragStateChanged(DragDwelled);
}

void DragStage::mouseUp(int, Point point, int flags) {
    if (finished_ != Running) return;
    const bool accepted = targetEvent(TargetDrop, point, flags);
    finished_ = accepted ? Dropped : Cancelled;
    if (dragFlag_) *dragFlag_ = false;
    dwellTimer_->running = false;
    for (Control* t : targets_)
        if (t) t->dragStateChanged(DragEnded);
    close();
}

void DragStage::close() {
    userInterface()->postDeferred(this, 0, 0);
}

}  // namespace gui
