#include "modulation/ModulationMatrixOwner.h"

#include <cmath>

#include "framework/AbstractParameterSetList.h"
#include "modulation/ModMatrixParamController.h"
#include "modulation/ModulationMatrix.h"
#include "modulation/ModulationSlotParameterSetList.h"

namespace {
constexpr int kEnvelopeFollowerType = 3;
}

ModulationMatrixOwner::ModulationMatrixOwner() = default;

ModulationMatrixOwner::~ModulationMatrixOwner() = default;

ModMatrixParamController& ModulationMatrixOwner::getController() {
    if (!controller_) controller_ = std::make_unique<ModMatrixParamController>(*this);
    // Created before the engine made its matrix, the controller learns of it on the next use.
    if (!controller_->matrix()) controller_->setMatrix(getMatrix());
    return *controller_;
}

void ModulationMatrixOwner::registerTargetParameter(int target, ModulationTargetParameter* parameter) {
    if (target < 0) return;
    if (std::size_t(target) >= targetParameters_.size())
        targetParameters_.resize(std::size_t(target) + 1, nullptr);
    targetParameters_[std::size_t(target)] = parameter;
}

ModulationTargetParameter* ModulationMatrixOwner::targetParameter(int target) const {
    if (target < 0 || std::size_t(target) >= targetParameters_.size()) return nullptr;
    return targetParameters_[std::size_t(target)];
}

// --- slot operations -----------------------------------------------------------------------------

void ModulationMatrixOwner::scaleSlotLevel(int slot, float a, float b) {
    std::vector<bool> seen(ModulationMatrix::kSlotCount, false);
    getController().beginUpdate();
    scaleLevels(slot, a, b, seen);
    getController().endUpdate();
}

void ModulationMatrixOwner::scaleLevels(int slot, float a, float b, std::vector<bool>& seen) {
    // Levels that modulate each other in a circle are scaled once each.
    if (!ModulationMatrix::validSlot(slot) || seen[std::size_t(slot)] || b == 0.0f) return;
    seen[std::size_t(slot)] = true;
    ModMatrixParamController& c = getController();
    c.setLevel(slot, c.getLevel(slot) * a / b);
    std::vector<int> modulators;
    c.findSlotsOfTarget(c.levelTargetOf(slot), modulators);
    for (int m : modulators) scaleLevels(m, a, b, seen);
}

void ModulationMatrixOwner::scaleSlotsForKind(int kind, int source, float a, float b) {
    ModulationMatrix* matrix = getMatrix();
    if (!matrix) return;
    ModMatrixParamController& c = getController();
    std::vector<int> slots;
    c.findSlotsByType(matrix->sourceType(source), kind, slots);
    for (int s : slots)
        if (c.getSource(s) == source) scaleSlotLevel(s, a, b);
}

void ModulationMatrixOwner::scaleSlotsOfTargetFromSource(int target, int source) {
    ModMatrixParamController& c = getController();
    std::vector<int> slots;
    c.findSlotsOfTarget(target, slots);
    for (int s : slots)
        if (c.getSource(s) == source) scaleSlotLevel(s, 4.2f, 1.0f);
}

void ModulationMatrixOwner::halveEnvelopeFollowerSlots(int target) {
    ModulationMatrix* matrix = getMatrix();
    if (!matrix) return;
    ModMatrixParamController& c = getController();
    std::vector<int> slots;
    c.findSlotsOfTarget(target, slots);
    for (int s : slots)
        if (matrix->sourceType(c.getSource(s)) == kEnvelopeFollowerType) scaleSlotLevel(s, 1.0f, 2.0f);
}

int ModulationMatrixOwner::duplicateSlot(int slot, float factor) {
    getController().beginUpdate();
    int d = duplicateInto(slot, factor, 0);
    getController().endUpdate();
    return d;
}

