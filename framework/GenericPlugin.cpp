#include "framework/GenericPlugin.h"

#include <xmmintrin.h>

#include <algorithm>
#include <chrono>
#include <cmath>
#include <cstring>
#include <mutex>

#include "core/FloatEpsilon.h"
#include "framework/DefaultEventReceiver.h"
#include "framework/MidiDecoder.h"
#include "framework/MidiVirtualPluginParameter.h"

namespace {
// Flush-to-zero and denormals-are-zero on, round to nearest, all exceptions masked.
constexpr unsigned kAudioThreadCsr = 0x9FC0;
constexpr double kMusicalWrap = 256.0;

// Sets the audio thread's control word for the lifetime of one host call and gives the host its own
// back on return.
class ControlWordGuard {
public:
    ControlWordGuard() : saved_(_mm_getcsr()) { _mm_setcsr(kAudioThreadCsr); }
    ~ControlWordGuard() { _mm_setcsr(saved_); }
    ControlWordGuard(const ControlWordGuard&) = delete;
    ControlWordGuard& operator=(const ControlWordGuard&) = delete;

private:
    unsigned saved_;
};

// The objects that all instances of the process share.
struct Globals {
    std::mutex mutex;
    int instances = 0;
    std::unique_ptr<GenericPlugin::VersionRecord> version;
    std::unique_ptr<GenericPlugin::SharedSettings> shared;
};
Globals& globals() {
    static Globals g;
    return g;
}
}  // namespace

// --- Channel ----------------------------------------------------------------------------------------

GenericPlugin::Channel::Channel(GenericPlugin& plugin)
    : plugin_(plugin), input_(plugin.environment()), sideChainInput_(plugin.environment()) {
    plugin.channels_.push_back(this);
}

GenericPlugin::Channel::~Channel() { std::erase(plugin_.channels_, this); }

// --- Settings ---------------------------------------------------------------------------------------

GenericPlugin::SharedSettings::SharedSettings(const VersionRecord& version)
    : SettingsBase(version),
      conserveMemory(this, 0, 0, 4),
      correctDigiProductIds(this, true),
      enableMidiProgramChanges(this, false),
      graphicsAcceleration(this, 1),
      savePresetItemEnabled(this, false),
      showComponentDisplays(this, true),
      showInteractiveHelp(this, true),
      showWelcomeHint(this, false) {}

namespace {
GenericPlugin::SettingsBase::WriterFactory& writerFactory() {
    static GenericPlugin::SettingsBase::WriterFactory factory = nullptr;
    return factory;
}
}  // namespace

void GenericPlugin::SettingsBase::setWriterFactory(WriterFactory factory) { writerFactory() = factory; }

void GenericPlugin::SettingsBase::save() {
    if (!persistent.get() || !writerFactory()) return;
    std::unique_ptr<SettingSerializer> writer = writerFactory()(version_);
    if (writer) serializeWith(*writer);
}

void GenericPlugin::SettingsBase::serializeWith(SettingSerializer& serializer) {
    bool was = serializing_;
    serializing_ = true;
    serialize(serializer);
    serializing_ = was;
}

void GenericPlugin::SettingsBase::propertyChanged(AbstractProperty* property) {
    if (property == &persistent || serializing_) return;
    save();
}

void GenericPlugin::SharedSettings::serialize(SettingSerializer& s) {
    conserveMemory = s.intValue("ConserveMemory", conserveMemory, conserveMemory);
    correctDigiProductIds = s.boolValue("CorrectDigiProductIds", correctDigiProductIds, correctDigiProductIds);
    enableMidiProgramChanges =
        s.boolValue("EnableMIDIProgramChanges", enableMidiProgramChanges, enableMidiProgramChanges);
    graphicsAcceleration = s.intValue("GraphicsAcceleration", graphicsAcceleration, graphicsAcceleration);
    savePresetItemEnabled = s.boolValue("SavePresetItemEnabled", savePresetItemEnabled, savePresetItemEnabled);
    showInteractiveHelp = s.boolValue("showInteractiveHelp", showInteractiveHelp, showInteractiveHelp);
    showWelcomeHint = s.boolValue("showWelcomeHint", showWelcomeHint, showWelcomeHint);
    showComponentDisplays = s.boolValue("ShowComponentDisplays", showComponentDisplays, showComponentDisplays);
}

GenericPlugin::PresetRecord GenericPlugin::PresetState::record() const {
    std::lock_guard<std::mutex> lock(recordMutex_);
    return record_;
}

