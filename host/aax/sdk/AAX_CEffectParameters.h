#pragma once

// Base of an effect's parameters object: it owns the host parameters, turns dirty parameters into
// packets for the processing context, answers chunk and custom-data requests, and talks to the host
// through its controller.

#include <atomic>
#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "host/aax/sdk/AAX_Context.h"
#include "host/aax/sdk/AAX_Parameters.h"
#include "host/aax/sdk/AAX_Types.h"

// A stored state chunk.
struct AAX_SPlugInChunk {
    int32_t fSize = 0;  // bytes of fData the chunk claims
    int32_t fVersion = 0;
    AAX_CTypeID fChunkID = 0;
    char fName[32] = {};
    std::vector<uint8_t> fData;
};

// The host's side of an instance.
class AAX_IController {
public:
    virtual ~AAX_IController() = default;
    virtual AAX_Result GetInputStemFormat(AAX_EStemFormat& format) const = 0;
    virtual AAX_Result GetOutputStemFormat(AAX_EStemFormat& format) const = 0;
    virtual AAX_Result GetSampleRate(float& rate) const = 0;
    virtual AAX_Result SetSignalLatency(int32_t samples) = 0;
    // Copies a packet into the data-in port of the instance's context.
    virtual AAX_Result PostPacket(AAX_CFieldIndex port, const void* data, uint32_t size) = 0;
    // The plug-in asks the host to set an automatable value; the host answers, now or later, with
    // UpdateParameterNormalizedValue.
    virtual AAX_Result SetParameterNormalizedValue(const AAX_CParamID& id, double value) = 0;
    virtual const AAX_ITransport* GetTransport() const = 0;
    // An edit of the parameter in the editor begins (touch) and ends (release); in between the host
    // records the values it is sent as one gesture.
    virtual AAX_Result TouchParameter(const AAX_CParamID&) { return AAX_SUCCESS; }
    virtual AAX_Result ReleaseParameter(const AAX_CParamID&) { return AAX_SUCCESS; }
};

class AAX_CEffectParameters {
public:
    virtual ~AAX_CEffectParameters() = default;

    // Host thread: attaches the controller and runs EffectInit.
    AAX_Result Initialize(AAX_IController* controller);
    virtual AAX_Result EffectInit() { return AAX_SUCCESS; }
    // Host thread, before the instance is destroyed: stop whatever runs beside the host's calls.
    virtual AAX_Result Uninitialize() { return AAX_SUCCESS; }

    // Host thread. The base stores the value, marks the parameter's packet dirty and counts it.
    virtual AAX_Result UpdateParameterNormalizedValue(const AAX_CParamID& id, double value, AAX_EUpdateSource source);
    // Host thread: the plug-in's own request for a value, passed to the host.
    AAX_Result SetParameterNormalizedValue(const AAX_CParamID& id, double value);
    // Host thread: the editor's gesture on a parameter, passed to the host.
    AAX_Result TouchParameter(const AAX_CParamID& id);
    AAX_Result ReleaseParameter(const AAX_CParamID& id);
    // Host thread: fills a private-data field before the first render; the base zero-fills it.
    virtual AAX_Result ResetFieldData(AAX_CFieldIndex field, void* data, uint32_t size) const;

    virtual AAX_Result GetNumberOfChunks(int32_t& count) const;
    virtual AAX_Result GetChunkIDFromIndex(int32_t index, AAX_CTypeID& id) const;
    virtual AAX_Result GetChunkSize(AAX_CTypeID id, uint32_t& size) const;
    virtual AAX_Result GetChunk(AAX_CTypeID id, AAX_SPlugInChunk& chunk) const;
    virtual AAX_Result SetChunk(AAX_CTypeID id, const AAX_SPlugInChunk& chunk);
    virtual AAX_Result CompareActiveChunk(const AAX_SPlugInChunk& chunk, bool& isEqual) const;
    virtual AAX_Result GetCustomData(int32_t block, uint32_t size, void* data, uint32_t& written) const;
    // Host's main thread, periodically while the instance lives.
    virtual AAX_Result TimerWakeup() { return AAX_SUCCESS; }

    // Before a render (the host calls it on its render thread): posts the packets of parameters
    // changed since the last call. Never allocates.
    AAX_Result GenerateCoefficients();

    AAX_CParameterManager& parameters() { return parameterManager_; }
    const AAX_CParameterManager& parameters() const { return parameterManager_; }
    AAX_IController* Controller() const { return controller_; }
    const AAX_ITransport* Transport() const { return controller_ ? controller_->GetTransport() : nullptr; }
    int64_t numberOfChanges() const { return changes_.load(); }

protected:
    // A packet that carries one parameter's value to a data-in port; the builder writes its bytes
    // (at most 8) and answers how many.
    static constexpr uint32_t kMaxPacketBytes = 8;
    using PacketBuilder = uint32_t (*)(const AAX_IParameter& parameter, uint8_t (&bytes)[kMaxPacketBytes]);
    void RegisterPacket(const AAX_CParamID& id, AAX_CFieldIndex port, PacketBuilder builder);

    AAX_CParameterManager parameterManager_;

private:
    struct Packet {
        AAX_CParamID id;
        AAX_CFieldIndex port;
        PacketBuilder builder;
        std::unique_ptr<std::atomic<bool>> dirty;
    };
    void markDirty(const AAX_CParamID& id);

    AAX_IController* controller_ = nullptr;
    std::vector<Packet> packets_;
    std::atomic<int64_t> changes_{0};
};
