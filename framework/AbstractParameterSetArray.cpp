#include "framework/AbstractParameterSetArray.h"

void AbstractParameterSetArray::collectParameters(std::vector<AbstractPluginParameter*>& collection) {
    for (int i = 0; i < getSetCount(); ++i) getSet(i)->appendParametersTo(collection);
}

bool AbstractParameterSetArray::containsParameter(int index) {
    int first = firstParameterIndex();
    int last = lastParameterIndex();
    if (first < 0 || last < 0) return false;
    return index == -1 || (index >= first && index <= last);
}

void AbstractParameterSetArray::resetToDefaults() {
    for (int i = 0; i < getSetCount(); ++i) getSet(i)->resetToDefaults();
}

int AbstractParameterSetArray::firstParameterIndex() {
    for (int i = 0; i < getSetCount(); ++i) {
        PluginParameterSet* set = getSet(i);
        if (set->getParameterCount() > 0) return set->getParameter(0)->index();
    }
    return -1;
}

int AbstractParameterSetArray::lastParameterIndex() {
    for (int i = getSetCount() - 1; i >= 0; --i) {
        PluginParameterSet* set = getSet(i);
        if (set->getParameterCount() > 0) return set->getParameter(set->getParameterCount() - 1)->index();
    }
    return -1;
}