void GenericPlugin::PresetState::setRecord(PresetRecord record) {
    std::lock_guard<std::mutex> lock(recordMutex_);
    record_ = std::move(record);
}

void GenericPlugin::PresetState::setName(std::string name) {
    std::lock_guard<std::mutex> lock(recordMutex_);
    record_.name = std::move(name);
}

void GenericPlugin::PresetState::setModified(bool modified) {
    bool was = modified_.exchange(modified);
    if (was == modified) return;
    if (Listener* listener = listener_.load()) listener->presetModifiedChanged(modified);
}

// --- Bypass -----------------------------------------------------------------------------------------

GenericPlugin::BypassProcessor::BypassProcessor(GenericPlugin& plugin)
    : plugin_(plugin), ramp_(plugin.environment(), 0.0f) {
    ramp_.setRange(0.0f, 1.0f);
    // Leaving bypass resets the graph; the fade-in must survive that reset, so the ramp only
    // completes early through the jump flag that the frame's own reset sets.
    ramp_.setFollowsResets(false);
}

void GenericPlugin::BypassProcessor::setBypassed(bool bypassed) {
    if (bypassed == bypassed_) return;
    bypassed_ = bypassed;
    ramp_.rampTo(bypassed ? 1.0f : 0.0f, kFadeMs);
}

void GenericPlugin::BypassProcessor::process(int pos, int count, const float* const* inputs, int inputCount,
                                             float* const* outputs, int outputCount) {
    wave::Environment& env = plugin_.environment();
    env.advanceCycle();
    if (jumpPending_) {
        jumpPending_ = false;
        ramp_.jumpTo(ramp_.target());
    }
    ramp_.advance();
    bool constant = false;
    const float* r = ramp_.render(count, constant);

    bool fullyBypassed = constant && std::fabs(r[0] - 1.0f) <= kFloatEpsilon;
    if (!fullyBypassed) {
        plugin_.getChannelOutputs(processed_, outputCount, count);
        env.process(count, 0);
    } else {
        env.process(count, wave::OutputNotNeeded);
    }

    const float* zeros = env.zeroBuffer().samples();
    for (int c = 0; c < outputCount; ++c) {
        float* out = outputs[c] + pos;
        const float* processed = processed_[c] ? processed_[c] : zeros;
        if (constant && std::fabs(r[0]) <= kFloatEpsilon) {
            std::memcpy(out, processed, sizeof(float) * count);
            continue;
        }
        const float* in = c < inputCount && inputs[c] ? inputs[c] + pos : zeros;
        if (in != out) std::memcpy(out, in, sizeof(float) * count);
        if (!fullyBypassed) {
            for (int i = 0; i < count; ++i) out[i] = processed[i] + (out[i] - processed[i]) * r[i];
        }
    }
}

// --- Construction -----------------------------------------------------------------------------------

GenericPlugin::GenericPlugin() : editorThread_(std::this_thread::get_id()) {
    // Deferred work for the editor is delivered on the constructing thread until an editor attaches
    // from another thread.
    asyncQueue_ = AsyncEventQueue::create();
}

void GenericPlugin::releaseInstance() {
    if (!initialized_) return;
    initialized_ = false;
    Globals& g = globals();
    std::lock_guard<std::mutex> lock(g.mutex);
    if (--g.instances == 0) releaseGlobals();
}

GenericPlugin::~GenericPlugin() {
    releaseInstance();
    bypassProcessor_.reset();
    compareStates_.reset();
    undoHistory_.reset();
    decoder_.reset();
    eventReceiver_.reset();
    settings_.reset();
}

void GenericPlugin::initialize(const std::string& productName) {
    Globals& g = globals();
    {
        std::lock_guard<std::mutex> lock(g.mutex);
        if (g.instances++ == 0) {
            initGlobals(productName);
            settings_ = createSettings();
            if (!loadControllerMap()) loadDefaultControllerMap();
            loadGlobalSettings(true);
        } else {
            settings_ = createSettings();
            loadGlobalSettings(false);
        }
        settings_->persistent = true;
        if (g.shared) g.shared->persistent = true;
    }
    initialized_ = true;

    int conserve = g.shared ? g.shared->conserveMemory.get() : 0;
    environment_ = std::make_unique<wave::Environment>(std::max(32, 128 >> conserve));
    environment_->sampleRateChanged().setOwnerHandler(this, &GenericPlugin::onSampleRateChanged);

    eventReceiver_ = createEventReceiver();
    decoder_ = std::make_unique<MidiDecoder>(*eventReceiver_);
    undoHistory_ = std::make_unique<UndoHistory>(*this);
    compareStates_ = std::make_unique<CompareStates>(*this);
    bypassProcessor_ = std::make_unique<BypassProcessor>(*this);
}

