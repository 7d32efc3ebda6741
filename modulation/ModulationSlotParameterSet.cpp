#include "modulation/ModulationSlotParameterSet.h"

#include "framework/Tapers.h"
#include "modulation/InternalController.h"
#include "modulation/ModulationMatrix.h"
#include "modulation/ModulationMatrixOwner.h"

template <typename T>
InternalController* ModulationSlotParameterSet::Parameter<T>::controller() const {
    if (!matrixOwner_) return nullptr;
    ModulationMatrix* matrix = matrixOwner_->getMatrix();
    return matrix ? &matrix->internalController() : nullptr;
}

template class ModulationSlotParameterSet::Parameter<bool>;
template class ModulationSlotParameterSet::Parameter<int>;

void ModulationSlotParameterSet::SourceParameter::applyToEngine(float plain) {
    if (InternalController* c = controller()) c->setSource(slot_ - 1, rawOf(plain) - 1);
}

void ModulationSlotParameterSet::BypassParameter::applyToEngine(float plain) {
    if (InternalController* c = controller()) c->setBypassed(slot_ - 1, rawOf(plain) != 0);
}

void ModulationSlotParameterSet::InvertParameter::applyToEngine(float plain) {
    if (InternalController* c = controller()) c->setInverted(slot_ - 1, rawOf(plain) != 0);
}

void ModulationSlotParameterSet::TargetParameter::applyToEngine(float plain) {
    if (InternalController* c = controller()) c->setTarget(slot_ - 1, rawOf(plain) - 1);
}

ModulationSlotParameterSet::ModulationSlotParameterSet(GenericParameterOwner* owner,
                                                       ModulationMatrixOwner* matrixOwner, int slot,
                                                       int levelTarget,
                                                       const std::vector<std::string>* sourceItems,
                                                       const std::vector<std::string>* targetItems)
    : PluginParameterSet(owner, "Slot " + std::to_string(slot)),
      source(this, matrixOwner, slot, "Source"),
      level(this, parameterName(" Level"), matrixOwner, levelTarget),
      bypass(this, matrixOwner, slot, "Bypassed"),
      invert(this, matrixOwner, slot, "Inverted"),
      target(this, matrixOwner, slot, "Target"),
      slot_(slot),
      sourceItems_(sourceItems),
      targetItems_(targetItems) {
    configure();
}

void ModulationSlotParameterSet::configure() {
    source.setIndexRange(0, ModulationMatrix::kSourceCount, 0);
    source.shareItemNames(sourceItems_);

    level.setRange(0.0f, 1.0f, 0.5f);
    level.setTaper(tapers::level, tapers::levelInverse);
    level.setEngineRange(0.0f, 1.0f);
    level.setFormat("%.3f");
    level.setValue(0.5f, 0);

    bypass.setIndexRange(0, 1, 0);
    bypass.setItemNames("Normal,Bypassed");
    invert.setIndexRange(0, 1, 0);
    invert.setItemNames("Normal,Inverted");

    target.setIndexRange(0, ModulationMatrix::kTargetCount, 0);
    target.shareItemNames(targetItems_);
}
