#pragma once

#include <atomic>
#include <cassert>
#include <memory>
#include <mutex>
#include <string>
#include <thread>
#include <vector>

#include "core/Property.h"
#include "framework/AbstractMusicEventReceiver.h"
#include "framework/AbstractPluginParameter.h"
#include "framework/CompareStates.h"
#include "framework/GenericParameterOwner.h"
#include "platform/LockFreeFifo.h"
#include "framework/MidiMessage.h"
#include "framework/MidiVirtualParameterOwner.h"
#include "framework/StateList.h"
#include "framework/StateListOwner.h"
#include "framework/UndoHistory.h"
#include "streams/SettingSerializer.h"
#include "platform/AsyncEventQueue.h"
#include "wave/Environment.h"
#include "wave/Input.h"
#include "wave/SmoothedValue.h"

class MidiDecoder;
class MidiVirtualPluginParameter;

// One parameter change on its way to the audio thread; index -1 is the reset marker.
struct ParameterChange {
    int32_t index;
    float value;
};
static_assert(sizeof(ParameterChange) == 8);

// The host-neutral plug-in object. It owns the processing environment and the channels, the queue
// through which parameter changes reach the audio thread, the MIDI path, the bypass cross-fade, the
// musical clock, and the bookkeeping that keeps the host adapter and the editor informed of changes.
// The engine derives from it, builds its graph after initialize, and answers the virtual queries.
//
// Thread contracts: every public operation names its callers with [audio] (the host's processing
// thread: never allocates, locks, does I/O or calls into the host), [ui] (the editor's or host's main
// thread), [worker] (a host's worker or idle thread, or a library thread) or [any]; "set-up" means
// [ui] during construction, before the instance is shared between threads.
class GenericPlugin : public GenericParameterOwner,
                      public MidiMessageReceiver,
                      public StateListOwner,
                      public MidiVirtualParameterOwner {
public:
    using UndoHistory = ::UndoHistory;
    using CompareStates = ::CompareStates;
    using StateList = ::StateList;

    // Implemented by the host adapter. Never called on the audio thread: changes made there reach
    // parametersChanged through deliverParameterReports.
    class Adapter {
    public:
        virtual ~Adapter() = default;
        // [ui]
        virtual void latencyChanged() = 0;
        // [ui] [worker] index -1: every parameter. Never called for changes that came from the host
        // itself.
        virtual void parametersChanged(int index) = 0;
        // [ui] [worker]
        virtual void presetLoaded() = 0;
    };

    // Implemented by the editor. notify is called from any thread, the audio thread included, and
    // must only queue.
    class Listener {
    public:
        virtual ~Listener() = default;
        virtual void notify(int code, int value) = 0;
    };

    enum NotifyCode {
        kParameterChanged = -1025,  // value: the parameter index, -1 for all
        kPresetChanged = -1026,     // preset loaded or preset information changed
        kMidiReceived = -1027,      // MIDI messages were received in the last block
    };

    enum MidiState { MidiEnabled = 0, MidiDisabled = 1 };

    static constexpr int kFirstVirtualParameter = 0x100000;
    static constexpr int kParameterQueueNodes = 8192;
    static constexpr int kMidiQueueNodes = 1024;
    static constexpr int kReportQueueNodes = 4096;

    // A processing channel: host input, side-chain input and the producer whose output is the
    // channel's processed signal (set by the engine). Construction appends it to the plug-in's list.
    class Channel {
    public:
        explicit Channel(GenericPlugin& plugin);
        virtual ~Channel();
        // [audio] A queued parameter change was applied.
        virtual void parameterApplied(int /*index*/) {}

        GenericPlugin& plugin() const { return plugin_; }
        wave::Input& input() { return input_; }
        wave::Input& sideChainInput() { return sideChainInput_; }
        wave::Producer* outputProducer() const { return output_; }
        void setOutputProducer(wave::Producer* producer) { output_ = producer; }

    private:
        GenericPlugin& plugin_;
        wave::Input input_;
        wave::Input sideChainInput_;
        wave::Producer* output_ = nullptr;
    };

    // The product's identity and version (release 2.23).
    struct VersionRecord {
        std::string productName;
        std::string makerName = "Brixholde";
        int major = 2;
        int minor = 2;
        int revision = 3;
        // " 2" from the second major version on, empty for the first.
        std::string suffix() const { return major > 1 ? " " + std::to_string(major) : std::string(); }
        std::string versionText() const {
            return std::to_string(major) + "." + std::to_string(minor) + std::to_string(revision);
        }
    };

    // Base of per-instance and shared settings. Saving is ignored until the settings were loaded
    // once (the persistent flag), so defaults never overwrite stored preferences.
    // A change of any other property saves the group at once (its change notification).
    class SettingsBase : public PropertyOwner {
    public:
        // Opens a writer on the product's key of the settings store; installed by the persistence
        // layer. Without one, save stores nothing.
        using WriterFactory = std::unique_ptr<SettingSerializer> (*)(const VersionRecord& version);
        static void setWriterFactory(WriterFactory factory);

        explicit SettingsBase(const VersionRecord& version) : persistent(this, false), version_(version) {}
        // [ui] When the persistent flag is set, writes the group through a store writer.
        virtual void save();
        virtual ~SettingsBase() = default;
        // Loads or stores every value of the group, depending on the serializer.
        virtual void serialize(SettingSerializer& /*serializer*/) {}
        // [ui] Runs serialize; changes made by a reading pass are not saved one by one, so a
        // half-read group never overwrites stored values that were not read yet.
        void serializeWith(SettingSerializer& serializer);
        void propertyChanged(AbstractProperty* property) override;

        Property<bool> persistent;
        const VersionRecord& version() const { return version_; }

    private:
        VersionRecord version_;
        bool serializing_ = false;
    };

    class Settings : public SettingsBase {
    public:
        using SettingsBase::SettingsBase;
    };

    // Process-wide preferences, each an observable property.
    class SharedSettings : public SettingsBase {
    public:
        explicit SharedSettings(const VersionRecord& version);

        LimitedProperty<int> conserveMemory;  // "ConserveMemory": block length max(32, 128 >> value)
        Property<bool> correctDigiProductIds;
        Property<bool> enableMidiProgramChanges;
        Property<int> graphicsAcceleration;
        Property<bool> savePresetItemEnabled;
        Property<bool> showComponentDisplays;
        Property<bool> showInteractiveHelp;
        Property<bool> showWelcomeHint;

        // The eight values, "ConserveMemory" to "ShowComponentDisplays", in stored order.
        void serialize(SettingSerializer& serializer) override;
    };

    // Name and path of the current preset and whether it was changed since it was loaded.
    struct PresetRecord {
        std::string name;
        std::string path;
    };
    class PresetState {
    public:
        class Listener {
        public:
            virtual ~Listener() = default;
            // [any], [audio] included: must only queue.
            virtual void presetModifiedChanged(bool modified) = 0;
        };
        // [ui] [worker] Copies taken and made under the state's own lock: a host's worker or
        // library thread loads presets while the host and the editor read the name. Never on the
        // audio thread.
        PresetRecord record() const;
        void setRecord(PresetRecord record);
        void setName(std::string name);
        // [any] Tells the listener when the flag changes.
        void setModified(bool modified);
        bool modified() const { return modified_.load(); }
        // [ui]
        void setListener(Listener* listener) { listener_.store(listener); }

    private:
        mutable std::mutex recordMutex_;
        PresetRecord record_;
        std::atomic<bool> modified_{false};
        std::atomic<Listener*> listener_{nullptr};
    };

    // Cross-fades between the processed signal and the dry input over 50 ms when the bypass state
    // changes, and skips processing entirely while fully bypassed. [audio]
    class BypassProcessor {
    public:
        static constexpr float kFadeMs = 50.0f;

        explicit BypassProcessor(GenericPlugin& plugin);
        void setBypassed(bool bypassed);
        bool bypassed() const { return bypassed_; }
        void requestJump() { jumpPending_ = true; }
        // One sub-block of count samples at position pos of the host buffers.
        void process(int pos, int count, const float* const* inputs, int inputCount, float* const* outputs,
                     int outputCount);
        const SmoothedValue& ramp() const { return ramp_; }

    private:
        GenericPlugin& plugin_;
        SmoothedValue ramp_;
        bool bypassed_ = false;
        bool jumpPending_ = false;
        const float* processed_[2] = {nullptr, nullptr};
    };

    GenericPlugin();
    ~GenericPlugin() override;
    GenericPlugin(const GenericPlugin&) = delete;
    GenericPlugin& operator=(const GenericPlugin&) = delete;

    // --- virtual operations ---------------------------------------------------------------------
    // Unless tagged otherwise: queries [any], configuration [ui] at set-up.
    // [any] Opens and closes a batch: the audio thread applies none of its changes before it closes.
    void beginUpdate() override;
    void endUpdate() override;
    AbstractPluginParameter* getParameter(int index) override;
    int groupIndex() override { return 0; }
    int getParameterCount() override { return static_cast<int>(parameters_.size()); }
    // [any] Queues the change; on the audio thread the report to the host is queued too.
    void parameterChanged(int index, float value, int flags) override;
    int addParameter(AbstractPluginParameter* parameter) override;
    int registerGroup(const std::string& name) override;
    virtual int midiOutputCount() const { return 0; }
    virtual int getCategory() const { return isEffect() ? 0 : 1; }
    virtual int midiInputCount() const { return 1; }
    virtual std::string getDefaultPresetName() const { return isEffect() ? "Default Setting" : "Default Sound"; }
    virtual int getTailLength() const { return tailSamples(); }
    virtual std::string getChunkTag() const = 0;
    virtual int getDefaultEditorHeight() const { return getEditorHeight(); }
    virtual int getDefaultEditorWidth() const { return getEditorWidth(); }
    // -1: the main preset folder; otherwise the index-th further preset manager. Null until the
    // preset manager exists.
    virtual void* getPresetFolder(int /*index*/) const { return nullptr; }
    virtual float outputScale() const { return 1.0f; }
    virtual int tailSamples() const { return -1; }
    virtual bool isEffect() const { return true; }
    virtual int getEditorHeight() const { return 0; }
    virtual int getEditorWidth() const { return 0; }
    virtual int auxOutputCount() const { return 0; }
    virtual int usesTransport() const { return 0; }
    virtual void loadDefaultControllerMap() {}
    virtual bool loadControllerMap() { return false; }
    // [audio]
    virtual void noteOff(int /*note*/, float /*velocity*/) {}
    virtual void noteOn(int /*note*/, float /*velocity*/) {}
    // [audio] Every held note is released (all-notes-off, MIDI reception turned off). A
    // plug-in that counts held notes clears its count here; the default is a note-off of note 0.
    virtual void allNotesOff(float velocity) { noteOff(0, velocity); }
    // [any] On the thread that changes the value, before the change is queued.
    virtual void parameterWillChange(int /*index*/, float /*value*/, int /*flags*/) {}
    // [audio] Between host blocks. The host's floating-point control word is restored on return.
    virtual void reset();
    // [ui]
    virtual void saveControllerMap() {}
    // [ui]
    virtual bool savePreset(const PresetRecord& preset);
    virtual void renamePreset(const std::string& name, size_t length);
    // [audio]
    virtual void transportChanged(double /*tempo*/, double /*position*/) {}
    // [audio] Points the channels' inputs at the host buffers.
    virtual void setInputs(const float* const* inputs, int inputCount, int samples);
    virtual std::unique_ptr<AbstractMusicEventReceiver> createEventReceiver();
    virtual std::unique_ptr<Settings> createSettings();
    virtual void initGlobals(const std::string& productName);
    virtual std::unique_ptr<SharedSettings> createSharedSettings();
    // During initialize, after the settings objects exist and before they become persistent: reads
    // the stored settings and, for the first instance, installs factory content when needed. The
    // persistence layer implements it for the engine.
    virtual void loadGlobalSettings(bool /*firstInstance*/) {}
    // [ui] [worker] Reads a preset file into the instance; false when it could not be read.
    virtual bool loadPresetFile(const PresetRecord& /*preset*/) { return false; }
    virtual int getBlockLength() const { return environment_->maxBlockLength(); }
    virtual std::string getPresetExtension() const { return ".bxp"; }
    virtual bool hasSideChain() const { return false; }
    // [audio]
    virtual void parameterApplied(int index);
    // [ui] [worker] A change made on the audio thread, now reported on a non-audio thread before the
    // host adapter hears of it (deliverParameterReports).
    virtual void parameterReported(int /*index*/) {}
    // [audio] Drains the parameter queue.
    virtual void applyParameterChanges();
    // [audio]
    virtual void getChannelOutputs(const float** outputs, int count, int samples);
    // [ui] The last instance's destruction.
    virtual void releaseGlobals();
    // [audio], or [ui] at set-up: follows the sample rate.
    virtual void sampleRateChanged() {}

    // Work the audio thread hands off (a MIDI program change's preset load). [any] asks whether some
    // waits, [audio] included; [ui] [worker] performs it: a host's worker or idle thread, or the
    // editor's timer, never two at once.
    virtual bool deferredWorkPending() const { return false; }
    virtual void performDeferredWork() {}

    // [ui] [worker] Preset-file writer and preset lookup used by savePreset and loadDefaultPreset.
    virtual bool savePresetFile(const PresetRecord& /*preset*/) { return false; }
    virtual bool findPreset(const std::string& /*name*/, PresetRecord& /*preset*/) { return false; }

    // --- host calls -----------------------------------------------------------------------------
    // [audio] Processes one host block. The host's floating-point control word is restored on return.
    void process(const float* const* inputs, int inputCount, float* const* outputs, int outputCount, int samples);
    // [audio]
    void setBypass(bool bypassed);
    // [audio], or [ui] at set-up.
    void setSampleRate(float rate) { environment_->setSampleRate(rate); }
    // [audio] Tempo in beats per minute, host position in quarter notes.
    void setTransport(double tempo, float hostPosition);
    // [audio] Before process: queues the message unless MIDI reception is off; a full queue drops it.
    void receiveMidi(const MidiMessage& message) override;

    // [ui] [worker] Loads a preset as one batch of changes; answers whether the file was loaded. The
    // audio thread takes the values through the queue once the batch is complete, so a host's
    // worker may load while the audio thread runs; never two loads at once.
    bool loadPreset(const PresetRecord& preset);
    bool loadDefaultPreset();
    // [any], [audio] included (MIDI learn): an index of 0x100000 or more addresses a virtual
    // parameter.
    void setParameterFromController(int index, float value);

    // [ui] [worker] Tells the adapter of the changes made on the audio thread since the last call
    // (the audio thread only queues them). The editor's timer or the host adapter's idle or worker
    // call runs it; a call while another thread delivers waits for that delivery to finish.
    void deliverParameterReports();
    // [any] Whether reports wait for deliverParameterReports.
    bool parameterReportsPending() const { return reportsPending_.load(std::memory_order_acquire); }
    // [any] Whether the caller is inside an AudioThreadScope of this plug-in.
    bool onAudioThread() const { return std::this_thread::get_id() == audioThread_.load(std::memory_order_relaxed); }

    // [audio] Marks the calling thread as the audio thread while it lives: what it changes is queued,
    // never reported to the host directly. process and reset open one; a host adapter opens one
    // around its whole render call.
    class AudioThreadScope {
    public:
        explicit AudioThreadScope(GenericPlugin& plugin)
            : plugin_(plugin),
              previous_(plugin.audioThread_.exchange(std::this_thread::get_id(), std::memory_order_relaxed)) {}
        ~AudioThreadScope() { plugin_.audioThread_.store(previous_, std::memory_order_relaxed); }
        AudioThreadScope(const AudioThreadScope&) = delete;
        AudioThreadScope& operator=(const AudioThreadScope&) = delete;

    private:
        GenericPlugin& plugin_;
        std::thread::id previous_;
    };
    // [any] Changes, MIDI messages and reports the audio thread dropped because a queue was full
    // (a debug statistic; the queues are sized so that it stays 0).
    long droppedOnAudioThread() const;

    // [ui] Waits until no notification to the previous listener is running.
    void setListener(Listener* listener);
    // [ui] at set-up.
    void setAdapter(Adapter* adapter) { adapter_ = adapter; }
    Adapter* adapter() const { return adapter_; }

    wave::Environment& environment() { return *environment_; }
    const std::vector<Channel*>& channels() const { return channels_; }
    int channelCount() const { return channelCount_; }
    bool sideChainEnabled() const { return sideChain_; }
    void setSideChainEnabled(bool enabled) { sideChain_ = enabled; }
    int latency() const { return latency_; }
    double musicalPosition() const { return musicalPosition_; }
    int currentBlockLength() const { return blockLength_; }
    int updateDepth() const { return updateDepth_.load(); }
    bool isBypassed() const { return hostBypass_ || parameterBypass_; }
    BypassProcessor& bypassProcessor() { return *bypassProcessor_; }
    PresetState& presetState() { return presetState_; }
    Settings& settings() { return *settings_; }
    AbstractMusicEventReceiver& eventReceiver() { return *eventReceiver_; }
    AsyncEventQueue* asyncEventQueue() const { return asyncQueue_.get(); }
    std::thread::id editorThread() const { return editorThread_; }
    void setMidiReceiveParameter(AbstractPluginParameter* parameter) { midiReceiveParameter_ = parameter; }
    int midiReceiveValue() const { return midiReceiveValue_.load(std::memory_order_relaxed); }
    std::vector<AbstractPluginParameter*>& keptParameters() { return keptParameters_; }
    const std::vector<std::string>& groups() const { return groups_; }

    // [any] Process-wide objects, created by the first instance and released by the last.
    static int instanceCount();
    static SharedSettings* sharedSettings();
    static const VersionRecord* versionRecord();

    // --- undo, compare and virtual parameters: [ui] ----------------------------------------------
    GenericParameterOwner& stateParameters() override { return *this; }
    void readPresetState(std::string& name, std::string& path, bool& modified) override;
    void writePresetState(const std::string& name, const std::string& path, bool modified) override;
    void pushResetMarker() override;
    void presetRestored() override;
    UndoHistory* undoHistory() override { return undoHistory_.get(); }
    CompareStates* compareStates() override { return compareStates_.get(); }
    int addVirtualParameter(MidiVirtualPluginParameter* parameter) override;
    const std::vector<MidiVirtualPluginParameter*>& virtualParameters() const { return virtualParameters_; }

protected:
    // Called by the engine's constructor once its parameters exist: counts the instance, creates the
    // process-wide objects for the first one, the environment, the event receiver and decoder and the
    // bypass processor.
    void initialize(const std::string& productName);
    // Counts the instance out; the last one calls releaseGlobals. A destructor cannot reach a
    // subclass's overrides, so a plug-in that overrides releaseGlobals (or the controller map
    // operations it calls) calls this from its own destructor; ~GenericPlugin calls it otherwise.
    // Runs once.
    void releaseInstance();
    void setChannelCount(int count) { channelCount_ = count; }

private:
    friend class Channel;
    void notifyListener(int code, int value);
    void onSampleRateChanged(void* sender);
    // Debug builds check the [audio] contract on entry: while an audio-thread scope is open, no other
    // thread runs the audio thread's operations.
    void assertAudioThread() const {
        assert(audioThread_.load(std::memory_order_relaxed) == std::thread::id() || onAudioThread());
    }
    void queueChange(const ParameterChange& change);
    // Tells the adapter of a change, or queues the report when called on the audio thread.
    void reportChange(int index, bool toAdapter);

    // Host side.
    Adapter* adapter_ = nullptr;
    std::atomic<Listener*> listener_{nullptr};
    std::atomic<int> listenerBusy_{0};
    bool sideChain_ = true;
    int latency_ = 0;

    // Processing.
    std::unique_ptr<wave::Environment> environment_;
    std::vector<Channel*> channels_;
    int channelCount_ = 2;
    std::unique_ptr<BypassProcessor> bypassProcessor_;
    bool hostBypass_ = false;
    bool parameterBypass_ = false;
    int blockLength_ = 0;
    double musicalPosition_ = 0.0;
    float lastHostPosition_ = 0.0f;

    // Parameter flow.
    std::vector<AbstractPluginParameter*> parameters_;
    std::vector<std::string> groups_;
    LockFreeFifo<ParameterChange> parameterQueue_{kParameterQueueNodes};
    std::atomic<int> updateDepth_{0};
    std::atomic<bool> pendingNotification_{false};
    // Reports of changes made on the audio thread: index, and 1 when the adapter is to be told.
    LockFreeFifo<ParameterChange> reports_{kReportQueueNodes};
    std::atomic<bool> reportsPending_{false};
    std::mutex deliveringMutex_;  // never taken on the audio thread
    std::atomic<std::thread::id> audioThread_{};
    std::vector<AbstractPluginParameter*> keptParameters_;
    bool defaultPresetLoad_ = false;

    // MIDI.
    AbstractPluginParameter* midiReceiveParameter_ = nullptr;
    std::atomic<int> midiReceiveValue_{0};
    LockFreeFifo<MidiMessage> midiQueue_{kMidiQueueNodes};
    std::unique_ptr<AbstractMusicEventReceiver> eventReceiver_;
    std::unique_ptr<MidiDecoder> decoder_;

    // Presets and state.
    PresetState presetState_;
    std::unique_ptr<UndoHistory> undoHistory_;
    std::unique_ptr<CompareStates> compareStates_;
    std::vector<MidiVirtualPluginParameter*> virtualParameters_;
    std::unique_ptr<Settings> settings_;
    std::thread::id editorThread_;
    std::unique_ptr<AsyncEventQueue> asyncQueue_;
    bool initialized_ = false;
};