void GenericPlugin::onSampleRateChanged(void*) { sampleRateChanged(); }

void GenericPlugin::initGlobals(const std::string& productName) {
    Globals& g = globals();
    g.version = std::make_unique<VersionRecord>();
    g.version->productName = productName;
    g.shared = createSharedSettings();
}

void GenericPlugin::releaseGlobals() {
    Globals& g = globals();
    saveControllerMap();
    if (g.shared) g.shared->save();
    g.shared.reset();
    g.version.reset();
}

std::unique_ptr<GenericPlugin::SharedSettings> GenericPlugin::createSharedSettings() {
    return std::make_unique<SharedSettings>(*globals().version);
}

std::unique_ptr<GenericPlugin::Settings> GenericPlugin::createSettings() {
    const VersionRecord* v = globals().version.get();
    return std::make_unique<Settings>(v ? *v : VersionRecord{});
}

std::unique_ptr<AbstractMusicEventReceiver> GenericPlugin::createEventReceiver() {
    return std::make_unique<DefaultEventReceiver>(*this);
}

int GenericPlugin::instanceCount() {
    Globals& g = globals();
    std::lock_guard<std::mutex> lock(g.mutex);
    return g.instances;
}

GenericPlugin::SharedSettings* GenericPlugin::sharedSettings() { return globals().shared.get(); }

const GenericPlugin::VersionRecord* GenericPlugin::versionRecord() { return globals().version.get(); }

// --- Parameters -------------------------------------------------------------------------------------

AbstractPluginParameter* GenericPlugin::getParameter(int index) {
    if (index < 0 || index >= static_cast<int>(parameters_.size())) return nullptr;
    return parameters_[index];
}

int GenericPlugin::addParameter(AbstractPluginParameter* parameter) {
    parameters_.push_back(parameter);
    return static_cast<int>(parameters_.size()) - 1;
}

int GenericPlugin::registerGroup(const std::string& name) {
    auto it = std::find(groups_.begin(), groups_.end(), name);
    if (it != groups_.end()) return static_cast<int>(it - groups_.begin());
    groups_.push_back(name);
    return static_cast<int>(groups_.size()) - 1;
}

void GenericPlugin::beginUpdate() { updateDepth_.fetch_add(1); }

void GenericPlugin::endUpdate() {
    if (updateDepth_.fetch_sub(1) - 1 != 0) return;
    if (!pendingNotification_.exchange(false)) return;
    reportChange(-1, true);
    notifyListener(kParameterChanged, -1);
}

void GenericPlugin::parameterChanged(int index, float value, int flags) {
    parameterWillChange(index, value, flags);
    queueChange(ParameterChange{index, value});
    presetState_.setModified(true);
    if (updateDepth_.load() != 0) {
        pendingNotification_.store(true);
        // endUpdate may have closed the batch in between; then this change is reported on its own.
        if (updateDepth_.load() != 0) return;
    }
    reportChange(index, !(flags & FromHost));
    notifyListener(kParameterChanged, index);
}

void GenericPlugin::queueChange(const ParameterChange& change) {
    // The audio thread never grows the pool (that locks); its changes are few per block.
    if (onAudioThread())
        parameterQueue_.pushWithoutGrowing(change);
    else
        parameterQueue_.push(change);
}

void GenericPlugin::reportChange(int index, bool toAdapter) {
    if (!onAudioThread()) {
        if (toAdapter && adapter_) adapter_->parametersChanged(index);
        return;
    }
    if (reports_.pushWithoutGrowing(ParameterChange{index, toAdapter ? 1.0f : 0.0f}))
        reportsPending_.store(true, std::memory_order_release);
}

void GenericPlugin::deliverParameterReports() {
    // One consumer at a time. A caller that finds another delivering waits for it, so that every
    // report made before its call has reached the adapter when it returns.
    std::lock_guard<std::mutex> delivering(deliveringMutex_);
    reportsPending_.store(false, std::memory_order_relaxed);
    ParameterChange report;
    while (reports_.pop(report)) {
        parameterReported(report.index);
        if (report.value != 0.0f && adapter_) adapter_->parametersChanged(report.index);
    }
}

long GenericPlugin::droppedOnAudioThread() const {
    return parameterQueue_.droppedCount() + midiQueue_.droppedCount() + reports_.droppedCount();
}

