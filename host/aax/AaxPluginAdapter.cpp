#include "host/aax/AaxPluginAdapter.h"

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <cstring>
#include <exception>

#include "core/FloatEpsilon.h"
#include "gui/ModifierMap.h"
#include "host/aax/AaxWindowsEditor.h"
#include "persistence/GlobalSettings.h"

namespace {

AaxPluginAdapter::PluginFactory& factorySlot() {
    static AaxPluginAdapter::PluginFactory factory = nullptr;
    return factory;
}

// Who we are to the host, from the plug-in's version record.
struct Identity {
    std::string maker, product, suffix;
    int major;
    std::string fullName() const { return maker + " " + product + suffix; }
    std::string shortName() const { return product + suffix; }
    std::string effectId() const {
        std::string lower = maker;
        std::transform(lower.begin(), lower.end(), lower.begin(), [](unsigned char c) { return std::tolower(c); });
        return "com." + lower + "." + product + "." + std::to_string(major) + ".AAX";
    }
};

Identity identityOf(const GenericPlugin::VersionRecord& v) { return {v.makerName, v.productName, v.suffix(), v.major}; }

constexpr AAX_CTypeID kManufacturerId = AAX_FourChar("Brix");
constexpr double kStepScale = AaxPluginAdapter::kContinuousSteps - 1;  // 35999
constexpr double kTicksToBeats = 2.6041666666666667e-7;                // 1 / 3840000

uint32_t categoryOf(int category) {
    switch (category) {
        case 1: return AAX_ePlugInCategory_SWGenerators;
        case 2: return AAX_ePlugInCategory_Effect;
        case 3: return AAX_ePlugInCategory_Delay;
        case 4: return AAX_ePlugInCategory_Dynamics;
        case 5: return AAX_ePlugInCategory_EQ;
        case 6: return AAX_ePlugInCategory_Harmonic;
        default: return AAX_ePlugInCategory_None;
    }
}

int stepOf(double normalized) {
    return std::clamp(static_cast<int>((normalized + 0.5 / kStepScale) * kStepScale), 0, AaxPluginAdapter::kContinuousSteps - 1);
}

bool parseIndex(const AAX_CParamID& id, int& index) { return std::sscanf(id.c_str(), "%d", &index) == 1; }

void copyName(char (&field)[32], const char* name) {
    std::memset(field, 0, sizeof field);
    std::strncpy(field, name, sizeof field - 1);
}

struct Variant {
    bool monoToStereo;
    bool audioSuite;
};

AAX_Result describeVariant(AAX_CCollection& collection, GenericPlugin& plugin, const Identity& id, Variant v) {
    AAX_CEffectDescriptor* effect = collection.NewDescriptor();
    if (!effect) return AAX_ERROR_NULL_OBJECT;
    effect->AddName(id.fullName());
    effect->AddName(id.shortName());
    effect->AddCategory(categoryOf(plugin.getCategory()));
    effect->AddProcPtr(reinterpret_cast<void*>(+[]() -> AAX_CEffectParameters* { return new AaxPluginAdapter(); }), 0);
    effect->AddProcPtr(reinterpret_cast<void*>(&AaxWindowsEditor::create), 1);

    std::string tag = plugin.getChunkTag();
    tag.resize(4, ' ');
    char last = v.monoToStereo ? '1' : v.audioSuite ? '5' : tag[3];
    AAX_CTypeID pluginId = AAX_FourChar(tag[0], tag[1], tag[2], last);
    GenericPlugin::SharedSettings* shared = GenericPlugin::sharedSettings();
    bool correctIds = !shared || shared->correctDigiProductIds.get();
    AAX_CTypeID productId = correctIds ? AAX_FourChar(tag[0], tag[1], tag[2], tag[3]) : pluginId;

    AAX_CPropertyMap* properties = effect->NewPropertyMap();
    properties->AddProperty(AAX_eProperty_ManufacturerID, static_cast<AAX_CPropertyValue>(kManufacturerId));
    properties->AddProperty(AAX_eProperty_ProductID, static_cast<AAX_CPropertyValue>(productId));
    properties->AddProperty(AAX_eProperty_CanBypass, 1);
    properties->AddProperty(AAX_eProperty_UsesTransport, 1);
    properties->AddProperty(AAX_eProperty_LatencyContribution, 0x7fffffff);
    effect->SetProperties(properties);

    AAX_CComponentDescriptor* component = effect->NewComponentDescriptor();
    component->AddAudioIn(AaxPluginAdapter::kAudioIn);
    component->AddAudioOut(AaxPluginAdapter::kAudioOut);
    component->AddAudioBufferLength(AaxPluginAdapter::kBufferLength);
    component->AddSampleRate(AaxPluginAdapter::kSampleRate);
    component->AddMIDINode(AaxPluginAdapter::kMidiInput, AAX_eMIDINodeType_LocalInput, id.fullName(), 0xffff);
    component->AddMIDINode(AaxPluginAdapter::kMidiTransport, AAX_eMIDINodeType_Transport, id.fullName(), 0xffff);
    component->AddDataInPort(AaxPluginAdapter::kBypassPort, 4, 1);
    component->AddDataInPort(AaxPluginAdapter::kAdapterPort, 8, 1);
    component->AddPrivateData(AaxPluginAdapter::kResetRequest, 4, 0);
    if (plugin.hasSideChain() && plugin.sideChainEnabled()) component->AddSideChainIn(AaxPluginAdapter::kSideChainIn);

    AAX_CPropertyMap* procProperties = component->NewPropertyMap();
    procProperties->AddProperty(AAX_eProperty_InputStemFormat, v.monoToStereo ? AAX_eStemFormat_Mono : AAX_eStemFormat_Stereo);
    procProperties->AddProperty(AAX_eProperty_OutputStemFormat, AAX_eStemFormat_Stereo);
    if (v.audioSuite) {
        procProperties->AddProperty(AAX_eProperty_PlugInID_AudioSuite, static_cast<AAX_CPropertyValue>(pluginId));
        if (!v.monoToStereo) procProperties->AddProperty(AAX_eProperty_MultiMonoSupport, 1);
    } else {
        procProperties->AddProperty(AAX_eProperty_PlugInID_Native, static_cast<AAX_CPropertyValue>(pluginId));
    }
    if (AAX_Result r = component->AddProcessProc_Native(&AaxPluginAdapter::renderAudio, procProperties)) return r;
    if (AAX_Result r = effect->AddComponent(component)) return r;

    std::string effectId = id.effectId() + (v.audioSuite ? ".AS" : v.monoToStereo ? ".MonoToStereo" : "");
    return collection.AddEffect(effectId, effect);
}

}  // namespace

