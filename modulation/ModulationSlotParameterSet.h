#pragma once

#include <string>
#include <vector>

#include "framework/IndexedPluginParameter.h"
#include "framework/PluginParameterSet.h"
#include "modulation/ModulationTargetParameter.h"

class InternalController;
class ModulationMatrixOwner;

// The five parameters of one modulation slot, "Slot n": source, level, bypass, invert and target.
// Applying them writes the matrix's record of the slot.
class ModulationSlotParameterSet : public PluginParameterSet {
public:
    // An indexed slot parameter: knows the matrix owner and its slot number (from 1).
    template <typename T>
    class Parameter : public IndexedPluginParameter<T> {
    public:
        Parameter(PluginParameterSet* set, ModulationMatrixOwner* matrixOwner, int slot,
                  const std::string& suffix)
            : IndexedPluginParameter<T>(set, set->parameterName(" " + suffix)),
              matrixOwner_(matrixOwner),
              slot_(slot) {}

        ModulationMatrixOwner* matrixOwner() const { return matrixOwner_; }
        int slot() const { return slot_; }

    protected:
        // The matrix's record-based controller; null while there is no matrix.
        InternalController* controller() const;
        int rawOf(float plain) const { return this->rawOfIndex(this->toIndex(plain)); }

        ModulationMatrixOwner* matrixOwner_;
        int slot_;
    };

    // Index 0 is "< Source >" (none), index i is source i - 1.
    class SourceParameter : public Parameter<int> {
    public:
        using Parameter<int>::Parameter;
        // Audio thread. Never blocks or allocates.
        void applyToEngine(float plain) override;
    };

    class BypassParameter : public Parameter<bool> {
    public:
        using Parameter<bool>::Parameter;
        // Audio thread. Never blocks or allocates.
        void applyToEngine(float plain) override;
    };

    class InvertParameter : public Parameter<bool> {
    public:
        using Parameter<bool>::Parameter;
        // Audio thread. Never blocks or allocates.
        void applyToEngine(float plain) override;
    };

    // Index 0 is "< Target >" (none), index i is target i - 1.
    class TargetParameter : public Parameter<int> {
    public:
        using Parameter<int>::Parameter;
        // Audio thread. Never blocks or allocates.
        void applyToEngine(float plain) override;
    };

    // slot counts from 1. The item lists are shared by all slots and not owned.
    ModulationSlotParameterSet(GenericParameterOwner* owner, ModulationMatrixOwner* matrixOwner, int slot,
                               int levelTarget, const std::vector<std::string>* sourceItems,
                               const std::vector<std::string>* targetItems);

    void configure() override;
    int slot() const { return slot_; }

    SourceParameter source;
    ModulationTargetParameter level;
    BypassParameter bypass;
    InvertParameter invert;
    TargetParameter target;

private:
    int slot_;
    const std::vector<std::string>* sourceItems_;
    const std::vector<std::string>* targetItems_;
};
