#include "engine/LorimaneSettings.h"

#include "streams/SettingSerializer.h"

void LorimaneSettings::serialize(SettingSerializer& s) {
    expandedSection = s.intValue(kExpandedSectionKey, expandedSection, expandedSection);
    // The limited property clamps what was stored.
    interfaceLayout = s.intValue(kInterfaceLayoutKey, interfaceLayout, interfaceLayout);
    showModulation = s.boolValue(kShowModulationKey, showModulation, showModulation);
}
