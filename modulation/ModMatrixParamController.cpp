#include "modulation/ModMatrixParamController.h"

#include "framework/Tapers.h"
#include "modulation/ModulationMatrixOwner.h"
#include "modulation/ModulationMatrixParameterSet.h"
#include "modulation/ModulationSlotParameterSet.h"
#include "modulation/ModulationSlotParameterSetList.h"

ModMatrixParamController::ModMatrixParamController(ModulationMatrixOwner& owner)
    : ModulationMatrix::Controller(owner.getMatrix()), owner_(owner) {
    // The engine level of a slot level parameter at plain value 0.5.
    ModulationSlotParameterSet* set = slotSet(0);
    defaultLevel = set ? set->level.engineValue(0.5f) : tapers::level(0.5f);
}

ModulationSlotParameterSet* ModMatrixParamController::slotSet(int slot) const {
    ModulationMatrixParameterSet* parameters = owner_.slotParameters();
    if (!parameters || slot < 0 || slot >= parameters->slotSetCount()) return nullptr;
    return &parameters->slotSet(slot);
}

void ModMatrixParamController::beginUpdate() {
    if (ModulationMatrixParameterSet* parameters = owner_.slotParameters())
        parameters->plugin()->beginUpdate();
}

void ModMatrixParamController::endUpdate() {
    if (ModulationMatrixParameterSet* parameters = owner_.slotParameters()) parameters->plugin()->endUpdate();
}

int ModMatrixParamController::allocateSlot() {
    ModulationSlotParameterSetList* list = owner_.slotSetList();
    if (!list) return -1;
    int n = list->activeCount();
    if (n >= list->maximumCount()) return -1;
    list->numActiveParameter().setValue(float(n + 1), 0);
    return n;
}

bool ModMatrixParamController::isBypassed(int slot) {
    ModulationSlotParameterSet* set = slotSet(slot);
    return set && set->bypass.rawValue();
}

bool ModMatrixParamController::isInverted(int slot) {
    ModulationSlotParameterSet* set = slotSet(slot);
    return set && set->invert.rawValue();
}

float ModMatrixParamController::getLevel(int slot) {
    ModulationSlotParameterSet* set = slotSet(slot);
    return set ? set->level.engineValue(set->level.value()) : 0.0f;
}

int ModMatrixParamController::getSource(int slot) {
    ModulationSlotParameterSet* set = slotSet(slot);
    return set ? int(set->source.value()) - 1 : -1;
}

int ModMatrixParamController::getTarget(int slot) {
    ModulationSlotParameterSet* set = slotSet(slot);
    return set ? int(set->target.value()) - 1 : -1;
}

void ModMatrixParamController::setBypassed(int slot, bool bypassed) {
    if (ModulationSlotParameterSet* set = slotSet(slot)) set->bypass.setValue(bypassed ? 1.0f : 0.0f, 0);
}

void ModMatrixParamController::setInverted(int slot, bool inverted) {
    if (ModulationSlotParameterSet* set = slotSet(slot)) set->invert.setValue(inverted ? 1.0f : 0.0f, 0);
}

void ModMatrixParamController::setLevel(int slot, float level) {
    if (ModulationSlotParameterSet* set = slotSet(slot))
        set->level.setValue(set->level.plainForEngineValue(level), 0);
}

void ModMatrixParamController::setSource(int slot, int source) {
    // Anything outside the numbering means no source, never the nearest one.
    if (!ModulationMatrix::validSource(source)) source = -1;
    if (ModulationSlotParameterSet* set = slotSet(slot)) set->source.setValue(float(source + 1), 0);
}

void ModMatrixParamController::setTarget(int slot, int target) {
    if (!ModulationMatrix::validTarget(target)) target = -1;
    if (ModulationSlotParameterSet* set = slotSet(slot)) set->target.setValue(float(target + 1), 0);
}
