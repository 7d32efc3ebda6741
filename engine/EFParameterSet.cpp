#include "engine/EFParameterSet.h"

#include "framework/ParameterUnits.h"
#include "framework/Tapers.h"
#include "modulation/ModulationMatrixOwner.h"

EFParameterSet::EFParameterSet(GenericParameterOwner* owner, ModulationMatrixOwner* matrixOwner,
                               const std::string& name, int firstTarget)
    : PluginParameterSet(owner, name),
      input(this, parameterName(" Input")),
      attack(this, parameterName(" Attack"), matrixOwner, firstTarget),
      release(this, parameterName(" Release"), matrixOwner, firstTarget + 1) {}

void EFParameterSet::configure() {
    input.setIndexRange(0, 1, 0);
    input.setItemNames("Normal Input,Side Chain");
    input.setHelpText(
        "The Input setting determines the input audio source which is used to generate the "
        "envelope.");

    attack.setRange(0.0f, 1.0f, 0.0f);
    attack.setTaper(tapers::envelopeTime, tapers::envelopeTimeInverse);
    attack.setEngineRange(0.001f, 1.0f);
    attack.setUnit(&SecParameterUnit::instance());
    attack.setValue(0.0f, 0);
    attack.setHelpText(
        "The Attack knob sets the attack time, which controls how long it takes for the envelope "
        "follower to react to peaks in the audio signal.");

    release.setRange(0.0f, 1.0f, 0.0f);
    release.setTaper(tapers::envelopeTime, tapers::envelopeTimeInverse);
    release.setEngineRange(0.05f, 5.0f);
    release.setUnit(&SecParameterUnit::instance());
    release.setValue(0.0f, 0);
    release.setHelpText(
        "The Release knob controls how long it takes for the envelope follower to decrease its "
        "output level after a peak in the signal.");
}

EFParameterSetList::EFParameterSetList(GenericParameterOwner* owner, ModulationMatrixOwner* matrixOwner)
    : SourceParameterSetList<EFParameterSet>(owner, "EFs", matrixOwner, kFirstTarget,
                                             EFParameterSet::kTargetsPerSet, kFirstSource, 1) {
    numActiveParameter().setIndexRange(0, kSets, 0);
    for (int n = 0; n < kSets; ++n)
        createSet(owner, matrixOwner, "EF " + std::to_string(n + 1),
                  kFirstTarget + n * EFParameterSet::kTargetsPerSet)
            .configure();
}
