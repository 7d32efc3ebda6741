#include "AaxTestHost.h"

#include <dlfcn.h>

#include <cstdio>
#include <cstring>
#include <sstream>

#include "gui/native/WindowSystem.h"
#include "gui/native/x11/X11Window.h"

namespace {

std::string propertyText(int32_t id, AAX_CPropertyValue value) {
    char buffer[64];
    bool fourChar = id == AAX_eProperty_ManufacturerID || id == AAX_eProperty_ProductID ||
                    id == AAX_eProperty_PlugInID_Native || id == AAX_eProperty_PlugInID_AudioSuite;
    if (fourChar)
        std::snprintf(buffer, sizeof buffer, "'%s'", AAX_FourCharText(static_cast<AAX_CTypeID>(value)).c_str());
    else
        std::snprintf(buffer, sizeof buffer, "%d", value);
    return buffer;
}

const char* fieldKind(AAX_SFieldDescription::Kind kind) {
    switch (kind) {
        case AAX_SFieldDescription::AudioIn: return "audio in";
        case AAX_SFieldDescription::AudioOut: return "audio out";
        case AAX_SFieldDescription::BufferLength: return "buffer length";
        case AAX_SFieldDescription::SampleRate: return "sample rate";
        case AAX_SFieldDescription::MIDINode: return "MIDI node";
        case AAX_SFieldDescription::DataInPort: return "data-in port";
        case AAX_SFieldDescription::PrivateData: return "private data";
        case AAX_SFieldDescription::SideChainIn: return "side-chain in";
    }
    return "?";
}

}  // namespace

// --- Host -------------------------------------------------------------------------------------------

AaxTestHost::AaxTestHost(DescribeFunction describe) : describe_(describe) {}

AaxTestHost::~AaxTestHost() {
    collection_.reset();
    if (library_) {
        if (shutdown_) shutdown_(nullptr);
        dlclose(library_);
    }
}

std::unique_ptr<AaxTestHost> AaxTestHost::load(const std::string& path, std::string& error) {
    void* library = dlopen(path.c_str(), RTLD_NOW | RTLD_LOCAL);
    if (!library) {
        error = dlerror();
        return nullptr;
    }
    std::unique_ptr<AaxTestHost> host(new AaxTestHost());
    host->library_ = library;
    auto find = [&](const char* name) { return dlsym(library, name); };
    const char* names[] = {"ACFRegisterPlugin", "ACFRegisterComponent", "ACFGetClassFactory", "ACFCanUnloadNow",
                           "ACFStartup",        "ACFShutdown",          "ACFGetSDKVersion"};
    for (const char* name : names) {
        if (!find(name)) {
            error = std::string("missing entry point ") + name;
            return nullptr;
        }
    }
    host->registerPlugin_ = reinterpret_cast<ACFRegisterPluginFn>(find("ACFRegisterPlugin"));
    host->shutdown_ = reinterpret_cast<ACFShutdownFn>(find("ACFShutdown"));
    uint64_t version = 0;
    reinterpret_cast<ACFGetSDKVersionFn>(find("ACFGetSDKVersion"))(&version);
    if (version != kAAXInterfaceVersion) {
        error = "library was built for another interface version";
        return nullptr;
    }
    if (reinterpret_cast<ACFStartupFn>(find("ACFStartup"))(nullptr) != AAX_SUCCESS) {
        error = "library start-up failed";
        host->shutdown_ = nullptr;
        return nullptr;
    }
    return host;
}

AAX_Result AaxTestHost::describe() {
    collection_ = std::make_unique<AAX_CCollection>();
    if (registerPlugin_) return registerPlugin_(nullptr, collection_.get());
    return describe_ ? describe_(*collection_) : AAX_ERROR_NULL_OBJECT;
}

std::unique_ptr<AaxTestHost::Instance> AaxTestHost::createInstance(size_t effect, float sampleRate, std::string& error) {
    if (!collection_ || effect >= collection_->effects().size()) {
        error = "no such effect";
        return nullptr;
    }
    auto instance = std::make_unique<Instance>(*collection_->effects()[effect].second, sampleRate);
    if (AAX_Result r = instance->initialize()) {
        error = "initialisation failed with " + std::to_string(r);
        return nullptr;
    }
    return instance;
}