void AaxPluginAdapter::setPluginFactory(PluginFactory factory) { factorySlot() = factory; }

AaxPluginAdapter::PluginFactory AaxPluginAdapter::pluginFactory() { return factorySlot(); }

AAX_Result GetEffectDescriptions(AAX_CCollection& collection) {
    AaxPluginAdapter::PluginFactory factory = AaxPluginAdapter::pluginFactory();
    if (!factory) return AAX_ERROR_NULL_OBJECT;
    try {
        std::unique_ptr<GenericPlugin> plugin = factory();  // a temporary object to read the capabilities
        const GenericPlugin::VersionRecord* version = GenericPlugin::versionRecord();
        Identity id = identityOf(version ? *version : GenericPlugin::VersionRecord{});
        for (Variant v : {Variant{false, false}, Variant{false, true}, Variant{true, false}}) {
            if (v.audioSuite && !plugin->isEffect()) continue;
            if (AAX_Result r = describeVariant(collection, *plugin, id, v)) return r;
        }
        collection.SetManufacturerName(id.maker);
        collection.AddPackageName(id.fullName());
        collection.AddPackageName(id.shortName());
        collection.SetPackageVersion(static_cast<uint32_t>(id.major));
        // The modifier keys of edits follow the host's conventions unless the user turned that off.
        if (readUseHostShortcuts(version ? *version : GenericPlugin::VersionRecord{}))
            gui::ModifierMap::useHostShortcuts();
        else
            gui::ModifierMap::useDefaults();
        return AAX_SUCCESS;
    } catch (const std::exception&) {
        return AAX_ERROR_NULL_OBJECT;  // nothing may cross the host boundary
    }
}

// --- The instance -----------------------------------------------------------------------------------

AaxPluginAdapter::AaxPluginAdapter() : hostInterface_(*this) {}

AaxPluginAdapter::~AaxPluginAdapter() {
    worker_.reset();
    if (plugin_) plugin_->setAdapter(nullptr);
}

