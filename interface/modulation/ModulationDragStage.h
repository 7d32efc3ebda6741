#pragma once

#include <cstdint>

#include "gui/DragStage.h"

class AbstractSlotController;
class ModulationMatrixPluginInterface;
class SlotInterface;

namespace gui {
class Timer;
}

// The drag of a source onto a target: a line from the source's handle to the pointer (snapping to
// the target under it), a new slot on a drop over a target, then a short animation of the line
// into the new slot's row before the stage closes. [ui]
class ModulationDragStage : public gui::DragStage {
public:
    static constexpr int kDropAnimationMs = 500;
    static constexpr gui::Rgba kLineColour{255, 255, 255, 255};
    static constexpr float kLineWidth = 3.0f;

    ModulationDragStage(gui::UserInterface* ui, ModulationMatrixPluginInterface& editor, AbstractSlotController& slots);
    ~ModulationDragStage() override;

    void begin(gui::Control* source, std::unique_ptr<gui::DragObject> object, int flags) override;
    bool targetEvent(int kind, gui::Point point, int flags) override;
    void close() override;
    void mouseMove(gui::Point point, int flags) override;
    void paint(gui::Canvas& canvas) override;

    // The slot the drop created (-1 none) and the drop animation's position (0 to 3).
    int droppedSlot() const { return slot_; }
    float animationPosition() const { return position_; }
    bool animating() const { return animating_; }
    // The row the drop animation runs into: the new slot's own row, none before it exists.
    const SlotInterface* targetRow() const;

private:
    void tick(void*);
    gui::Point lineEnd() const;
    gui::Point rowCentre() const;

    ModulationMatrixPluginInterface& editor_;
    AbstractSlotController& slots_;
    gui::Point start_;
    gui::Point pointer_;
    int slot_ = -1;
    float position_ = 0.0f;
    bool animating_ = false;
    bool closeWanted_ = false;
    std::uint32_t animationStart_ = 0;
    gui::Timer* timer_;
};