std::string AaxTestHost::descriptionText() {
    std::ostringstream out;
    if (!collection_) describe();
    out << "manufacturer: " << collection_->manufacturerName() << "\n";
    for (const std::string& name : collection_->packageNames()) out << "package: " << name << "\n";
    out << "package version: " << collection_->packageVersion() << "\n";
    for (const auto& [id, effect] : collection_->effects()) {
        out << "effect " << id << "\n";
        for (const std::string& name : effect->names()) out << "  name: " << name << "\n";
        char category[16];
        std::snprintf(category, sizeof category, "0x%x", effect->categories());
        out << "  category: " << category << "\n";
        out << "  procs:";
        for (int proc = 0; proc < 2; ++proc) out << " " << proc << (effect->procPtr(proc) ? "=set" : "=none");
        out << "\n";
        if (effect->properties())
            for (auto [property, value] : effect->properties()->values())
                out << "  property " << property << " = " << propertyText(property, value) << "\n";
        for (const AAX_CComponentDescriptor* component : effect->components()) {
            out << "  component\n";
            for (const AAX_SFieldDescription& f : component->fields()) {
                out << "    field " << f.index << ": " << fieldKind(f.kind);
                if (f.kind == AAX_SFieldDescription::MIDINode)
                    out << " type " << f.nodeType << " mask 0x" << std::hex << f.channelMask << std::dec << " \"" << f.name << "\"";
                if (f.kind == AAX_SFieldDescription::DataInPort || f.kind == AAX_SFieldDescription::PrivateData)
                    out << " " << f.size << " bytes option " << f.nodeType;
                out << "\n";
            }
            for (const auto& proc : component->processProcs()) {
                out << "    native process proc\n";
                for (auto [property, value] : proc.properties.values())
                    out << "      property " << property << " = " << propertyText(property, value) << "\n";
            }
        }
    }
    if (!collection_->effects().empty()) {
        std::string error;
        auto instance = createInstance(0, 48000.0f, error);
        if (!instance) {
            out << "instance: " << error << "\n";
        } else {
            out << "parameters of " << collection_->effects()[0].first << "\n";
            const AAX_CParameterManager& params = instance->effect().parameters();
            for (int i = 0; i < params.NumParameters(); ++i) {
                const AAX_IParameter& p = *params.GetParameter(i);
                const char* type = p.valueType() == AAX_IParameter::Bool ? "bool" : p.valueType() == AAX_IParameter::Long ? "long" : "float";
                std::string text;
                p.GetValueString(text);
                char value[64];
                std::snprintf(value, sizeof value, "%.6g", p.GetValueAsDouble());
                out << "  " << p.Identifier() << " \"" << p.Name() << "\" " << type << " steps " << p.GetNumberOfSteps()
                    << (p.GetType() == AAX_eParameterType_Discrete ? " discrete" : " continuous")
                    << (p.Automatable() ? " automatable" : "") << " default " << value << " \"" << text << "\"\n";
            }
            out << "latency: " << instance->latency() << "\n";
        }
    }
    return out.str();
}

// --- Instance ---------------------------------------------------------------------------------------

