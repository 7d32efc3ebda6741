#include "engine/XYParameterSet.h"

namespace {
const char* kHelp =
    "The XY controller gives you a way to easily control multiple parameters with just one mouse movement. "
    "Connect each axis to any number of targets in the modulation section.";
}

XYParameterSet::XYParameterSet(GenericParameterOwner* owner, const std::string& name)
    : PluginParameterSet(owner, name), hor(this, parameterName(" Hor")), ver(this, parameterName(" Ver")) {}

void XYParameterSet::configure() {
    for (FloatParamPluginParameter* axis : {&hor, &ver}) {
        axis->setRange(-1.0f, 1.0f, 0.0f);
        axis->setValue(0.0f, 0);
        axis->setHelpText(kHelp);
    }
}

XYParameterSetList::XYParameterSetList(GenericParameterOwner* owner, ModulationSlotHooks* hooks)
    : SourceParameterSetList<XYParameterSet>(owner, "XY Controllers", hooks, -1, 0, kFirstSource, kSourcesPerSet) {
    numActiveParameter().setIndexRange(0, kSets, 0);
    for (int n = 1; n <= kSets; ++n) createSet(owner, "XY Controller " + std::to_string(n)).configure();
}
