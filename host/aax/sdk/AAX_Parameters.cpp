#include "host/aax/sdk/AAX_Parameters.h"

AAX_IParameter* AAX_CParameterManager::GetParameterByID(const AAX_CParamID& id) const {
    for (const auto& p : parameters_)
        if (p->Identifier() == id) return p.get();
    return nullptr;
}
