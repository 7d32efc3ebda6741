#pragma once

#include <string>

#include "framework/FloatPluginParameter.h"

class ModulationMatrixOwner;

// A continuous parameter that is also a modulation target: its engine value becomes the base value
// of its target, to which the matrix adds the slots that modulate it.
class ModulationTargetParameter : public FloatPluginParameter {
public:
    // Registers itself in the owner's table of target parameters at the target index.
    ModulationTargetParameter(GenericParameterOwner* owner, std::string name,
                              ModulationMatrixOwner* matrixOwner, int target);

    // Audio thread. Never blocks or allocates.
    void applyToEngine(float plain) override;

    // The plain value whose engine value is the given one (the inverse of the engine mapping),
    // clamped to the range.
    float plainForEngineValue(float engine) const;

    ModulationMatrixOwner* matrixOwner() const { return matrixOwner_; }
    int target() const { return target_; }

private:
    ModulationMatrixOwner* matrixOwner_;
    int target_;
};
