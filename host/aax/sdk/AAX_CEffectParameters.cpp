#include "host/aax/sdk/AAX_CEffectParameters.h"

#include <cstring>

AAX_Result AAX_CEffectParameters::Initialize(AAX_IController* controller) {
    if (!controller) return AAX_ERROR_NULL_OBJECT;
    controller_ = controller;
    return EffectInit();
}

AAX_Result AAX_CEffectParameters::UpdateParameterNormalizedValue(const AAX_CParamID& id, double value,
                                                                 AAX_EUpdateSource) {
    AAX_IParameter* p = parameterManager_.GetParameterByID(id);
    if (!p) return AAX_ERROR_INVALID_PARAMETER_ID;
    p->SetNormalizedValue(value);
    markDirty(id);
    changes_.fetch_add(1);
    return AAX_SUCCESS;
}

AAX_Result AAX_CEffectParameters::SetParameterNormalizedValue(const AAX_CParamID& id, double value) {
    if (!parameterManager_.GetParameterByID(id)) return AAX_ERROR_INVALID_PARAMETER_ID;
    if (!controller_) return AAX_ERROR_NULL_OBJECT;
    return controller_->SetParameterNormalizedValue(id, value);
}

AAX_Result AAX_CEffectParameters::TouchParameter(const AAX_CParamID& id) {
    if (!parameterManager_.GetParameterByID(id)) return AAX_ERROR_INVALID_PARAMETER_ID;
    if (!controller_) return AAX_ERROR_NULL_OBJECT;
    return controller_->TouchParameter(id);
}

AAX_Result AAX_CEffectParameters::ReleaseParameter(const AAX_CParamID& id) {
    if (!parameterManager_.GetParameterByID(id)) return AAX_ERROR_INVALID_PARAMETER_ID;
    if (!controller_) return AAX_ERROR_NULL_OBJECT;
    return controller_->ReleaseParameter(id);
}

AAX_Result AAX_CEffectParameters::ResetFieldData(AAX_CFieldIndex, void* data, uint32_t size) const {
    if (data) std::memset(data, 0, size);
    return AAX_SUCCESS;
}

AAX_Result AAX_CEffectParameters::GetNumberOfChunks(int32_t& count) const {
    count = 0;
    return AAX_SUCCESS;
}

AAX_Result AAX_CEffectParameters::GetChunkIDFromIndex(int32_t, AAX_CTypeID& id) const {
    id = 0;
    return AAX_ERROR_INVALID_CHUNK_INDEX;
}

AAX_Result AAX_CEffectParameters::GetChunkSize(AAX_CTypeID, uint32_t& size) const {
    size = 0;
    return AAX_ERROR_INVALID_CHUNK_ID;
}

AAX_Result AAX_CEffectParameters::GetChunk(AAX_CTypeID, AAX_SPlugInChunk&) const { return AAX_ERROR_INVALID_CHUNK_ID; }

AAX_Result AAX_CEffectParameters::SetChunk(AAX_CTypeID, const AAX_SPlugInChunk&) { return AAX_ERROR_INVALID_CHUNK_ID; }

AAX_Result AAX_CEffectParameters::CompareActiveChunk(const AAX_SPlugInChunk&, bool& isEqual) const {
    isEqual = true;
    return AAX_SUCCESS;
}

AAX_Result AAX_CEffectParameters::GetCustomData(int32_t, uint32_t, void*, uint32_t& written) const {
    written = 0;
    return AAX_ERROR_UNIMPLEMENTED;
}

void AAX_CEffectParameters::RegisterPacket(const AAX_CParamID& id, AAX_CFieldIndex port, PacketBuilder builder) {
    packets_.push_back({id, port, builder, std::make_unique<std::atomic<bool>>(true)});
}

void AAX_CEffectParameters::markDirty(const AAX_CParamID& id) {
    for (Packet& p : packets_)
        if (p.id == id) p.dirty->store(true);
}

AAX_Result AAX_CEffectParameters::GenerateCoefficients() {
    if (!controller_) return AAX_ERROR_NULL_OBJECT;
    for (Packet& p : packets_) {
        if (!p.dirty->exchange(false)) continue;
        const AAX_IParameter* parameter = parameterManager_.GetParameterByID(p.id);
        if (!parameter) continue;
        uint8_t bytes[kMaxPacketBytes];
        uint32_t size = p.builder(*parameter, bytes);
        AAX_Result r = controller_->PostPacket(p.port, bytes, size);
        if (r != AAX_SUCCESS) return r;
    }
    return AAX_SUCCESS;
}
