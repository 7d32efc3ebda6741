#pragma once

#include <vector>

#include "framework/AbstractPluginParameter.h"
#include "framework/PluginParameterSet.h"

// A fixed number of parameter sets of one kind. It knows the range of global indices its sets cover,
// which section presets and component menus use.
class AbstractParameterSetArray {
public:
    AbstractParameterSetArray() = default;
    AbstractParameterSetArray(const AbstractParameterSetArray&) = delete;
    AbstractParameterSetArray& operator=(const AbstractParameterSetArray&) = delete;

    // Appends the parameters of every set, set by set.
    virtual void collectParameters(std::vector<AbstractPluginParameter*>& collection);
    // True when the array covers any parameter and the index is -1 or lies between the first and the
    // last covered index.
    virtual bool containsParameter(int index);
    virtual int getSetCount() = 0;
    virtual PluginParameterSet* getSet(int i) = 0;
    // UI thread.
    virtual void resetToDefaults();
    // Global index of the first covered parameter, -1 when there is none.
    virtual int firstParameterIndex();
    virtual ~AbstractParameterSetArray() = default;

    // Global index of the last parameter of the last set, -1 when there is none.
    int lastParameterIndex();
};
