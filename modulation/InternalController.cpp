#include "modulation/InternalController.h"

InternalController::InternalController(ModulationMatrix& matrix)
    : ModulationMatrix::Controller(&matrix), records_(matrix) {}

bool InternalController::isBypassed(int slot) {
    return validSlot(slot) && records_.slotRecord(slot).bypassed;
}

bool InternalController::isInverted(int slot) {
    return validSlot(slot) && records_.slotRecord(slot).inverted;
}

float InternalController::getLevel(int slot) {
    if (!validSlot(slot)) return 0.0f;
    int level = records_.slotRecord(slot).levelTarget;
    return ModulationMatrix::validTarget(level) ? records_.targetRecord(level).baseValue : 0.0f;
}

int InternalController::getSource(int slot) {
    return validSlot(slot) ? records_.slotRecord(slot).source : -1;
}

int InternalController::getTarget(int slot) {
    return validSlot(slot) ? records_.slotRecord(slot).target : -1;
}

void InternalController::findSlotsOfSource(int source, std::vector<int>& out) {
    out.clear();
    if (!ModulationMatrix::validSource(source)) return;
    for (const ModulationMatrix::SlotRecord* slot : records_.sourceRecord(source).slots)
        out.push_back(slot->slotNumber);
}

void InternalController::findSlotsOfTarget(int target, std::vector<int>& out) {
    out.clear();
    if (!ModulationMatrix::validTarget(target)) return;
    for (const ModulationMatrix::SlotRecord* slot : records_.targetRecord(target).modulatingSlots)
        out.push_back(slot->slotNumber);
}

void InternalController::setBypassed(int slot, bool bypassed) {
    records_.changeSlotBypassed(slot, bypassed);
}

void InternalController::setInverted(int slot, bool inverted) {
    records_.changeSlotInverted(slot, inverted);
}

void InternalController::setLevel(int slot, float level) {
    if (!validSlot(slot)) return;
    records_.setTargetBaseValue(records_.slotRecord(slot).levelTarget, level);
}

void InternalController::setSource(int slot, int source) {
    records_.changeSlotSource(slot, source);
}

void InternalController::setTarget(int slot, int target) {
    records_.changeSlotTarget(slot, target);
}

void InternalController::visitTarget(int target) {
    if (!ModulationMatrix::validTarget(target) || visitPosition_[std::size_t(target)] >= 0) return;
    visitPosition_[std::size_t(target)] = int(visited_.size());
    visited_.push_back(target);
    for (const ModulationMatrix::SlotRecord* slot : records_.targetRecord(target).modulatingSlots)
        visitSlot(slot->slotNumber);
}
