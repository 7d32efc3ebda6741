#pragma once

#include <memory>
#include <string>
#include <vector>

#include "modulation/ModulationSlotParameterSet.h"

class GenericParameterOwner;
class ModulationMatrixOwner;

// The 24 slot parameter sets and the two item lists their source and target selectors share.
class ModulationMatrixParameterSet {
public:
    static constexpr int kFirstSlotTarget = 83;
    static constexpr int kSlotSetCount = 24;

    // sourceNames and targetNames are comma-separated, in numbering order, without the "none" item.
    // The plug-in owns the slots' parameters and their batches.
    ModulationMatrixParameterSet(ModulationMatrixOwner* owner, GenericParameterOwner* plugin,
                                 const std::string& sourceNames, const std::string& targetNames);
    virtual ~ModulationMatrixParameterSet();
    ModulationMatrixParameterSet(const ModulationMatrixParameterSet&) = delete;
    ModulationMatrixParameterSet& operator=(const ModulationMatrixParameterSet&) = delete;

    int firstSlotTarget() const { return firstSlotTarget_; }
    ModulationMatrixOwner* matrixOwner() const { return owner_; }
    GenericParameterOwner* plugin() const { return plugin_; }
    int slotSetCount() const { return int(slots_.size()); }
    ModulationSlotParameterSet& slotSet(int i) { return *slots_[std::size_t(i)]; }
    const std::vector<std::string>& sourceItems() const { return sourceItems_; }
    const std::vector<std::string>& targetItems() const { return targetItems_; }

private:
    int firstSlotTarget_ = kFirstSlotTarget;
    ModulationMatrixOwner* owner_;
    GenericParameterOwner* plugin_;
    std::vector<std::unique_ptr<ModulationSlotParameterSet>> slots_;
    std::vector<std::string> sourceItems_;
    std::vector<std::string> targetItems_;
};