AaxTestHost::Instance::Instance(const AAX_CEffectDescriptor& effect, float sampleRate)
    : effect_desc_(effect), sampleRate_(sampleRate) {
    pending_.reserve(1024);
    delivering_.reserve(1024);
    fieldData_.resize(AAX_SRenderContext::kMaxFields);
    if (effect.components().empty()) return;
    component_ = effect.components()[0];
    AAX_CPropertyValue inFormat = AAX_eStemFormat_Stereo;
    if (!component_->processProcs().empty()) {
        component_->processProcs()[0].properties.GetProperty(AAX_eProperty_InputStemFormat, inFormat);
        proc_ = component_->processProcs()[0].proc;
    }
    int mainInputs = inFormat == AAX_eStemFormat_Mono ? 1 : 2;
    bool sideChain = component_->field(5) && component_->field(5)->kind == AAX_SFieldDescription::SideChainIn;
    inputChannels_ = mainInputs + (sideChain ? 1 : 0);
    sideChainIndex_ = mainInputs;
    inputs_.assign(inputChannels_, nullptr);
    outputs_.assign(2, nullptr);
    midiTransport_.transport = this;

    for (const AAX_SFieldDescription& f : component_->fields()) {
        if (f.index < 0 || f.index >= AAX_SRenderContext::kMaxFields) continue;
        void*& slot = context_.field[f.index];
        switch (f.kind) {
            case AAX_SFieldDescription::AudioIn: slot = inputs_.data(); break;
            case AAX_SFieldDescription::AudioOut: slot = outputs_.data(); break;
            case AAX_SFieldDescription::BufferLength: slot = &bufferLength_; break;
            case AAX_SFieldDescription::SampleRate: slot = &sampleRate_; break;
            case AAX_SFieldDescription::SideChainIn: slot = &sideChainIndex_; break;
            case AAX_SFieldDescription::MIDINode: {
                // The field holds a pointer to the node; keep that pointer in the field's storage.
                fieldData_[f.index].assign(sizeof(AAX_IMIDINode*), 0);
                AAX_IMIDINode* node = f.nodeType == AAX_eMIDINodeType_Transport ? static_cast<AAX_IMIDINode*>(&midiTransport_)
                                                                                 : static_cast<AAX_IMIDINode*>(&midiInput_);
                std::memcpy(fieldData_[f.index].data(), &node, sizeof node);
                slot = fieldData_[f.index].data();
                break;
            }
            case AAX_SFieldDescription::DataInPort:
            case AAX_SFieldDescription::PrivateData:
                fieldData_[f.index].assign(static_cast<size_t>(std::max(f.size, 0)), 0);
                slot = fieldData_[f.index].data();
                break;
        }
    }
}

AaxTestHost::Instance::~Instance() {
    // As hosts do: the instance stops its own threads before it goes, so none calls back into a
    // host object that is being torn down.
    if (effect_) effect_->Uninitialize();
    effect_.reset();
}

AAX_Result AaxTestHost::Instance::initialize() {
    auto create = reinterpret_cast<AAX_CCreateParametersProc>(effect_desc_.procPtr(0));
    if (!create || !component_ || !proc_) return AAX_ERROR_NULL_OBJECT;
    effect_.reset(create());
    for (const AAX_SFieldDescription& f : component_->fields())
        if (f.kind == AAX_SFieldDescription::PrivateData)
            effect_->ResetFieldData(f.index, fieldData_[f.index].data(), static_cast<uint32_t>(fieldData_[f.index].size()));
    return effect_->Initialize(this);
}

void AaxTestHost::Instance::setTransport(double bpm, int numerator, int denominator, int bars, int beats, int64_t ticks) {
    hasTransport_ = true;
    bpm_ = bpm;
    numerator_ = numerator;
    denominator_ = denominator;
    bars_ = bars;
    beats_ = beats;
    ticks_ = ticks;
}

void AaxTestHost::Instance::addMidi(uint8_t status, uint8_t data1, uint8_t data2, uint32_t offset, uint32_t length) {
    AAX_CMidiPacket p;
    p.mTimestamp = offset;
    p.mLength = length;
    p.mData[0] = status;
    p.mData[1] = data1;
    p.mData[2] = data2;
    pending_.push_back(p);
}

AAX_Result AaxTestHost::Instance::automate(const std::string& id, double normalized) {
    return effect_->UpdateParameterNormalizedValue(id, normalized, AAX_eUpdateSource_Parameter);
}

void AaxTestHost::Instance::requestReset() {
    if (component_ && component_->field(9))
        effect_->ResetFieldData(9, fieldData_[9].data(), static_cast<uint32_t>(fieldData_[9].size()));
}