void GenericPlugin::notifyListener(int code, int value) {
    listenerBusy_.fetch_add(1);
    if (Listener* l = listener_.load()) l->notify(code, value);
    listenerBusy_.fetch_sub(1);
}

void GenericPlugin::setListener(Listener* listener) {
    if (listener && std::this_thread::get_id() != editorThread_) {
        editorThread_ = std::this_thread::get_id();
        asyncQueue_ = AsyncEventQueue::create();
    }
    listener_.store(listener);
    while (listenerBusy_.load() != 0) std::this_thread::sleep_for(std::chrono::milliseconds(50));
}

void GenericPlugin::applyParameterChanges() {
    assertAudioThread();
    ParameterChange change;
    // A batch that another thread opened meanwhile (a preset loading in a host's worker) waits
    // whole for the next block.
    while (updateDepth_.load() == 0 && parameterQueue_.pop(change)) {
        if (change.index == -1) {
            environment_->markResetPosition();
            continue;
        }
        // A record for an index that does not exist (a corrupt host call) is skipped.
        AbstractPluginParameter* parameter = getParameter(change.index);
        if (!parameter) continue;
        parameter->applyToEngine(change.value);
        parameterApplied(change.index);
    }
}

void GenericPlugin::parameterApplied(int index) {
    for (Channel* c : channels_) c->parameterApplied(index);
    if (midiReceiveParameter_ && index == midiReceiveParameter_->index()) {
        int was = midiReceiveValue_.load(std::memory_order_relaxed);
        int now = static_cast<int>(midiReceiveParameter_->value());
        midiReceiveValue_.store(now, std::memory_order_relaxed);
        if (now == MidiDisabled && was != MidiDisabled) allNotesOff(1.0f);
    }
}

void GenericPlugin::setParameterFromController(int index, float value) {
    if (index >= kFirstVirtualParameter) {
        size_t i = static_cast<size_t>(index - kFirstVirtualParameter);
        if (i < virtualParameters_.size()) virtualParameters_[i]->setNormalized(std::clamp(value, 0.0f, 1.0f));
    } else if (AbstractPluginParameter* parameter = getParameter(index)) {
        parameter->setValue(parameter->normalizedToPlain(std::clamp(value, 0.0f, 1.0f)), 0);
    }
    presetState_.setModified(true);
}

// --- Presets ----------------------------------------------------------------------------------------

bool GenericPlugin::loadPreset(const PresetRecord& preset) {
    beginUpdate();
    std::vector<float> kept;
    kept.reserve(keptParameters_.size());
    for (AbstractPluginParameter* p : keptParameters_) kept.push_back(p->value());
    bool loaded = loadPresetFile(preset);
    if (!defaultPresetLoad_) {
        for (size_t i = 0; i < keptParameters_.size(); ++i) keptParameters_[i]->setValue(kept[i], 0);
    }
    pushResetMarker();
    endUpdate();
    if (loaded) {
        presetState_.setRecord(preset);
        presetState_.setModified(false);
        if (adapter_) adapter_->presetLoaded();
        notifyListener(kPresetChanged, 0);
    }
    return loaded;
}

bool GenericPlugin::loadDefaultPreset() {
    PresetRecord preset;
    if (!findPreset(getDefaultPresetName(), preset)) return false;
    defaultPresetLoad_ = true;
    bool loaded = loadPreset(preset);
    defaultPresetLoad_ = false;
    return loaded;
}

bool GenericPlugin::savePreset(const PresetRecord& preset) {
    if (!savePresetFile(preset)) return false;
    presetState_.setRecord(preset);
    presetState_.setModified(false);
    if (adapter_) adapter_->presetLoaded();
    notifyListener(kPresetChanged, 0);
    return true;
}

void GenericPlugin::renamePreset(const std::string& name, size_t length) {
    // Hosts may hand back a shortened name: a current name that starts the same is kept whole.
    std::string given = name.substr(0, std::min(length, name.size()));
    if (presetState_.record().name.substr(0, length) == given) return;
    PresetRecord found;
    presetState_.setRecord({given, findPreset(given, found) ? found.path : std::string()});
}

// --- Undo, compare and virtual parameters ----------------------------------------------------------

void GenericPlugin::readPresetState(std::string& name, std::string& path, bool& modified) {
    PresetRecord record = presetState_.record();
    name = std::move(record.name);
    path = std::move(record.path);
    modified = presetState_.modified();
}

void GenericPlugin::writePresetState(const std::string& name, const std::string& path, bool modified) {
    presetState_.setRecord({name, path});
    presetState_.setModified(modified);
}

