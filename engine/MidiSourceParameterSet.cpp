#include "engine/MidiSourceParameterSet.h"

MidiSourceParameterSet::MidiSourceParameterSet(GenericParameterOwner* owner, const std::string& name,
                                               std::string shortName)
    : PluginParameterSet(owner, name),
      input(this, parameterName(" Input")),
      controllerNumber(this, parameterName(" Controller Number")),
      responseCurve(this, parameterName(" Response Curve")),
      shortName_(std::move(shortName)) {}

void MidiSourceParameterSet::configure() {
    input.setIndexRange(0, 5, 0);
    input.setItemNames("Mod Wheel,Pitch Bend,Velocity,Aftertouch,KB Track,Controller");
    input.setHelpText(
        "The Input setting selects the type of MIDI signal that is used to generate a modulation "
        "signal.");
    controllerNumber.setIndexRange(0, 127, 0);
    controllerNumber.setHelpText(
        "The Controller setting specifies the controller number which is used to "
        "generate a modulation signal. It applies when the input is Controller.");
    responseCurve.setIndexRange(0, 5, 0);
    responseCurve.setItemNames("Linear,Exp,Log,Sqr,Sqrt,Sine");
    responseCurve.setHelpText(
        "The Response Curve setting lets you choose a curve that is applied to the incoming "
        "MIDI signal when converting it to a modulation signal.");
}

MidiSourceParameterSetList::MidiSourceParameterSetList(GenericParameterOwner* owner,
                                                       ModulationSlotHooks* hooks)
    : SourceParameterSetList<MidiSourceParameterSet>(owner, "MIDI Sources", hooks, -1, 0, kFirstSource, 1) {
    numActiveParameter().setIndexRange(0, kSets, 0);
    for (int n = 1; n <= kSets; ++n)
        createSet(owner, "MIDI Source " + std::to_string(n), "MS " + std::to_string(n)).configure();
}
