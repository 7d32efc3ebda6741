#include "engine/XLFOParameterSet.h"

#include "framework/ParameterUnits.h"
#include "framework/Tapers.h"
#include "modulation/ModulationMatrixOwner.h"

XLFOParameterSet::StepParameterSet::StepParameterSet(GenericParameterOwner* owner, const std::string& name)
    : PluginParameterSet(owner, name),
      value(this, parameterName(" Value")),
      glide(this, parameterName(" Glide")),
      glideFunction(this, parameterName(" Glide function")),
      random(this, parameterName(" Random")) {}

void XLFOParameterSet::StepParameterSet::configure() {
    value.setRange(-1.0f, 1.0f, 0.0f);
    value.setValue(0.0f, 0);
    value.setHelpText(
        "The Value knob in the step interface sets the value of the selected steps. Drag the bars "
        "in the step display to set single steps.");
    glide.setRange(0.0f, 1.0f, 0.0f);
    glide.setValue(0.0f, 0);
    glide.setHelpText(
        "The Glide knob in the step interface sets an additional glide amount for each step. It "
        "adds to the XLFO's own glide.");
    glideFunction.setIndexRange(0, 3, 0);
    glideFunction.setItemNames("Linear,Sqr,Sqrt,Sine");
    glideFunction.setHelpText(
        "The Glide Curve setting selects the curve type that is used to glide from this "
        "step to the next step.");
    random.setIndexRange(0, 1, 0);
    random.setItemNames("Fixed,Random");
    random.setHelpText(
        "The Random switch toggles random mode for this step. A random step draws a new value "
        "each time the cycle reaches it.");
}

XLFOParameterSet::StepParameterSetList::StepParameterSetList(XLFOParameterSet& xlfo)
    : ParameterSetList<StepParameterSet>(&xlfo, xlfo.name() + " Steps") {
    numActiveParameter().setIndexRange(1, XLFO::kMaxSteps, 2);
    for (int k = 1; k <= XLFO::kMaxSteps; ++k) createSet(&xlfo, xlfo.name() + " Step " + std::to_string(k));
}

XLFOParameterSet::XLFOParameterSet(GenericParameterOwner* owner, ModulationMatrixOwner* matrixOwner,
                                   const std::string& name, int firstTarget)
    : PluginParameterSet(owner, name),
      frequency(this, parameterName(" Frequency"), matrixOwner, firstTarget),
      frequencyOffset(this, parameterName(" Frequency Offset")),
      balance(this, parameterName(" Balance")),
      phaseOffset(this, parameterName(" Phase Offset"), matrixOwner, firstTarget + 2),
      glide(this, parameterName(" Glide"), matrixOwner, firstTarget + 1),
      syncMode(this, parameterName(" Sync Mode")),
      midiTrigger(this, parameterName(" MIDI Trigger")),
      snap(this, parameterName(" Snap")),
      steps(*this) {}

int XLFOParameterSet::registerGroup(const std::string&) {
    // Only the steps register through this set; they share its group.
    return groupIndex();
}

void XLFOParameterSet::configure() {
    frequency.setRange(0.0f, 1.0f, 0.0f);
    frequency.setTaper(tapers::steep, tapers::steepInverse);
    frequency.setEngineRange(0.02f, 500.0f);
    frequency.setUnit(&HzParameterUnit::instance());
    // The plain value that gives 1 Hz.
    float oneHertz = frequency.displayToPlain(1.0f);
    frequency.setRange(0.0f, 1.0f, oneHertz);
    frequency.setValue(oneHertz, 0);
    frequency.setHelpText(
        "The Frequency knob sets the speed of the wave form that is produced by the XLFO. In a "
        "synchronised mode the tempo sets the speed instead.");

    frequencyOffset.setRange(-1.0f, 1.0f, 0.0f);
    frequencyOffset.setTaper(tapers::exponentOfTwo, tapers::logarithmOfTwo);
    frequencyOffset.setValue(0.0f, 0);
    frequencyOffset.setHelpText(
        "The Frequency Offset knob adjusts the synchronized frequency (based on the host's "
        "tempo). It runs from half to double speed.");

    balance.setRange(0.0f, 1.0f, 0.5f);
    balance.setValue(0.5f, 0);
    balance.setHelpText(
        "The Balance ring adjusts the balance between the first and the last half of the wave "
        "form. At the centre both halves take equal time.");

    phaseOffset.setRange(0.0f, 1.0f, 0.0f);
    phaseOffset.setValue(0.0f, 0);
    phaseOffset.setHelpText(
        "With the Phase Offset slider, you can specify the point in the curve that is treated "
        "as the starting point. A MIDI trigger restarts the cycle there.");

    glide.setRange(-1.0f, 1.0f, 0.0f);
    glide.setValue(0.0f, 0);
    glide.setHelpText(
        "The Glide knob controls which part of the step is used to glide from the current step's "
        "value to the next step's value.");

    syncMode.setIndexRange(0, XLFOFreqController::SyncModeCount - 1, 0);
    syncMode.setItemNames("Free,16,8,4,2,1,1/2,1/4,1/8,1/16,1/32,1/64");
    syncMode.setHelpText(
        "The Sync setting chooses between arbitrary frequency settings and synchronizing with "
        "the tempo and song position of the plug-in host.");

    midiTrigger.setIndexRange(0, 1, 0);
    midiTrigger.setItemNames("Off,On");
    midiTrigger.setHelpText(
        "The MIDI Trigger toggle button is used to enable the triggering of the LFO by MIDI "
        "note-on messages.");

    snap.setIndexRange(0, 1, 0);
    snap.setItemNames("No Snap,Snap");
    snap.setHelpText(
        "With the XLFO Snap button, you make the XLFO values snap to the keyboard grid that is shown "
        "when you enable it.");

    for (int k = 0; k < steps.getSetCount(); ++k) steps.set(k).configure();
}

XLFOParameterSetList::XLFOParameterSetList(GenericParameterOwner* owner, ModulationMatrixOwner* matrixOwner)
    : SourceParameterSetList<XLFOParameterSet>(owner, "XLFOs", matrixOwner, kFirstTarget,
                                               XLFOParameterSet::kTargetsPerSet, kFirstSource, 1) {
    numActiveParameter().setIndexRange(0, kSets, 0);
    for (int n = 0; n < kSets; ++n)
        createSet(owner, matrixOwner, "XLFO " + std::to_string(n + 1),
                  kFirstTarget + n * XLFOParameterSet::kTargetsPerSet)
            .configure();
}
