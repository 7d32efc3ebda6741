#include "framework/StateList.h"

#include <algorithm>
#include <cmath>

#include "core/FloatEpsilon.h"
#include "framework/AbstractPluginParameter.h"
#include "framework/CompareStates.h"
#include "framework/StateListOwner.h"

StateList::StateList(StateListOwner& owner, int size)
    : owner_(owner), records_(std::size_t(std::max(size, 0))) {}

void StateList::captureState(Record& record) {
    owner_.readPresetState(record.presetName, record.presetPath, record.modified);
    CompareStates* compare = owner_.compareStates();
    record.compareIndex = compare ? compare->currentIndex() : 0;
    GenericParameterOwner& parameters = owner_.stateParameters();
    int count = parameters.getParameterCount();
    record.values.resize(std::size_t(count));
    for (int i = 0; i < count; ++i) record.values[std::size_t(i)] = parameters.getParameter(i)->value();
    record.captured = true;
}

void StateList::restoreState(const Record& record) {
    if (!record.captured) return;
    GenericParameterOwner& parameters = owner_.stateParameters();
    int count = std::min(int(record.values.size()), parameters.getParameterCount());
    parameters.beginUpdate();
    for (int i = 0; i < count; ++i) parameters.getParameter(i)->setValue(record.values[std::size_t(i)], 0);
    owner_.pushResetMarker();
    parameters.endUpdate();

    std::string name, path;
    bool modified = false;
    owner_.readPresetState(name, path, modified);
    owner_.writePresetState(record.presetName, record.presetPath, record.modified);
    if (path != record.presetPath) owner_.presetRestored();
}

bool StateList::statesEqual(const Record& record) {
    GenericParameterOwner& parameters = owner_.stateParameters();
    int count = parameters.getParameterCount();
    if (int(record.values.size()) != count) return false;
    for (int i = 0; i < count; ++i)
        if (std::fabs(parameters.getParameter(i)->value() - record.values[std::size_t(i)]) > kFloatEpsilon)
            return false;
    return true;
}