AAX_Result AaxPluginAdapter::Uninitialize() {
    if (worker_) worker_->stop();
    return AAX_SUCCESS;
}

void AaxPluginAdapter::HostInterface::latencyChanged() {
    if (owner_.Controller() && owner_.plugin_) owner_.Controller()->SetSignalLatency(owner_.plugin_->latency());
}

void AaxPluginAdapter::HostInterface::parametersChanged(int index) {
    GenericPlugin* plugin = owner_.plugin_.get();
    if (!plugin) return;
    int first = index < 0 ? 0 : index;
    int last = index < 0 ? plugin->getParameterCount() - 1 : index;
    for (int i = first; i <= last; ++i) {
        AbstractPluginParameter* p = plugin->getParameter(i);
        if (p) owner_.SetParameterNormalizedValue(std::to_string(i), p->plainToNormalized(p->value()));
    }
}

AAX_Result AaxPluginAdapter::EffectInit() {
    AAX_IController* controller = Controller();
    AAX_EStemFormat in = AAX_eStemFormat_Stereo, out = AAX_eStemFormat_Stereo;
    controller->GetInputStemFormat(in);
    controller->GetOutputStemFormat(out);
    monoInput_ = in == AAX_eStemFormat_Mono && out != AAX_eStemFormat_Mono;

    PluginFactory factory = pluginFactory();
    if (!factory) return AAX_ERROR_NULL_OBJECT;
    try {
        plugin_ = factory();
    } catch (const std::exception&) {
        plugin_.reset();
        return AAX_ERROR_NULL_OBJECT;  // a failed start-up must not throw into the host
    }
    plugin_->setAdapter(&hostInterface_);
    hostInputCount_ = (monoInput_ ? 1 : 2) + (plugin_->hasSideChain() && plugin_->sideChainEnabled() ? 1 : 0);

    float rate = 0.0f;
    if (controller->GetSampleRate(rate) == AAX_SUCCESS && rate > 0.0f) plugin_->setSampleRate(rate);

    auto bypass = std::make_unique<AAX_CParameter<bool>>(kMasterBypassID, "Master Bypass", false,
                                                         std::make_unique<AAX_CBinaryTaperDelegate>(),
                                                         std::make_unique<AAX_CBinaryDisplayDelegate>("bypass", "on"), true);
    bypass->SetNumberOfSteps(2);
    bypass->SetType(AAX_eParameterType_Discrete);
    parameterManager_.AddParameter(std::move(bypass));
    RegisterPacket(kMasterBypassID, kBypassPort, [](const AAX_IParameter& p, uint8_t (&bytes)[kMaxPacketBytes]) {
        int32_t value = p.GetValueAsDouble() != 0.0 ? 1 : 0;
        std::memcpy(bytes, &value, sizeof value);
        return static_cast<uint32_t>(sizeof value);
    });

    for (int i = 0; i < plugin_->getParameterCount(); ++i) {
        AbstractPluginParameter& p = *plugin_->getParameter(i);
        std::string id = std::to_string(i);
        if (p.kind() == AbstractPluginParameter::Indexed) {
            long range = static_cast<long>(p.maxValue() - p.minValue());
            auto host = std::make_unique<AAX_CParameter<long>>(
                id, p.name(), static_cast<long>(p.value() - p.minValue()),
                std::make_unique<AAX_CStateTaperDelegate<long>>(0L, range),
                std::make_unique<ParamDisplayDelegate<long>>(p), p.automatable());
            host->SetNumberOfSteps(static_cast<int32_t>(range + 1));
            host->SetType(AAX_eParameterType_Discrete);
            parameterManager_.AddParameter(std::move(host));
        } else {
            auto host = std::make_unique<AAX_CParameter<float>>(id, p.name(), p.value(),
                                                                std::make_unique<ParamTaperDelegate<float>>(p),
                                                                std::make_unique<ParamDisplayDelegate<float>>(p),
                                                                p.automatable());
            host->SetNumberOfSteps(kContinuousSteps);
            host->SetType(AAX_eParameterType_Continuous);
            parameterManager_.AddParameter(std::move(host));
        }
    }

    AaxPluginAdapter* self = this;
    controller->PostPacket(kAdapterPort, &self, sizeof self);
    controller->SetSignalLatency(plugin_->latency());
    fallbackTransport_ = Transport();
    worker_ = std::make_unique<PluginWorker>(*plugin_, PluginWorker::DeferredWork);
    worker_->start();
    return AAX_SUCCESS;
}

