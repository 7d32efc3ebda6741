#pragma once

#include <string>

#include "framework/FloatParamPluginParameter.h"
#include "framework/LimFloatPropPluginParameter.h"
#include "framework/ParameterSetList.h"
#include "framework/PluginParameterSet.h"
#include "framework/PropPluginParameter.h"
#include "modulation/ModulationLayout.h"
#include "modulation/ModulationTargetParameter.h"
#include "modulation/SourceParameterSetList.h"
#include "modulation/XLFO.h"
#include "modulation/XLFOFreqController.h"

// One XLFO, "XLFO n": its eight settings followed by its step list. The step parameters join this
// set's parameter list (and its group), so one XLFO covers 8 + 1 + 16 x 4 = 73 parameters.
class XLFOParameterSet : public PluginParameterSet {
public:
    static constexpr int kTargetsPerSet = modulationlayout::targetsPerSet(modulationlayout::XLFOTargets);

    // One step, "XLFO n Step k".
    class StepParameterSet : public PluginParameterSet {
    public:
        StepParameterSet(GenericParameterOwner* owner, const std::string& name);
        void configure() override;

        LimFloatPropPluginParameter value;
        LimFloatPropPluginParameter glide;
        PropPluginParameter<XLFO::GlideCurve> glideFunction;
        PropPluginParameter<bool> random;
    };

    // "XLFO n Steps": 1 to 16 active steps, 2 by default.
    class StepParameterSetList : public ParameterSetList<StepParameterSet> {
    public:
        StepParameterSetList(XLFOParameterSet& xlfo);
    };

    // targets: the frequency target; glide and phase offset follow it.
    XLFOParameterSet(GenericParameterOwner* owner, ModulationMatrixOwner* matrixOwner,
                     const std::string& name, int firstTarget);

    void configure() override;
    // Steps register through this set and share its group.
    int registerGroup(const std::string& name) override;

    ModulationTargetParameter frequency;
    FloatParamPluginParameter frequencyOffset;
    LimFloatPropPluginParameter balance;
    ModulationTargetParameter phaseOffset;
    ModulationTargetParameter glide;
    PropPluginParameter<XLFOFreqController::SyncMode> syncMode;
    PropPluginParameter<bool> midiTrigger;
    PropPluginParameter<bool> snap;
    StepParameterSetList steps;
};

// "XLFOs": up to six XLFOs, one source and three targets each.
class XLFOParameterSetList : public SourceParameterSetList<XLFOParameterSet> {
public:
    static constexpr int kSets = modulationlayout::kSourceGroups[modulationlayout::XLFOSources].sets;
    static constexpr int kFirstSource = modulationlayout::firstSource(modulationlayout::XLFOSources);
    static constexpr int kFirstTarget = modulationlayout::firstTarget(modulationlayout::XLFOTargets);
    XLFOParameterSetList(GenericParameterOwner* owner, ModulationMatrixOwner* matrixOwner);
};
