#pragma once

#include <string>

#include "framework/FloatParamPluginParameter.h"
#include "framework/PluginParameterSet.h"
#include "modulation/ModulationLayout.h"
#include "modulation/SourceParameterSetList.h"

// One XY controller, "XY Controller n": two axes from -1 to 1 that reach the modulation matrix as
// two sources (horizontal, then vertical).
class XYParameterSet : public PluginParameterSet {
public:
    XYParameterSet(GenericParameterOwner* owner, const std::string& name);
    void configure() override;

    FloatParamPluginParameter hor;
    FloatParamPluginParameter ver;
};

// "XY Controllers": up to four XY controllers, each providing two sources.
class XYParameterSetList : public SourceParameterSetList<XYParameterSet> {
public:
    static constexpr int kSets = modulationlayout::kSourceGroups[modulationlayout::XYSources].sets;
    static constexpr int kFirstSource = modulationlayout::firstSource(modulationlayout::XYSources);
    static constexpr int kSourcesPerSet = modulationlayout::sourcesPerSet(modulationlayout::XYSources);
    XYParameterSetList(GenericParameterOwner* owner, ModulationSlotHooks* hooks);
};