AAX_Result AaxPluginAdapter::UpdateParameterNormalizedValue(const AAX_CParamID& id, double value,
                                                            AAX_EUpdateSource source) {
    int index;
    AbstractPluginParameter* p = plugin_ && parseIndex(id, index) ? plugin_->getParameter(index) : nullptr;
    if (p) {
        // The host echoes our own SetParameterNormalizedValue: a value within the same step as the
        // current one is that echo, not a change.
        bool echo = p->kind() == AbstractPluginParameter::Continuous &&
                    stepOf(p->plainToNormalized(p->value())) == stepOf(value);
        if (!echo) p->setValue(p->normalizedToPlain(static_cast<float>(value)), FromHost);
    }
    return AAX_CEffectParameters::UpdateParameterNormalizedValue(id, value, source);
}

AAX_Result AaxPluginAdapter::ResetFieldData(AAX_CFieldIndex field, void* data, uint32_t size) const {
    if (!data) return AAX_SUCCESS;
    std::memset(data, 0, size);
    if (field == kResetRequest && size == 4) {
        int32_t request = 1;
        std::memcpy(data, &request, 4);
    }
    return AAX_SUCCESS;
}

// --- Chunks -----------------------------------------------------------------------------------------

AAX_Result AaxPluginAdapter::GetNumberOfChunks(int32_t& count) const {
    count = 2;
    return AAX_SUCCESS;
}

AAX_Result AaxPluginAdapter::GetChunkIDFromIndex(int32_t index, AAX_CTypeID& id) const {
    switch (index) {
        case 0: id = kControlsChunk; return AAX_SUCCESS;
        case 1: id = kPresetNameChunk; return AAX_SUCCESS;
        default: id = 0; return AAX_ERROR_INVALID_CHUNK_INDEX;
    }
}

const std::string& AaxPluginAdapter::entryName(const AAX_IParameter& parameter) {
    static const std::string bypass = kMasterBypassID, positional;
    return parameter.Identifier() == kMasterBypassID ? bypass : positional;
}

void AaxPluginAdapter::rebuildControlsChunk(AAX_CChunkDataParser& parser) const {
    parser.Clear();
    for (int i = 0; i < parameterManager_.NumParameters(); ++i) {
        const AAX_IParameter& p = *parameterManager_.GetParameter(i);
        if (p.valueType() == AAX_IParameter::Float)
            parser.AddDouble(entryName(p), p.GetValueAsDouble());
        else
            parser.AddInt32(entryName(p), static_cast<int32_t>(p.GetValueAsDouble()));
    }
}

AAX_Result AaxPluginAdapter::GetChunkSize(AAX_CTypeID id, uint32_t& size) const {
    if (id == kPresetNameChunk) {
        size = kPresetNameChunkSize;
        return AAX_SUCCESS;
    }
    if (id == kControlsChunk) {
        AAX_CChunkDataParser parser;
        rebuildControlsChunk(parser);
        chunkSize_ = static_cast<uint32_t>(parser.GetChunkDataSize());
        size = chunkSize_;
        return AAX_SUCCESS;
    }
    size = 0;
    return AAX_ERROR_INVALID_CHUNK_ID;
}

AAX_Result AaxPluginAdapter::GetChunk(AAX_CTypeID id, AAX_SPlugInChunk& chunk) const {
    if (id == kPresetNameChunk) {
        chunk.fSize = kPresetNameChunkSize;
        chunk.fChunkID = id;
        copyName(chunk.fName, "Brixholde Preset Name");
        chunk.fData.assign(kPresetNameChunkSize, 0);
        const std::string name = plugin_ ? plugin_->presetState().record().name : std::string();
        std::memcpy(chunk.fData.data(), name.data(), std::min<size_t>(name.size(), kPresetNameBytes));
        return AAX_SUCCESS;
    }
    if (id == kControlsChunk) {
        AAX_CChunkDataParser parser;
        rebuildControlsChunk(parser);
        std::vector<uint8_t> data = parser.GetChunkData();
        if (data.empty() || data.size() != chunkSize_) return AAX_ERROR_INCORRECT_CHUNK_SIZE;
        chunk.fSize = static_cast<int32_t>(data.size());
        chunk.fVersion = parser.GetChunkVersion();
        chunk.fChunkID = id;
        copyName(chunk.fName, "Complete Controls State");
        chunk.fData = std::move(data);
        return AAX_SUCCESS;
    }
    return AAX_ERROR_INVALID_CHUNK_ID;
}

