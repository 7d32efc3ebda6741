#pragma once

#include <array>
#include <atomic>
#include <memory>
#include <string>

#include "framework/GenericPlugin.h"
#include "framework/PluginWorker.h"
#include "host/aax/sdk/AAX_CChunkDataParser.h"
#include "host/aax/sdk/AAX_CEffectParameters.h"
#include "host/aax/sdk/AAX_Descriptors.h"

// Converts between a host parameter's real value and the plug-in parameter it mirrors.
template <typename T>
class ParamTaperDelegate : public AAX_ITaperDelegate<T> {
public:
    explicit ParamTaperDelegate(AbstractPluginParameter& parameter) : parameter_(parameter) {}
    T GetMaximumValue() const override { return parameter_.maxValue(); }
    T GetMinimumValue() const override { return parameter_.minValue(); }
    T ConstrainRealValue(T v) const override { return std::clamp(v, GetMinimumValue(), GetMaximumValue()); }
    T NormalizedToReal(double n) const override { return parameter_.normalizedToPlain(static_cast<float>(n)); }
    double RealToNormalized(T v) const override { return parameter_.plainToNormalized(v); }

private:
    AbstractPluginParameter& parameter_;
};

// Texts of a host parameter from the plug-in parameter. An indexed parameter's host value is its
// offset from the parameter's minimum.
template <typename T>
class ParamDisplayDelegate : public AAX_IDisplayDelegate<T> {
public:
    explicit ParamDisplayDelegate(AbstractPluginParameter& parameter) : parameter_(parameter) {}
    bool ValueToString(T v, std::string& text) const override {
        text = parameter_.plainToText(static_cast<float>(v) + offset());
        return true;
    }
    bool StringToValue(const std::string& text, T& v) const override {
        float plain;
        if (!parameter_.textToPlain(text, plain)) return false;
        v = static_cast<T>(plain - offset());
        return true;
    }

private:
    float offset() const { return std::is_integral_v<T> ? parameter_.minValue() : 0.0f; }
    AbstractPluginParameter& parameter_;
};

// The parameters object of one instance: owns the plug-in object, mirrors every plug-in parameter as
// a host parameter, exchanges the state chunks and carries each render call into the plug-in.
class AaxPluginAdapter : public AAX_CEffectParameters {
public:
    using PluginFactory = std::unique_ptr<GenericPlugin> (*)();

    // Fields of the processing context.
    enum Field : AAX_CFieldIndex {
        kBypassPort = 0,
        kAdapterPort = 1,
        kAudioIn = 2,
        kAudioOut = 3,
        kBufferLength = 4,
        kSideChainIn = 5,
        kSampleRate = 6,
        kMidiInput = 7,
        kMidiTransport = 8,
        kResetRequest = 9,
    };

    static constexpr AAX_CTypeID kControlsChunk = AAX_FourChar("elck");
    static constexpr AAX_CTypeID kPresetNameChunk = AAX_FourChar("BXPr");
    static constexpr uint32_t kPresetNameChunkSize = 124;
    static constexpr int kPresetNameBytes = 64;
    static constexpr int kContinuousSteps = 36000;
    static constexpr const char* kMasterBypassID = "MasterBypassID";

    // The product registers how its plug-in object is made; set once when the library loads.
    static void setPluginFactory(PluginFactory factory);
    static PluginFactory pluginFactory();

    // The host's calls below are [ui] unless tagged otherwise: its main thread or its automation
    // thread, never the render callback.
    AaxPluginAdapter();
    ~AaxPluginAdapter() override;

    AAX_Result EffectInit() override;
    // Stops the instance's own thread, which calls into the host.
    AAX_Result Uninitialize() override;
    AAX_Result UpdateParameterNormalizedValue(const AAX_CParamID& id, double value, AAX_EUpdateSource source) override;
    AAX_Result ResetFieldData(AAX_CFieldIndex field, void* data, uint32_t size) const override;
    AAX_Result GetNumberOfChunks(int32_t& count) const override;
    AAX_Result GetChunkIDFromIndex(int32_t index, AAX_CTypeID& id) const override;
    AAX_Result GetChunkSize(AAX_CTypeID id, uint32_t& size) const override;
    AAX_Result GetChunk(AAX_CTypeID id, AAX_SPlugInChunk& chunk) const override;
    AAX_Result SetChunk(AAX_CTypeID id, const AAX_SPlugInChunk& chunk) override;
    AAX_Result CompareActiveChunk(const AAX_SPlugInChunk& chunk, bool& isEqual) const override;
    AAX_Result GetCustomData(int32_t block, uint32_t size, void* data, uint32_t& written) const override;
    // [ui] Tells the host of the parameters the audio thread changed (MIDI learn).
    AAX_Result TimerWakeup() override;

    // [audio] The native processing callback for a range of instance contexts.
    static void renderAudio(AAX_SRenderContext* const* begin, AAX_SRenderContext* const* end);

    // [any]
    GenericPlugin* plugin() const { return plugin_.get(); }
    bool monoInput() const { return monoInput_; }

private:
    // The plug-in's interface back to its host.
    class HostInterface : public GenericPlugin::Adapter {
    public:
        explicit HostInterface(AaxPluginAdapter& owner) : owner_(owner) {}
        void latencyChanged() override;
        void parametersChanged(int index) override;
        void presetLoaded() override {}

    private:
        AaxPluginAdapter& owner_;
    };

    void render(const AAX_SRenderContext& context);
    void rebuildControlsChunk(AAX_CChunkDataParser& parser) const;
    static const std::string& entryName(const AAX_IParameter& parameter);

    HostInterface hostInterface_;
    std::unique_ptr<GenericPlugin> plugin_;
    // The instance's own non-audio thread. The audio thread hands it the work the plug-in defers (a
    // program change's preset load), which it performs whether or not an editor is open. Changes
    // made on the audio thread reach the host through the frame's reports (TimerWakeup).
    std::unique_ptr<PluginWorker> worker_;
    bool monoInput_ = false;
    int hostInputCount_ = 2;
    mutable uint32_t chunkSize_ = 0;
    const AAX_ITransport* fallbackTransport_ = nullptr;
    std::array<const float*, 8> inputList_{};
};

// The library's description entry: describes the stereo, AudioSuite and mono-to-stereo variants.
AAX_Result GetEffectDescriptions(AAX_CCollection& collection);