void GenericPlugin::pushResetMarker() { queueChange(ParameterChange{-1, 0.0f}); }

void GenericPlugin::presetRestored() {
    if (adapter_) adapter_->presetLoaded();
    notifyListener(kPresetChanged, 0);
}

int GenericPlugin::addVirtualParameter(MidiVirtualPluginParameter* parameter) {
    virtualParameters_.push_back(parameter);
    return static_cast<int>(virtualParameters_.size());
}

// --- Processing -------------------------------------------------------------------------------------

void GenericPlugin::setInputs(const float* const* inputs, int inputCount, int samples) {
    int channels = static_cast<int>(channels_.size());
    for (int i = 0; i < channels; ++i) {
        // A host that passes fewer buffers than expected gets silence, not a read past its array.
        const float* main = i < inputCount ? inputs[i] : nullptr;
        int side = sideChain_ ? i + channels : i;
        const float* sideChain = side < inputCount ? inputs[side] : nullptr;
        channels_[i]->input().setSource(main, samples);
        channels_[i]->sideChainInput().setSource(sideChain, samples);
    }
}

void GenericPlugin::getChannelOutputs(const float** outputs, int count, int samples) {
    int channels = static_cast<int>(channels_.size());
    for (int i = 0; i < count; ++i) {
        if (i < channels) {
            wave::Producer* p = channels_[i]->outputProducer();
            outputs[i] = p ? p->pull(samples, 0) : nullptr;
        } else {
            outputs[i] = environment_->zeroBuffer().samples();
        }
    }
}

void GenericPlugin::process(const float* const* inputs, int inputCount, float* const* outputs, int outputCount,
                            int samples) {
    assertAudioThread();
    ControlWordGuard controlWord;
    AudioThreadScope audioThread(*this);
    blockLength_ = samples;
    if (updateDepth_.load() == 0) applyParameterChanges();

    outputCount = std::clamp(outputCount, 0, 2);
    int maxBlock = environment_->maxBlockLength();
    setInputs(inputs, inputCount, samples);

    bool decoded = false;
    int pos = 0;
    MidiMessage message;
    while (pos < samples) {
        bool popped = midiQueue_.pop(message);
        int segmentEnd = popped ? std::clamp(message.offset, 0, samples) : samples;
        while (pos < segmentEnd) {
            int n = std::min(maxBlock, segmentEnd - pos);
            bypassProcessor_->process(pos, n, inputs, inputCount, outputs, outputCount);
            pos += n;
        }
        if (popped) {
            decoder_->receiveMidi(message);
            decoded = true;
            if (updateDepth_.load() == 0) applyParameterChanges();
        }
    }
    while (midiQueue_.pop(message)) {
        decoder_->receiveMidi(message);
        decoded = true;
    }
    if (decoded) notifyListener(kMidiReceived, 0);
}

void GenericPlugin::receiveMidi(const MidiMessage& message) {
    if (midiReceiveValue_.load(std::memory_order_relaxed) != MidiEnabled) return;
    midiQueue_.pushWithoutGrowing(message);
}

void GenericPlugin::setBypass(bool bypassed) {
    assertAudioThread();
    hostBypass_ = bypassed;
    bool now = isBypassed();
    if (now == bypassProcessor_->bypassed()) return;
    bypassProcessor_->setBypassed(now);
    if (!now) environment_->reset();
}

void GenericPlugin::reset() {
    assertAudioThread();
    ControlWordGuard controlWord;
    AudioThreadScope audioThread(*this);
    environment_->reset();
    bypassProcessor_->requestJump();
    musicalPosition_ = 0.0;
    blockLength_ = 0;
    if (updateDepth_.load() == 0) applyParameterChanges();
}

void GenericPlugin::setTransport(double tempo, float hostPosition) {
    assertAudioThread();
    if (std::fabs(hostPosition - lastHostPosition_) > kFloatEpsilon) {
        musicalPosition_ = hostPosition;
    } else {
        // The transport stands still: the clock runs on by the duration of the last block.
        float rate = environment_->sampleRate();
        if (rate > 0.0f) musicalPosition_ += blockLength_ * tempo / (rate * 60.0);
    }
    // Keep the clock inside one 256-quarter-note cycle, whatever position the host reports.
    musicalPosition_ = std::fmod(musicalPosition_, kMusicalWrap);
    if (musicalPosition_ < 0.0) musicalPosition_ += kMusicalWrap;
    lastHostPosition_ = hostPosition;
    transportChanged(tempo, musicalPosition_);
}