int ModulationMatrixOwner::duplicateInto(int slot, float factor, int depth) {
    // A chain of level modulations is at most as long as there are slots.
    if (!ModulationMatrix::validSlot(slot) || depth >= ModulationMatrix::kSlotCount) return -1;
    ModMatrixParamController& c = getController();
    int d = c.allocateSlot();
    if (d < 0) return -1;
    c.copySlot(slot, d);
    c.setLevel(d, c.getLevel(slot) * std::fabs(factor));
    if (factor < 0.0f) c.setInverted(d, !c.isInverted(slot));
    std::vector<int> modulators;
    c.findSlotsOfTarget(c.levelTargetOf(slot), modulators);
    for (int m : modulators) {
        if (m == d) continue;
        int copy = duplicateInto(m, factor, depth + 1);
        if (copy >= 0) c.setTarget(copy, c.levelTargetOf(d));
    }
    return d;
}

void ModulationMatrixOwner::normalizeSlots(int count) {
    ModMatrixParamController& c = getController();
    c.beginUpdate();
    c.compactSlots();
    c.sortSlots(count, nullptr);
    int used = 0;
    for (int s = 0; s < std::min(count, ModulationMatrix::kSlotCount); ++s)
        if (c.getSource(s) >= 0 || c.getTarget(s) >= 0) ++used;
    if (slotList_) slotList_->numActiveParameter().setValue(float(used), 0);
    c.endUpdate();
}

void ModulationMatrixOwner::removeSourcesWithoutSlots(AbstractParameterSetList& list, int firstSource) {
    ModMatrixParamController& c = getController();
    std::vector<int> slots;
    for (int i = list.activeCount() - 1; i >= list.minimumCount(); --i) {
        c.findSlotsOfSource(firstSource + i, slots);
        if (slots.empty()) list.removeAt(i);
    }
}

void ModulationMatrixOwner::remapSources(const std::vector<int>& table) {
    ModMatrixParamController& c = getController();
    c.beginUpdate();
    for (int s = 0; s < ModulationMatrix::kSlotCount; ++s) {
        int source = c.getSource(s);
        if (source >= 0) c.setSource(s, std::size_t(source) < table.size() ? table[std::size_t(source)] : -1);
    }
    c.endUpdate();
}

void ModulationMatrixOwner::remapTargets(int count, const std::vector<int>& table) {
    ModMatrixParamController& c = getController();
    c.beginUpdate();
    int firstLevel = c.levelTargetOf(0);
    for (int s = 0; s < ModulationMatrix::kSlotCount; ++s) {
        int target = c.getTarget(s);
        if (target < 0) continue;
        if (target < count)
            c.setTarget(s, std::size_t(target) < table.size() ? table[std::size_t(target)] : -1);
        else
            c.setTarget(s, firstLevel + target - count);
    }
    c.endUpdate();
}

// --- slot hooks ----------------------------------------------------------------------------------

void ModulationMatrixOwner::clearSlotsOfTarget(int target, std::vector<int>& cleared) {
    getController().clearSlotsOfTarget(target, cleared);
}

void ModulationMatrixOwner::clearSlotsOfSource(int source, std::vector<int>& cleared) {
    getController().clearSlotsOfSource(source, cleared);
}

void ModulationMatrixOwner::removeSlot(int slot) {
    if (slotList_) slotList_->removeAt(slot);
}

const AbstractParameterSetList* ModulationMatrixOwner::slotList() const {
    return slotList_;
}

int ModulationMatrixOwner::slotCount() const {
    return ModulationMatrix::kSlotCount;
}

int ModulationMatrixOwner::slotSource(int slot) const {
    return const_cast<ModulationMatrixOwner*>(this)->getController().getSource(slot);
}

void ModulationMatrixOwner::setSlotSource(int slot, int source) {
    getController().setSource(slot, source);
}

int ModulationMatrixOwner::slotTarget(int slot) const {
    return const_cast<ModulationMatrixOwner*>(this)->getController().getTarget(slot);
}

void ModulationMatrixOwner::setSlotTarget(int slot, int target) {
    getController().setTarget(slot, target);
}