void AaxTestHost::Instance::render(const float* const* inputs, float* const* outputs, int n) {
    effect_->GenerateCoefficients();
    delivering_.swap(pending_);
    pending_.clear();
    midiInput_.stream.mBuffer = delivering_.data();
    midiInput_.stream.mBufferSize = static_cast<uint32_t>(delivering_.size());
    for (int i = 0; i < inputChannels_; ++i) inputs_[i] = inputs[i];
    for (int i = 0; i < 2; ++i) outputs_[i] = outputs[i];
    bufferLength_ = n;
    AAX_SRenderContext* contexts[1] = {&context_};
    proc_(contexts, contexts + 1);
    delivering_.clear();
}

std::vector<AAX_SPlugInChunk> AaxTestHost::Instance::saveChunks(AAX_Result& result) {
    std::vector<AAX_SPlugInChunk> chunks;
    int32_t count = 0;
    result = effect_->GetNumberOfChunks(count);
    for (int32_t i = 0; i < count && result == AAX_SUCCESS; ++i) {
        AAX_CTypeID id;
        uint32_t size;
        if ((result = effect_->GetChunkIDFromIndex(i, id))) break;
        if ((result = effect_->GetChunkSize(id, size))) break;
        AAX_SPlugInChunk chunk;
        if ((result = effect_->GetChunk(id, chunk))) break;
        chunks.push_back(std::move(chunk));
    }
    return chunks;
}

AAX_Result AaxTestHost::Instance::restoreChunks(const std::vector<AAX_SPlugInChunk>& chunks) {
    for (const AAX_SPlugInChunk& chunk : chunks)
        if (AAX_Result r = effect_->SetChunk(chunk.fChunkID, chunk)) return r;
    return AAX_SUCCESS;
}

AAX_Result AaxTestHost::Instance::GetInputStemFormat(AAX_EStemFormat& format) const {
    format = inputChannels_ - (component_ && component_->field(5) ? 1 : 0) == 1 ? AAX_eStemFormat_Mono : AAX_eStemFormat_Stereo;
    return AAX_SUCCESS;
}

AAX_Result AaxTestHost::Instance::GetOutputStemFormat(AAX_EStemFormat& format) const {
    format = AAX_eStemFormat_Stereo;
    return AAX_SUCCESS;
}

AAX_Result AaxTestHost::Instance::GetSampleRate(float& rate) const {
    rate = sampleRate_;
    return AAX_SUCCESS;
}

AAX_Result AaxTestHost::Instance::SetSignalLatency(int32_t samples) {
    latency_ = samples;
    return AAX_SUCCESS;
}

AAX_Result AaxTestHost::Instance::PostPacket(AAX_CFieldIndex port, const void* data, uint32_t size) {
    const AAX_SFieldDescription* f = component_ ? component_->field(port) : nullptr;
    if (!f || f->kind != AAX_SFieldDescription::DataInPort || size > fieldData_[port].size()) return AAX_ERROR_INVALID_ARGUMENT;
    std::memcpy(fieldData_[port].data(), data, size);
    return AAX_SUCCESS;
}

AAX_Result AaxTestHost::Instance::SetParameterNormalizedValue(const AAX_CParamID& id, double value) {
    if (recordEdits_) hostEdits_.push_back({HostEdit::Value, id, value});
    // The host records the automation and answers with the value, as hosts do.
    return effect_ ? effect_->UpdateParameterNormalizedValue(id, value, AAX_eUpdateSource_Parameter) : AAX_ERROR_NULL_OBJECT;
}

AAX_Result AaxTestHost::Instance::GetCurrentTempo(double& bpm) const {
    bpm = bpm_;
    return AAX_SUCCESS;
}

AAX_Result AaxTestHost::Instance::GetCurrentMeter(int32_t& numerator, int32_t& denominator) const {
    numerator = numerator_;
    denominator = denominator_;
    return AAX_SUCCESS;
}

AAX_Result AaxTestHost::Instance::GetBarBeatPosition(int32_t& bars, int32_t& beats, int64_t& ticks, int64_t) const {
    bars = bars_;
    beats = beats_;
    ticks = ticks_;
    return AAX_SUCCESS;
}

