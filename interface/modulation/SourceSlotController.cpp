#include "interface/modulation/SourceSlotController.h"

#include "interface/modulation/SlotInterface.h"
#include "interface/modulation/SourceContainer.h"
#include "interface/modulation/SourceController.h"
#include "interface/modulation/SourceInterface.h"
#include "modulation/ModMatrixParamController.h"

SourceSlotController::SourceSlotController(gui::UserInterface* ui, ModulationMatrixPluginInterface& editor,
                                           SourceController& sources)
    : AbstractSlotController(ui, editor), sources_(sources), rows_(std::size_t(ModulationMatrix::kSlotCount), nullptr) {}

SourceSlotController::~SourceSlotController() {
    if (userInterface()->isDestroying()) return;
    for (SlotInterface*& row : rows_)
        if (row) {
            SlotInterface* r = row;
            row = nullptr;
            delete r;
        }
}

void SourceSlotController::linkRemoved(gui::Component* component) {
    AbstractSlotController::linkRemoved(component);
    for (SlotInterface*& row : rows_)
        if (row == component) row = nullptr;
}

SlotInterface* SourceSlotController::getSlotInterface(int slot) const {
    return slot >= 0 && slot < int(rows_.size()) ? rows_[std::size_t(slot)] : nullptr;
}

int SourceSlotController::slotInterfaceCount() const {
    int n = 0;
    for (SlotInterface* row : rows_)
        if (row) ++n;
    return n;
}

void SourceSlotController::updateSlots(int activeCount, int changedSlot) {
    computeHighlights(activeCount, changedSlot);
    ModMatrixParamController* c = editor_.slotController();
    std::vector<bool> placed(rows_.size(), false);
    for (SourceInterface* panel : sources_.interfaces()) {
        SourceContainer& container = panel->container();
        for (int k = 0; k < panel->sourceCount(); ++k) {
            const int source = panel->firstSource() + k;
            std::vector<SlotInterface*> column;
            for (int slot = 0; c && slot < activeCount && slot < int(rows_.size()); ++slot) {
                if (c->getSource(slot) != source) continue;
                SlotInterface*& row = rows_[std::size_t(slot)];
                if (!row) {
                    row = sources_.factory().createSlotInterface();
                    if (!row) continue;
                    link(row);
                    row->setIndex(slot);
                }
                placed[std::size_t(slot)] = true;
                row->setHighlight(highlightState(slot));
                row->refresh();
                column.push_back(row);
            }
            container.setRows(k, column);
        }
        container.setHighlight(hasFilter() ? (container.hasHighlightedRow() ? Highlighted : Dimmed) : Normal);
    }
    // Rows beyond the count, and rows of slots without a shown source, go.
    for (std::size_t slot = 0; slot < rows_.size(); ++slot) {
        if (placed[slot] || !rows_[slot]) continue;
        SlotInterface* row = rows_[slot];
        rows_[slot] = nullptr;
        delete row;
    }
    sources_.slotsUpdated(activeCount);
}
