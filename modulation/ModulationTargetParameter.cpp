#include "modulation/ModulationTargetParameter.h"

#include <algorithm>
#include <cmath>

#include "modulation/ModulationMatrix.h"
#include "modulation/ModulationMatrixOwner.h"

ModulationTargetParameter::ModulationTargetParameter(GenericParameterOwner* owner, std::string name,
                                                     ModulationMatrixOwner* matrixOwner, int target)
    : FloatPluginParameter(owner, std::move(name)), matrixOwner_(matrixOwner), target_(target) {
    if (matrixOwner_) matrixOwner_->registerTargetParameter(target_, this);
}

void ModulationTargetParameter::applyToEngine(float plain) {
    if (!matrixOwner_) return;
    if (ModulationMatrix* matrix = matrixOwner_->getMatrix())
        matrix->setTargetBaseValue(target_, engineValue(plain));
}

float ModulationTargetParameter::plainForEngineValue(float engine) const {
    float plain = taperInverse_((engine - engineOffset_) / engineScale_);
    if (std::isnan(plain)) return minimum_;
    return std::clamp(plain, std::min(minimum_, maximum_), std::max(minimum_, maximum_));
}
