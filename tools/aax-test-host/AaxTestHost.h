#pragma once

#include <memory>
#include <string>
#include <vector>

#include "host/aax/sdk/AAX_CEffectGUI.h"
#include "host/aax/sdk/AAX_CEffectParameters.h"
#include "host/aax/sdk/AAX_Context.h"
#include "host/aax/sdk/AAX_Descriptors.h"
#include "host/aax/sdk/AAX_Exports.h"

// Acts as a host of the plug-in interface would: loads a plug-in library (or takes its description
// entry in-process), describes its effects, creates instances of a variant, lays out their
// processing contexts from the component description, and renders, automates and stores them.
class AaxTestHost {
public:
    using DescribeFunction = AAX_Result (*)(AAX_CCollection&);

    class Instance;
    class EditorView;

    // In-process: the description entry of a library linked into the caller.
    explicit AaxTestHost(DescribeFunction describe);
    ~AaxTestHost();
    // Loads a library by path; null with a message when it cannot be used.
    static std::unique_ptr<AaxTestHost> load(const std::string& path, std::string& error);

    AAX_Result describe();
    const AAX_CCollection& collection() const { return *collection_; }
    // The description in a stable text form: one line per item, parameters of a fresh instance of
    // the first variant included.
    std::string descriptionText();

    // Creates and initialises an instance of the effect at this position of the collection.
    std::unique_ptr<Instance> createInstance(size_t effect, float sampleRate, std::string& error);

private:
    AaxTestHost() = default;
    void* library_ = nullptr;
    DescribeFunction describe_ = nullptr;
    ACFRegisterPluginFn registerPlugin_ = nullptr;
    ACFShutdownFn shutdown_ = nullptr;
    std::unique_ptr<AAX_CCollection> collection_;
};

namespace gui::native {
class Window;
class WindowEvents;
class WindowSystem;
}  // namespace gui::native

class AaxTestHost::Instance : public AAX_IController, public AAX_ITransport {
public:
    // What the instance told the host about its parameters while an editor view was open, in
    // order: the editor's touches and releases and every value it asked for.
    struct HostEdit {
        enum Kind { Touch, Value, Release };
        Kind kind;
        std::string id;
        double value = 0.0;
    };

    Instance(const AAX_CEffectDescriptor& effect, float sampleRate);
    ~Instance() override;

    AAX_Result initialize();
    AAX_CEffectParameters& effect() { return *effect_; }

    // The host's transport: tempo, meter and position (bars from 0, beat from 1, ticks of 960000 a
    // quarter note within the beat). Without a transport the node reports none.
    void setTransport(double bpm, int numerator, int denominator, int bars, int beats, int64_t ticks);
    void clearTransport() { hasTransport_ = false; }
    void addMidi(uint8_t status, uint8_t data1, uint8_t data2, uint32_t offset, uint32_t length = 3);
    // What the host's automation does: a value for a parameter, as from a fader.
    AAX_Result automate(const std::string& id, double normalized);
    void setMasterBypass(bool bypassed) { automate("MasterBypassID", bypassed ? 1.0 : 0.0); }
    void requestReset();
    void setSampleRate(float rate) { sampleRate_ = rate; }
    void setSideChainIndex(int32_t index) { sideChainIndex_ = index; }

    // Audio thread: one render call with n samples; the MIDI added since the last call goes with it.
    void render(const float* const* inputs, float* const* outputs, int n);
    // Main thread: the host's periodic idle call.
    void idle() { effect_->TimerWakeup(); }

    // Saves every chunk of the instance; restores them into another.
    std::vector<AAX_SPlugInChunk> saveChunks(AAX_Result& result);
    AAX_Result restoreChunks(const std::vector<AAX_SPlugInChunk>& chunks);

    // AAX_IController
    AAX_Result GetInputStemFormat(AAX_EStemFormat& format) const override;
    AAX_Result GetOutputStemFormat(AAX_EStemFormat& format) const override;
    AAX_Result GetSampleRate(float& rate) const override;
    AAX_Result SetSignalLatency(int32_t samples) override;
    AAX_Result PostPacket(AAX_CFieldIndex port, const void* data, uint32_t size) override;
    AAX_Result SetParameterNormalizedValue(const AAX_CParamID& id, double value) override;
    const AAX_ITransport* GetTransport() const override { return hasTransport_ ? this : nullptr; }
    AAX_Result TouchParameter(const AAX_CParamID& id) override;
    AAX_Result ReleaseParameter(const AAX_CParamID& id) override;

