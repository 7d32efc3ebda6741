#pragma once

#include "engine/FilterParameterSet.h"
#include "framework/ParameterSetArray.h"

// The two filter sets "Filter 1" and "Filter 2".
class FilterParameterSetArray : public ParameterSetArray<FilterParameterSet> {
public:
    FilterParameterSetArray(GenericParameterOwner* owner, ModulationMatrixOwner* matrixOwner) {
        for (int f = 0; f < 2; ++f) {
            FilterParameterSet& s =
                createSet(owner, matrixOwner, "Filter " + std::to_string(f + 1),
                          FilterParameterSet::kFirstTarget + f * FilterParameterSet::kTargetsPerSet);
            s.configure();
        }
    }
};
