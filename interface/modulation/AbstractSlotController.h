#pragma once

#include <vector>

#include "gui/Component.h"
#include "interface/controls/ModulationComponentDisplay.h"
#include "interface/modulation/ModulationMatrixPluginInterface.h"

class SlotInterface;

// What the slot list shows and highlights: the filter (slots of a source range or of a target
// range, or none), the highlight state of every slot, slot creation and removal through the
// parameter-based slot controller, and the mouse-press filter of target controls. [ui]
class AbstractSlotController : public gui::Component,
                               public ModulationMatrixPluginInterface::TargetListener,
                               public ModulationComponentDisplay::TargetFilter {
public:
    enum Highlight { Normal = 0, Highlighted = 1, Dimmed = 2 };

    class Listener {
    public:
        virtual ~Listener() = default;
        virtual void slotsChanged(int activeCount) = 0;
    };

    AbstractSlotController(gui::UserInterface* ui, ModulationMatrixPluginInterface& editor);
    ~AbstractSlotController() override;

    // A press on a target control (not a slot level) shows the slots of its target.
    void targetControlChanged(int parameter, gui::ValueControl* control, int target, int code) override;

    virtual void setSourceFilter(int firstSource, int count);
    void setTargetFilter(int firstTarget, int count) override;
    void clearFilter() override;
    bool isTargetFilter(int firstTarget, int count) const override;
    bool hasFilter() const { return sourceCount_ > 0 || targetCount_ > 0; }

    virtual SlotInterface* getSlotInterface(int slot) const = 0;
    virtual int slotInterfaceCount() const = 0;
    // Clears the slot and every slot modulating its level; the list closes up.
    virtual void removeSlot(int slot);
    void addListener(Listener* listener);
    void removeListener(Listener* listener);
    // Rebuilds the slot views for the active count; changed is the slot whose parameter changed.
    virtual void updateSlots(int activeCount, int changedSlot) = 0;

    // A new slot from the source to the target (-1: none) in one batch: the slot's number, or -1
    // with the message when every slot is in use.
    int createSlot(int source, int target);
    // After a parameter change (-1: everything): the slot views follow when it is a slot parameter.
    void refreshSlots(int parameterIndex);
    // The slot whose parameters hold the index, -1 for the count parameter or any other index.
    int slotOfParameter(int parameterIndex) const;
    int activeSlotCount() const;
    int highlightState(int slot) const;

    ModulationMatrixPluginInterface& editor() const { return editor_; }

protected:
    // The highlight states of the active slots (see Highlight); clears a filter that matches none
    // or not the changed slot.
    void computeHighlights(int activeCount, int changedSlot);
    void refreshAll();

    ModulationMatrixPluginInterface& editor_;
    std::vector<int> states_;

private:
    void targetPressed(void* sender);
    bool slotHighlighted(int slot, int activeCount) const;

    int firstSource_ = -1, sourceCount_ = 0;
    int firstTarget_ = -1, targetCount_ = 0;
    std::vector<Listener*> listeners_;
    std::vector<gui::ValueControl*> pressWatched_;
};