    const std::vector<HostEdit>& hostEdits() const { return hostEdits_; }
    void clearHostEdits() { hostEdits_.clear(); }
    // Parameters touched and not yet released (a touch counts once per call).
    int openTouches() const;

    // AAX_ITransport
    AAX_Result GetCurrentTempo(double& bpm) const override;
    AAX_Result GetCurrentMeter(int32_t& numerator, int32_t& denominator) const override;
    AAX_Result GetBarBeatPosition(int32_t& bars, int32_t& beats, int64_t& ticks, int64_t) const override;

    int32_t latency() const { return latency_; }
    int inputChannels() const { return inputChannels_; }

private:
    struct MidiNode : AAX_IMIDINode {
        const AAX_CMidiStream* GetNodeBuffer() const override { return &stream; }
        const AAX_ITransport* GetTransport() const override { return transport; }
        AAX_CMidiStream stream;
        const AAX_ITransport* transport = nullptr;
    };

    friend class EditorView;

    const AAX_CEffectDescriptor& effect_desc_;
    const AAX_CComponentDescriptor* component_ = nullptr;
    std::unique_ptr<AAX_CEffectParameters> effect_;
    AAX_SRenderContext context_;
    AAX_CRenderProc proc_ = nullptr;
    float sampleRate_;
    int32_t bufferLength_ = 0;
    int32_t sideChainIndex_ = 0;
    int inputChannels_ = 2;
    std::vector<std::vector<uint8_t>> fieldData_;  // ports and private data, by field index
    std::vector<const float*> inputs_;
    std::vector<float*> outputs_;
    MidiNode midiInput_, midiTransport_;
    std::vector<AAX_CMidiPacket> pending_, delivering_;
    bool hasTransport_ = true;
    double bpm_ = 120.0;
    int32_t numerator_ = 4, denominator_ = 4, bars_ = 0, beats_ = 1;
    int64_t ticks_ = 0;
    int32_t latency_ = 0;
    // Kept while an editor view is open.
    std::vector<HostEdit> hostEdits_;
    bool recordEdits_ = false;
};

// The host's window for an instance's editor, in a window system of the caller's (X11 or
// headless): creates the effect's GUI object, hands it this container and answers its requests as
// a host does. The host's modifier keys, its answer to presses on parameters and whether it
// resizes are set by the caller; what the editor asked is recorded. [ui]
class AaxTestHost::EditorView : public AAX_IViewContainer {
public:
    struct MouseDown {
        std::string id;
        uint32_t modifiers;
    };
    struct SizeRequest {
        int width, height;
        bool accepted;
    };

    EditorView(Instance& instance, gui::native::WindowSystem& system, int32_t type = AAX_eViewContainer_Type_HWND);
    ~EditorView() override;

    // Creates the GUI object and attaches it to the instance; then hands it the container at the
    // size it asks for (none when it has no size).
    AAX_Result open();
    // Withdraws the container and deletes the GUI object.
    void close();
    AAX_CEffectGUI* gui() const { return gui_.get(); }
    // The host's periodic call to the editor.
    void idle() {
        if (gui_) gui_->TimerWakeup();
    }
    gui::native::Window* window() const { return window_.get(); }

    void setModifiers(uint32_t modifiers) { modifiers_ = modifiers; }
    // AAX_SUCCESS: the host takes presses on parameters; anything else hands them back.
    void setMouseDownResult(AAX_Result result) { mouseDownResult_ = result; }
    void setResizable(bool resizable) { resizable_ = resizable; }
    const std::vector<MouseDown>& mouseDowns() const { return mouseDowns_; }
    const std::vector<SizeRequest>& sizeRequests() const { return sizeRequests_; }

    // AAX_IViewContainer
    int32_t GetType() override { return type_; }
    void* GetPtr() override;
    AAX_Result GetModifiers(uint32_t* modifiers) override;
    AAX_Result SetViewSize(AAX_Point& size) override;
    AAX_Result HandleParameterMouseDown(const AAX_CParamID& id, uint32_t modifiers) override;

private:
    Instance& instance_;
    gui::native::WindowSystem& system_;
    int32_t type_;
    std::unique_ptr<gui::native::WindowEvents> events_;
    std::unique_ptr<gui::native::Window> window_;
    std::unique_ptr<AAX_CEffectGUI> gui_;
    uint32_t modifiers_ = 0;
    AAX_Result mouseDownResult_ = AAX_ERROR_UNIMPLEMENTED;
    bool resizable_ = true;
    std::vector<MouseDown> mouseDowns_;
    std::vector<SizeRequest> sizeRequests_;
};