AAX_Result AaxPluginAdapter::SetChunk(AAX_CTypeID id, const AAX_SPlugInChunk& chunk) {
    if (!plugin_) return AAX_ERROR_NULL_OBJECT;
    if (id == kPresetNameChunk) {
        // Host data: read at most the name field, whatever the chunk claims, and terminate it.
        char name[kPresetNameBytes] = {};
        std::memcpy(name, chunk.fData.data(), std::min<size_t>(chunk.fData.size(), kPresetNameBytes));
        name[kPresetNameBytes - 1] = '\0';
        plugin_->renamePreset(name, kPresetNameBytes - 1);
        return AAX_SUCCESS;
    }
    if (id != kControlsChunk) return AAX_ERROR_INVALID_CHUNK_ID;

    AAX_CChunkDataParser parser;
    if (!parser.LoadChunk(chunk.fData.data(), chunk.fData.size())) return AAX_ERROR_INVALID_ARGUMENT;
    plugin_->beginUpdate();
    for (int i = 0; i < parameterManager_.NumParameters(); ++i) {
        AAX_IParameter& host = *parameterManager_.GetParameter(i);
        double value;
        int32_t whole;
        bool found = host.valueType() == AAX_IParameter::Float ? parser.FindDouble(entryName(host), value)
                                                                : (parser.FindInt32(entryName(host), whole) && ((value = whole), true));
        if (!found) continue;
        host.SetValueFromDouble(value);
        int index;
        if (parseIndex(host.Identifier(), index)) {
            if (AbstractPluginParameter* p = plugin_->getParameter(index)) {
                float plain = static_cast<float>(value) +
                              (p->kind() == AbstractPluginParameter::Indexed ? p->minValue() : 0.0f);
                p->setValue(plain, FromHost);
            }
        }
        AAX_CEffectParameters::UpdateParameterNormalizedValue(host.Identifier(), host.GetNormalizedValue(),
                                                              AAX_eUpdateSource_Chunk);
    }
    plugin_->endUpdate();
    return AAX_SUCCESS;
}

AAX_Result AaxPluginAdapter::CompareActiveChunk(const AAX_SPlugInChunk& chunk, bool& isEqual) const {
    isEqual = true;
    if (chunk.fChunkID == kPresetNameChunk) {
        char name[kPresetNameBytes + 1] = {};
        std::memcpy(name, chunk.fData.data(), std::min<size_t>(chunk.fData.size(), kPresetNameBytes));
        const std::string current = plugin_ ? plugin_->presetState().record().name : std::string();
        isEqual = std::strncmp(name, current.c_str(), kPresetNameBytes) == 0;
        return AAX_SUCCESS;
    }
    if (chunk.fChunkID != kControlsChunk) return AAX_SUCCESS;
    AAX_CChunkDataParser parser;
    if (!parser.LoadChunk(chunk.fData.data(), chunk.fData.size())) {
        isEqual = false;
        return AAX_SUCCESS;
    }
    for (int i = 0; i < parameterManager_.NumParameters() && isEqual; ++i) {
        const AAX_IParameter& host = *parameterManager_.GetParameter(i);
        if (host.valueType() == AAX_IParameter::Float) {
            double value;
            isEqual = parser.FindDouble(entryName(host), value) &&
                      static_cast<float>(value) == static_cast<float>(host.GetValueAsDouble());
        } else {
            int32_t value;
            isEqual = parser.FindInt32(entryName(host), value) && value == static_cast<int32_t>(host.GetValueAsDouble());
        }
    }
    return AAX_SUCCESS;
}

AAX_Result AaxPluginAdapter::GetCustomData(int32_t block, uint32_t size, void* data, uint32_t& written) const {
    written = 0;
    if (block != 0 || size != sizeof(GenericPlugin*) || !data) return AAX_ERROR_UNIMPLEMENTED;
    GenericPlugin* p = plugin_.get();
    std::memcpy(data, &p, sizeof p);
    written = sizeof p;
    return AAX_SUCCESS;
}

// --- Processing -------------------------------------------------------------------------------------

