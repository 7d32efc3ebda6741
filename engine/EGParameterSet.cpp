#include "engine/EGParameterSet.h"

#include "framework/ParameterUnits.h"
#include "framework/Tapers.h"
#include "modulation/ModulationMatrixOwner.h"

namespace {
void configureTime(ModulationTargetParameter& p, FloatPluginParameter::Function taper,
                   FloatPluginParameter::Function inverse, float high, const char* help) {
    p.setRange(0.0f, 1.0f, 0.0f);
    p.setTaper(taper, inverse);
    p.setEngineRange(0.0f, high);
    p.setUnit(&SecParameterUnit::instance());
    p.setValue(0.0f, 0);
    p.setHelpText(help);
}
}  // namespace

EGParameterSet::EGParameterSet(GenericParameterOwner* owner, ModulationMatrixOwner* matrixOwner,
                               const std::string& name, int firstTarget)
    : PluginParameterSet(owner, name),
      hold(this, parameterName(" Hold"), matrixOwner, firstTarget),
      delay(this, parameterName(" Delay"), matrixOwner, firstTarget + 1),
      threshold(this, parameterName(" Threshold")),
      triggering(this, parameterName(" Triggering")),
      attack(this, parameterName(" Attack"), matrixOwner, firstTarget + 2),
      decay(this, parameterName(" Decay"), matrixOwner, firstTarget + 3),
      sustain(this, parameterName(" Sustain"), matrixOwner, firstTarget + 4),
      release(this, parameterName(" Release"), matrixOwner, firstTarget + 5) {}

void EGParameterSet::configure() {
    configureTime(hold, tapers::level, tapers::levelInverse, 19.0f,
                  "The Hold parameter sets the extra time that a key appears to be held down after you have "
                  "released it. With audio triggering it keeps the envelope open between notes.");
    configureTime(delay, tapers::level, tapers::levelInverse, 5.0f,
                  "The Delay parameter delays the start of the envelope after a key has been pressed.");

    threshold.setRange(0.0f, 1.0f, 0.3f);
    threshold.setTaper(tapers::level, tapers::levelInverse);
    threshold.setValue(0.3f, 0);
    threshold.setHelpText(
        "The Threshold knob determines the audio threshold level at which the envelope "
        "generator will start a new envelope.");

    triggering.setIndexRange(0, 2, 0);
    triggering.setItemNames("Normal Input,Side Chain,MIDI");
    triggering.setHelpText(
        "The Trigger setting determines the source that triggers the envelope generator, which "
        "can be either audio (from the normal or side chain input) or MIDI (note on events).");

    configureTime(
        attack, tapers::envelopeTime, tapers::envelopeTimeInverse, 3.0f,
        "The Attack parameter sets the attack time, which controls how long it takes for the signal to "
        "increase when you press a key.");
    configureTime(
        decay, tapers::envelopeTime, tapers::envelopeTimeInverse, 5.0f,
        "The Decay parameter controls how long it takes for the signal to decrease to sustain level, "
        "after the maximum value has been reached at the end of the attack stage.");

    sustain.setRange(0.0f, 1.0f, 1.0f);
    sustain.setUnit(&DBParameterUnit::instance());
    sustain.setDisplayFunctions(tapers::ratioToDecibel, tapers::decibelToRatio);
    sustain.setValue(1.0f, 0);
    sustain.setHelpText(
        "The Sustain parameter sets the level that is produced when both the attack and decay "
        "stages are over, but the key is still held down.");

    configureTime(
        release, tapers::envelopeTime, tapers::envelopeTimeInverse, 5.0f,
        "The Release parameter controls how long it takes for the signal to decrease from the current "
        "level to zero when you release a key and the hold time has elapsed.");
}

EGParameterSetList::EGParameterSetList(GenericParameterOwner* owner, ModulationMatrixOwner* matrixOwner)
    : SourceParameterSetList<EGParameterSet>(owner, "EGs", matrixOwner, kFirstTarget,
                                             EGParameterSet::kTargetsPerSet, kFirstSource, 1) {
    numActiveParameter().setIndexRange(0, kSets, 0);
    for (int n = 0; n < kSets; ++n)
        createSet(owner, matrixOwner, "EG " + std::to_string(n + 1),
                  kFirstTarget + n * EGParameterSet::kTargetsPerSet)
            .configure();
}
