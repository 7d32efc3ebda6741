#pragma once

#include <string>

#include "framework/FloatParamPluginParameter.h"
#include "framework/PluginParameterSet.h"
#include "framework/SourceParameterSetList.h"

// One XY controller, "XY Controller n": two axes from -1 to 1 that reach the modulation matrix as
// the sources 2 (n - 1) (horizontal) and 2 (n - 1) + 1 (vertical).
class XYParameterSet : public PluginParameterSet {
public:
    XYParameterSet(GenericParameterOwner* owner, const std::string& name);
    void configure() override;

    FloatParamPluginParameter hor;
    FloatParamPluginParameter ver;
};

// "XY Controllers": up to four XY controllers, each providing two sources from source 0 on.
class XYParameterSetList : public SourceParameterSetList<XYParameterSet> {
public:
    static constexpr int kSets = 4;
    XYParameterSetList(GenericParameterOwner* owner, ModulationSlotHooks* hooks);
};
