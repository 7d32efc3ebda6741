#pragma once

#include <memory>

#include "interface/modulation/ModulationArt.h"
#include "interface/modulation/SourceController.h"
#include "interface/sources/SourceLayout.h"

class LorimanePlugin;
class ModulationMatrixPluginInterface;

// The delay's modulation section: its five source kinds in menu order, their panels, the slot
// rows and buttons in the section's art, the source sets that own targets, and each kind's default
// component preset for a new source. [ui]
class LorimaneSourceFactory : public SourceController::Listener {
public:
    LorimaneSourceFactory(ModulationMatrixPluginInterface& editor, LorimanePlugin& plugin);

    // The section for the editor's plug-in, hidden until placed; none for another plug-in.
    static SourceController* buildSection(ModulationMatrixPluginInterface& editor);

    gui::Button* createSourceButton(int kind) override;
    LorimaneSourceInterface* createSourceInterface(int kind, int set) override;
    SlotInterface* createSlotInterface() override;
    bool applyDefaultPreset(int presetKind, int set) override;
    // The envelope's stage controls share one indicator on the envelope display.
    void showSet(LorimaneSourceInterface& panel, int set) override;

    const ModulationArt& art() const { return art_; }

private:
    ModulationMatrixPluginInterface& editor_;
    LorimanePlugin& plugin_;
    ModulationArt art_;
    SourceLayout layout_;
    SourceController* section_ = nullptr;
};
