#include "interface/modulation/ModulationDragStage.h"

#include <algorithm>

#include "gui/Canvas.h"
#include "gui/Timer.h"
#include "gui/UserInterface.h"
#include "interface/modulation/AbstractSlotController.h"
#include "interface/modulation/ModulationDragObject.h"
#include "interface/modulation/ModulationMatrixPluginInterface.h"
#include "interface/modulation/SlotInterface.h"

namespace {
constexpr int kFrameMs = 16;

gui::Point centreOf(const gui::Control& c) {
    return c.toRoot({c.width() / 2, c.height() / 2});
}

gui::Point between(gui::Point a, gui::Point b, float t) {
    return {a.x + int(float(b.x - a.x) * t), a.y + int(float(b.y - a.y) * t)};
}
}  // namespace

ModulationDragStage::ModulationDragStage(gui::UserInterface* ui, ModulationMatrixPluginInterface& editor,
                                         AbstractSlotController& slots)
    : gui::DragStage(ui, editor.dragManager().targets(), editor.dragManager().dragFlag()),
      editor_(editor),
      slots_(slots),
      timer_(ui->createTimer()) {
    timer_->interval = kFrameMs;
    timer_->firedEvent.setOwnerHandler(this, &ModulationDragStage::tick);
}

ModulationDragStage::~ModulationDragStage() {
    if (!userInterface()->isDestroying()) delete timer_;
}

void ModulationDragStage::begin(gui::Control* source, std::unique_ptr<gui::DragObject> object, int flags) {
    if (source) start_ = pointer_ = centreOf(*source);
    gui::DragStage::begin(source, std::move(object), flags);
}

void ModulationDragStage::mouseMove(gui::Point point, int flags) {
    gui::DragStage::mouseMove(point, flags);
    if (animating_) return;
    pointer_ = point;
    invalidateAll();
}

bool ModulationDragStage::targetEvent(int kind, gui::Point point, int flags) {
    if (kind != TargetDrop) return gui::DragStage::targetEvent(kind, point, flags);
    const int hovered = hoveredTarget();
    if (hovered < 0 || hovered >= int(targets().size()) || !targets()[std::size_t(hovered)]) return false;
    auto* object = dynamic_cast<ModulationDragObject*>(dragObject());
    if (!object) return false;
    const int target = editor_.targetOf(targets()[std::size_t(hovered)]);
    if (target < 0) {
        editor_.showMessage(ModulationMatrixPluginInterface::kHoverOnly,
                            GenericPluginInterface::ShowAlways | GenericPluginInterface::FadeOut);
        return false;
    }
    const int slot = slots_.createSlot(object->source(), target);
    if (slot < 0) return false;
    editor_.refreshControls();
    // The new slot's own row: rows follow the slots' sources, so its place in the list is not the
    // row count.
    slot_ = slot;
    pointer_ = centreOf(*targets()[std::size_t(hovered)]);
    animating_ = true;
    animationStart_ = userInterface()->clock().nowMs();
    timer_->running = true;
    return true;
}

void ModulationDragStage::tick(void*) {
    const std::uint32_t elapsed = userInterface()->clock().nowMs() - animationStart_;
    position_ = std::min(3.0f, 3.0f * float(elapsed) / float(kDropAnimationMs));
    invalidateAll();
    if (elapsed < std::uint32_t(kDropAnimationMs)) return;
    timer_->running = false;
    animating_ = false;
    if (closeWanted_) gui::DragStage::close();
}

void ModulationDragStage::close() {
    // The drop's animation runs to its end first.
    if (animating_) {
        closeWanted_ = true;
        return;
    }
    gui::DragStage::close();
}

gui::Point ModulationDragStage::lineEnd() const {
    const int hovered = hoveredTarget();
    if (hovered >= 0 && hovered < int(targets().size()) && targets()[std::size_t(hovered)]) {
        const gui::Control* t = targets()[std::size_t(hovered)];
        for (const gui::DragManager::DragItem& item : editor_.dragManager().dragItems())
            if (item.control == t && !item.hoverOnly) return centreOf(*t);
    }
    return pointer_;
}

const SlotInterface* ModulationDragStage::targetRow() const {
    return slot_ >= 0 ? slots_.getSlotInterface(slot_) : nullptr;
}

gui::Point ModulationDragStage::rowCentre() const {
    const SlotInterface* row = targetRow();
    return row && row->isShowing() ? centreOf(*row) : start_;
}

void ModulationDragStage::paint(gui::Canvas& canvas) {
    gui::DragStage::paint(canvas);
    const gui::Point origin = toRoot({0, 0});
    auto local = [origin](gui::Point p) { return gui::Point{p.x - origin.x, p.y - origin.y}; };
    if (!animating_ && slot_ < 0) {
        canvas.drawLine(local(start_), local(lineEnd()), kLineColour, kLineWidth);
        return;
    }
    // The line breaks at its middle and both halves run into the new row.
    const gui::Point middle = between(start_, pointer_, 0.5f);
    const gui::Point row = rowCentre();
    const float t = std::min(1.0f, position_);
    canvas.drawLine(local(between(start_, row, t)), local(between(middle, row, t)), kLineColour, kLineWidth);
    canvas.drawLine(local(between(pointer_, row, t)), local(between(middle, row, t)), kLineColour, kLineWidth);
}
