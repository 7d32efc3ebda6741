#pragma once

#include <string>

#include "framework/PluginParameterSet.h"
#include "framework/PropPluginParameter.h"
#include "modulation/MidiModSource.h"
#include "modulation/ModulationLayout.h"
#include "modulation/SourceParameterSetList.h"

// One MIDI modulation source, "MIDI Source n" (short name "MS n" on the editor's buttons).
class MidiSourceParameterSet : public PluginParameterSet {
public:
    MidiSourceParameterSet(GenericParameterOwner* owner, const std::string& name, std::string shortName);
    void configure() override;
    const std::string& shortName() const { return shortName_; }

    PropPluginParameter<MidiModSource::MidiInput> input;
    PropPluginParameter<int> controllerNumber;
    PropPluginParameter<MidiModSource::ResponseCurve> responseCurve;

private:
    std::string shortName_;
};

// "MIDI Sources": up to ten MIDI sources, one source each.
class MidiSourceParameterSetList : public SourceParameterSetList<MidiSourceParameterSet> {
public:
    static constexpr int kSets = modulationlayout::kSourceGroups[modulationlayout::MidiSources].sets;
    static constexpr int kFirstSource = modulationlayout::firstSource(modulationlayout::MidiSources);
    MidiSourceParameterSetList(GenericParameterOwner* owner, ModulationSlotHooks* hooks);
};
