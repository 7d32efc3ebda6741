#include "host/aax/sdk/AAX_Descriptors.h"

#include <algorithm>

std::string AAX_FourCharText(AAX_CTypeID id) {
    std::string s(4, ' ');
    for (int i = 0; i < 4; ++i) s[i] = static_cast<char>((id >> (24 - 8 * i)) & 0xFF);
    return s;
}

bool AAX_CPropertyMap::GetProperty(int32_t property, AAX_CPropertyValue& value) const {
    auto it = values_.find(property);
    if (it == values_.end()) return false;
    value = it->second;
    return true;
}

namespace {
AAX_SFieldDescription makeField(AAX_CFieldIndex index, AAX_SFieldDescription::Kind kind) {
    AAX_SFieldDescription d;
    d.index = index;
    d.kind = kind;
    return d;
}
}  // namespace

AAX_Result AAX_CComponentDescriptor::add(AAX_SFieldDescription description) {
    if (description.index < 0 || field(description.index)) return AAX_ERROR_INVALID_ARGUMENT;
    fields_.push_back(std::move(description));
    return AAX_SUCCESS;
}

const AAX_SFieldDescription* AAX_CComponentDescriptor::field(AAX_CFieldIndex index) const {
    auto it = std::find_if(fields_.begin(), fields_.end(), [index](const auto& f) { return f.index == index; });
    return it == fields_.end() ? nullptr : &*it;
}

AAX_Result AAX_CComponentDescriptor::AddAudioIn(AAX_CFieldIndex f) { return add(makeField(f, AAX_SFieldDescription::AudioIn)); }
AAX_Result AAX_CComponentDescriptor::AddAudioOut(AAX_CFieldIndex f) { return add(makeField(f, AAX_SFieldDescription::AudioOut)); }
AAX_Result AAX_CComponentDescriptor::AddAudioBufferLength(AAX_CFieldIndex f) {
    return add(makeField(f, AAX_SFieldDescription::BufferLength));
}
AAX_Result AAX_CComponentDescriptor::AddSampleRate(AAX_CFieldIndex f) { return add(makeField(f, AAX_SFieldDescription::SampleRate)); }
AAX_Result AAX_CComponentDescriptor::AddSideChainIn(AAX_CFieldIndex f) {
    return add(makeField(f, AAX_SFieldDescription::SideChainIn));
}

AAX_Result AAX_CComponentDescriptor::AddMIDINode(AAX_CFieldIndex f, int32_t nodeType, const std::string& name,
                                                 uint32_t channelMask) {
    AAX_SFieldDescription d = makeField(f, AAX_SFieldDescription::MIDINode);
    d.nodeType = nodeType;
    d.name = name;
    d.channelMask = channelMask;
    return add(std::move(d));
}

AAX_Result AAX_CComponentDescriptor::AddDataInPort(AAX_CFieldIndex f, int32_t size, int32_t portType) {
    AAX_SFieldDescription d = makeField(f, AAX_SFieldDescription::DataInPort);
    d.size = size;
    d.nodeType = portType;
    return add(std::move(d));
}

AAX_Result AAX_CComponentDescriptor::AddPrivateData(AAX_CFieldIndex f, int32_t size, int32_t options) {
    AAX_SFieldDescription d = makeField(f, AAX_SFieldDescription::PrivateData);
    d.size = size;
    d.nodeType = options;
    return add(std::move(d));
}

AAX_CPropertyMap* AAX_CComponentDescriptor::NewPropertyMap() {
    maps_.push_back(std::make_unique<AAX_CPropertyMap>());
    return maps_.back().get();
}

AAX_Result AAX_CComponentDescriptor::AddProcessProc_Native(AAX_CRenderProc proc, AAX_CPropertyMap* properties) {
    if (!proc || !properties) return AAX_ERROR_NULL_OBJECT;
    procs_.push_back({proc, *properties});
    return AAX_SUCCESS;
}

AAX_Result AAX_CEffectDescriptor::AddName(const std::string& name) {
    names_.push_back(name);
    return AAX_SUCCESS;
}

AAX_Result AAX_CEffectDescriptor::AddCategory(uint32_t category) {
    categories_ |= category;
    return AAX_SUCCESS;
}

AAX_Result AAX_CEffectDescriptor::AddProcPtr(void* proc, int32_t procID) {
    procs_[procID] = proc;
    return AAX_SUCCESS;
}

void* AAX_CEffectDescriptor::procPtr(int32_t procID) const {
    auto it = procs_.find(procID);
    return it == procs_.end() ? nullptr : it->second;
}

AAX_CPropertyMap* AAX_CEffectDescriptor::NewPropertyMap() {
    maps_.push_back(std::make_unique<AAX_CPropertyMap>());
    return maps_.back().get();
}

AAX_Result AAX_CEffectDescriptor::SetProperties(AAX_CPropertyMap* properties) {
    properties_ = properties;
    return AAX_SUCCESS;
}

AAX_CComponentDescriptor* AAX_CEffectDescriptor::NewComponentDescriptor() {
    ownedComponents_.push_back(std::make_unique<AAX_CComponentDescriptor>());
    return ownedComponents_.back().get();
}

AAX_Result AAX_CEffectDescriptor::AddComponent(AAX_CComponentDescriptor* component) {
    if (!component) return AAX_ERROR_NULL_OBJECT;
    components_.push_back(component);
    return AAX_SUCCESS;
}

AAX_CEffectDescriptor* AAX_CCollection::NewDescriptor() {
    descriptors_.push_back(std::make_unique<AAX_CEffectDescriptor>());
    return descriptors_.back().get();
}

AAX_Result AAX_CCollection::AddEffect(const std::string& effectID, AAX_CEffectDescriptor* descriptor) {
    if (!descriptor) return AAX_ERROR_NULL_OBJECT;
    effects_.emplace_back(effectID, descriptor);
    return AAX_SUCCESS;
}

AAX_Result AAX_CCollection::SetManufacturerName(const std::string& name) {
    manufacturer_ = name;
    return AAX_SUCCESS;
}

AAX_Result AAX_CCollection::AddPackageName(const std::string& name) {
    packageNames_.push_back(name);
    return AAX_SUCCESS;
}

AAX_Result AAX_CCollection::SetPackageVersion(uint32_t version) {
    packageVersion_ = version;
    return AAX_SUCCESS;
}
