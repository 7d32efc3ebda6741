#pragma once

#include <string>

#include "framework/GenericPlugin.h"
#include "modulation/ModulationMatrixOwner.h"

class ModulationMatrix;

// The plug-in base of effects with a modulation matrix. It also knows this system's numbering of
// sources and targets: their names and the matrix's fixed set-up (target kinds, slot levels, source
// types and the sources' own targets).
class ModulationMatrixPlugin : public GenericPlugin, public ModulationMatrixOwner {
public:
    // Source types.
    enum SourceType {
        XYSource = 0,
        XLFOSource = 1,
        EGSource = 2,
        EFSource = 3,
        MidiSource = 4,
        SnappedXLFOSource = 5
    };

    ModulationMatrixPlugin();
    ~ModulationMatrixPlugin() override;

    // [ui] The value the editor shows for a source; 0 here.
    virtual float getSourceDisplayValue(int source);
    // [audio] One batch of slot changes per drain of the parameter queue.
    void applyParameterChanges() override;

    // The 34 source names and the 107 target names, comma-separated in numbering order.
    static std::string sourceNames();
    static std::string targetNames();

protected:
    // Construction: fills the target kinds and gives every target its kind, wires slot i to its level
    // target 83 + i, sets the source types and registers the sources' own targets.
    static void configureMatrix(ModulationMatrix& matrix);
};
