#pragma once

#include <vector>

#include "interface/modulation/AbstractSlotController.h"

class SourceController;

// The slot list of the source strip: a row for every active slot whose source has a panel, in the
// container of that source, in slot order. Rows are kept per slot and reused. [ui]
class SourceSlotController : public AbstractSlotController {
public:
    SourceSlotController(gui::UserInterface* ui, ModulationMatrixPluginInterface& editor, SourceController& sources);
    ~SourceSlotController() override;

    // The source strip filters by target only.
    void setSourceFilter(int, int) override {}
    SlotInterface* getSlotInterface(int slot) const override;
    int slotInterfaceCount() const override;
    void updateSlots(int activeCount, int changedSlot) override;
    void linkRemoved(gui::Component* component) override;

private:
    SourceController& sources_;
    std::vector<SlotInterface*> rows_;
};