AAX_Result AaxTestHost::Instance::TouchParameter(const AAX_CParamID& id) {
    if (recordEdits_) hostEdits_.push_back({HostEdit::Touch, id});
    return AAX_SUCCESS;
}

AAX_Result AaxTestHost::Instance::ReleaseParameter(const AAX_CParamID& id) {
    if (recordEdits_) hostEdits_.push_back({HostEdit::Release, id});
    return AAX_SUCCESS;
}

int AaxTestHost::Instance::openTouches() const {
    int open = 0;
    for (const HostEdit& e : hostEdits_) open += e.kind == HostEdit::Touch ? 1 : e.kind == HostEdit::Release ? -1 : 0;
    return open;
}

// --- Editor view ------------------------------------------------------------------------------------

namespace {

// The container window's own messages: the host draws nothing in it.
class ContainerEvents : public gui::native::WindowEvents {
public:
    void pointerMoved(const gui::native::PointerMessage&) override {}
    void buttonPressed(const gui::native::ButtonMessage&) override {}
    void buttonReleased(const gui::native::ButtonMessage&) override {}
    void wheelTurned(const gui::native::WheelMessage&) override {}
    void mouseInteractionCancelled() override {}
    void timerFired(int) override {}
    void paintRequested(const gui::Rect&) override {}
    void boundsChanged(const gui::Rect&) override {}
};

}  // namespace

AaxTestHost::EditorView::EditorView(Instance& instance, gui::native::WindowSystem& system, int32_t type)
    : instance_(instance), system_(system), type_(type), events_(std::make_unique<ContainerEvents>()) {}

AaxTestHost::EditorView::~EditorView() { close(); }

AAX_Result AaxTestHost::EditorView::open() {
    auto create = reinterpret_cast<AAX_CCreateGUIProc>(instance_.effect_desc_.procPtr(1));
    if (!create || !instance_.effect_) return AAX_ERROR_NULL_OBJECT;
    gui_.reset(create());
    if (!gui_) return AAX_ERROR_NULL_OBJECT;
    instance_.recordEdits_ = true;
    if (AAX_Result r = gui_->Initialize(instance_.effect_.get(), &instance_)) return r;
    AAX_Point size;
    if (AAX_Result r = gui_->GetViewSize(size)) return r;
    window_ = system_.createWindow(nullptr, gui::Rect{0, 0, int(size.horz), int(size.vert)}, *events_);
    return gui_->SetViewContainer(this);
}

void AaxTestHost::EditorView::close() {
    if (gui_) {
        gui_->SetViewContainer(nullptr);
        gui_->Uninitialize();
    }
    gui_.reset();
    window_.reset();
    instance_.recordEdits_ = false;
}

void* AaxTestHost::EditorView::GetPtr() {
    if (auto* x11 = dynamic_cast<gui::native::X11Window*>(window_.get())) return reinterpret_cast<void*>(x11->id());
    return window_.get();
}

AAX_Result AaxTestHost::EditorView::GetModifiers(uint32_t* modifiers) {
    if (!modifiers) return AAX_ERROR_NULL_OBJECT;
    *modifiers = modifiers_;
    return AAX_SUCCESS;
}

AAX_Result AaxTestHost::EditorView::SetViewSize(AAX_Point& size) {
    const int width = static_cast<int>(size.horz), height = static_cast<int>(size.vert);
    sizeRequests_.push_back({width, height, resizable_});
    if (!resizable_) return AAX_ERROR_UNIMPLEMENTED;
    if (window_) {
        const gui::Rect b = window_->bounds();
        window_->setBounds(gui::Rect::ofSize(b.left, b.top, width, height));
    }
    return AAX_SUCCESS;
}

AAX_Result AaxTestHost::EditorView::HandleParameterMouseDown(const AAX_CParamID& id, uint32_t modifiers) {
    mouseDowns_.push_back({id, modifiers});
    return mouseDownResult_;
}