void AaxPluginAdapter::renderAudio(AAX_SRenderContext* const* begin, AAX_SRenderContext* const* end) {
    for (AAX_SRenderContext* const* c = begin; c != end; ++c) {
        if (!*c) continue;
        AaxPluginAdapter* const* adapter = (*c)->get<AaxPluginAdapter*>(kAdapterPort);
        if (adapter && *adapter && (*adapter)->plugin_) (*adapter)->render(**c);
    }
}

AAX_Result AaxPluginAdapter::TimerWakeup() {
    if (plugin_) plugin_->deliverParameterReports();
    return AAX_SUCCESS;
}

void AaxPluginAdapter::render(const AAX_SRenderContext& context) {
    GenericPlugin& plugin = *plugin_;
    GenericPlugin::AudioThreadScope audioThread(plugin);
    const int32_t* length = context.get<int32_t>(kBufferLength);
    float* const* outputs = context.get<float*>(kAudioOut);
    const float* const* inputs = context.get<const float*>(kAudioIn);
    if (!length || !outputs || !inputs || *length < 0) return;

    const int32_t* bypass = context.get<int32_t>(kBypassPort);
    plugin.setBypass(bypass && *bypass != 0);

    if (const float* rate = context.get<float>(kSampleRate)) {
        if (*rate > 0.0f && std::fabs(*rate - plugin.environment().sampleRate()) > kFloatEpsilon) plugin.setSampleRate(*rate);
    }

    if (AAX_IMIDINode* const* node = context.get<AAX_IMIDINode*>(kMidiInput); node && *node) {
        if (const AAX_CMidiStream* stream = (*node)->GetNodeBuffer(); stream && stream->mBuffer) {
            for (uint32_t i = 0; i < stream->mBufferSize; ++i) {
                const AAX_CMidiPacket& packet = stream->mBuffer[i];
                if (packet.mLength == 0) continue;
                MidiMessage m;
                m.status = packet.mData[0];
                m.data1 = packet.mLength >= 2 ? packet.mData[1] : 0;
                m.data2 = packet.mLength >= 3 ? packet.mData[2] : 0;
                m.offset = static_cast<int32_t>(packet.mTimestamp);
                plugin.receiveMidi(m);
            }
        }
    }

    const AAX_ITransport* transport = nullptr;
    if (AAX_IMIDINode* const* node = context.get<AAX_IMIDINode*>(kMidiTransport); node && *node)
        transport = (*node)->GetTransport();
    if (!transport) transport = fallbackTransport_;
    double tempo = 120.0, position = 0.0;
    if (transport) {
        int32_t numerator = 4, denominator = 4, bars = 0, beats = 1;
        int64_t ticks = 0;
        transport->GetCurrentTempo(tempo);
        transport->GetCurrentMeter(numerator, denominator);
        transport->GetBarBeatPosition(bars, beats, ticks, 0);
        if (denominator <= 0) denominator = 4;
        double meterBeats = (static_cast<double>(bars) * numerator + beats - 1) + denominator * ticks * kTicksToBeats;
        // Beats of the meter to quarter notes: a 6/8 bar is three quarter notes; 4/4 is unchanged.
        position = meterBeats * 4.0 / denominator;
    }
    plugin.setTransport(static_cast<float>(tempo), static_cast<float>(position));

    if (int32_t* reset = context.get<int32_t>(kResetRequest); reset && *reset) {
        plugin.reset();
        *reset = 0;
    }

    int n = plugin.channelCount();
    int count = 0;
    if (plugin.isEffect()) {
        int k = monoInput_ ? 0 : n - 1;
        for (int i = 0; i < n && count < static_cast<int>(inputList_.size()); ++i) inputList_[count++] = inputs[std::min(i, k)];
        if (plugin.hasSideChain() && plugin.sideChainEnabled()) {
            const int32_t* side = context.get<int32_t>(kSideChainIn);
            // A side-chain index outside the host's inputs reads as silence.
            const float* sideChain = side && *side >= 0 && *side < hostInputCount_ ? inputs[*side] : nullptr;
            for (int i = 0; i < n && count < static_cast<int>(inputList_.size()); ++i) inputList_[count++] = sideChain;
        }
    }
    plugin.process(inputList_.data(), count, outputs, n, *length);
    if (worker_) worker_->wakeIfNeeded();
}
