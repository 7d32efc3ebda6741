#pragma once

#include "core/Property.h"
#include "framework/GenericPlugin.h"

// The per-instance editor preferences.
class LorimaneSettings : public GenericPlugin::Settings {
public:
    explicit LorimaneSettings(const GenericPlugin::VersionRecord& version)
        : GenericPlugin::Settings(version),
          expandedSection(this, -1),
          interfaceLayout(this, 0, 0, 1),
          showModulation(this, false) {}

    // Reads or stores the three preferences, in this order; the layout stays within 0..1.
    void serialize(SettingSerializer& serializer) override;

    Property<int> expandedSection;         // "ExpandedSection": the expanded editor section, -1 none
    LimitedProperty<int> interfaceLayout;  // "InterfaceLayout": 0 normal, 1 wide
    Property<bool> showModulation;         // "ShowModulation": the modulation section is shown

    static constexpr const char* kExpandedSectionKey = "ExpandedSection";
    static constexpr const char* kInterfaceLayoutKey = "InterfaceLayout";
    static constexpr const char* kShowModulationKey = "ShowModulation";
};
