#pragma once

// Descriptions an effect gives of itself: a collection of effects, each with names, categories,
// factory procedures, properties and processing components whose context fields the host lays out.

#include <map>
#include <memory>
#include <string>
#include <vector>

#include "host/aax/sdk/AAX_Types.h"

class AAX_CEffectGUI;
class AAX_CEffectParameters;
struct AAX_SRenderContext;

// The native processing callback: every instance context from begin to end.
using AAX_CRenderProc = void (*)(AAX_SRenderContext* const* begin, AAX_SRenderContext* const* end);
using AAX_CCreateParametersProc = AAX_CEffectParameters* (*)();
using AAX_CCreateGUIProc = AAX_CEffectGUI* (*)();

class AAX_CPropertyMap {
public:
    void AddProperty(int32_t property, AAX_CPropertyValue value) { values_[property] = value; }
    bool GetProperty(int32_t property, AAX_CPropertyValue& value) const;
    const std::map<int32_t, AAX_CPropertyValue>& values() const { return values_; }

private:
    std::map<int32_t, AAX_CPropertyValue> values_;
};

// One field of a processing context, as the component declares it.
struct AAX_SFieldDescription {
    enum Kind { AudioIn, AudioOut, BufferLength, SampleRate, MIDINode, DataInPort, PrivateData, SideChainIn };
    AAX_CFieldIndex index;
    Kind kind;
    int32_t size = 0;        // data-in ports and private data: bytes
    int32_t nodeType = 0;    // MIDI nodes: AAX_EMIDINodeType; data-in ports: port type
    uint32_t channelMask = 0;
    std::string name;        // MIDI nodes
};

class AAX_CComponentDescriptor {
public:
    struct ProcessProc {
        AAX_CRenderProc proc;
        AAX_CPropertyMap properties;
    };

    AAX_Result AddAudioIn(AAX_CFieldIndex field);
    AAX_Result AddAudioOut(AAX_CFieldIndex field);
    AAX_Result AddAudioBufferLength(AAX_CFieldIndex field);
    AAX_Result AddSampleRate(AAX_CFieldIndex field);
    AAX_Result AddSideChainIn(AAX_CFieldIndex field);
    AAX_Result AddMIDINode(AAX_CFieldIndex field, int32_t nodeType, const std::string& name, uint32_t channelMask);
    AAX_Result AddDataInPort(AAX_CFieldIndex field, int32_t size, int32_t portType);
    AAX_Result AddPrivateData(AAX_CFieldIndex field, int32_t size, int32_t options);
    AAX_CPropertyMap* NewPropertyMap();
    AAX_Result AddProcessProc_Native(AAX_CRenderProc proc, AAX_CPropertyMap* properties);

    const std::vector<AAX_SFieldDescription>& fields() const { return fields_; }
    const std::vector<ProcessProc>& processProcs() const { return procs_; }
    const AAX_SFieldDescription* field(AAX_CFieldIndex index) const;

private:
    AAX_Result add(AAX_SFieldDescription description);
    std::vector<AAX_SFieldDescription> fields_;
    std::vector<std::unique_ptr<AAX_CPropertyMap>> maps_;
    std::vector<ProcessProc> procs_;
};

class AAX_CEffectDescriptor {
public:
    AAX_Result AddName(const std::string& name);
    AAX_Result AddCategory(uint32_t category);
    AAX_Result AddProcPtr(void* proc, int32_t procID);
    AAX_CPropertyMap* NewPropertyMap();
    AAX_Result SetProperties(AAX_CPropertyMap* properties);
    AAX_CComponentDescriptor* NewComponentDescriptor();
    AAX_Result AddComponent(AAX_CComponentDescriptor* component);

    const std::vector<std::string>& names() const { return names_; }
    uint32_t categories() const { return categories_; }
    void* procPtr(int32_t procID) const;
    const AAX_CPropertyMap* properties() const { return properties_; }
    const std::vector<const AAX_CComponentDescriptor*>& components() const { return components_; }

private:
    std::vector<std::string> names_;
    uint32_t categories_ = 0;
    std::map<int32_t, void*> procs_;
    std::vector<std::unique_ptr<AAX_CPropertyMap>> maps_;
    const AAX_CPropertyMap* properties_ = nullptr;
    std::vector<std::unique_ptr<AAX_CComponentDescriptor>> ownedComponents_;
    std::vector<const AAX_CComponentDescriptor*> components_;
};

// What the host hands to the library's description entry point.
class AAX_CCollection {
public:
    virtual ~AAX_CCollection() = default;
    // Null when the host cannot create another descriptor.
    virtual AAX_CEffectDescriptor* NewDescriptor();
    AAX_Result AddEffect(const std::string& effectID, AAX_CEffectDescriptor* descriptor);
    AAX_Result SetManufacturerName(const std::string& name);
    AAX_Result AddPackageName(const std::string& name);
    AAX_Result SetPackageVersion(uint32_t version);

    const std::string& manufacturerName() const { return manufacturer_; }
    const std::vector<std::string>& packageNames() const { return packageNames_; }
    uint32_t packageVersion() const { return packageVersion_; }
    // Effect identifiers with their descriptors, in the order they were added.
    const std::vector<std::pair<std::string, const AAX_CEffectDescriptor*>>& effects() const { return effects_; }

private:
    std::string manufacturer_;
    std::vector<std::string> packageNames_;
    uint32_t packageVersion_ = 0;
    std::vector<std::unique_ptr<AAX_CEffectDescriptor>> descriptors_;
    std::vector<std::pair<std::string, const AAX_CEffectDescriptor*>> effects_;
};
