#pragma once

#include "engine/DelayParameterSet.h"
#include "framework/ParameterSetArray.h"

// The two delay sets "Delay 1" and "Delay 2".
class DelayParameterSetArray : public ParameterSetArray<DelayParameterSet> {
public:
    DelayParameterSetArray(GenericParameterOwner* owner, ModulationMatrixOwner* matrixOwner) {
        for (int d = 0; d < 2; ++d) {
            DelayParameterSet& s = createSet(owner, matrixOwner, "Delay " + std::to_string(d + 1),
                                             modulationlayout::target(modulationlayout::DelayTargets, d, 0));
            s.configure();
        }
    }
};
