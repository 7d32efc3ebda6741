#pragma once

#include <string>

#include "framework/GenericPlugin.h"
#include "modulation/ModulationLayout.h"
#include "modulation/ModulationMatrixOwner.h"

class ModulationMatrix;

// The plug-in base of effects with a modulation matrix. It gives the matrix the fixed set-up of the
// modulation layout (target kinds, slot levels, source types and the sources' own targets).
class ModulationMatrixPlugin : public GenericPlugin, public ModulationMatrixOwner {
public:
    // Source types.
    enum SourceType {
        XYSource = modulationlayout::XYSource,
        XLFOSource = modulationlayout::XLFOSource,
        EGSource = modulationlayout::EGSource,
        EFSource = modulationlayout::EFSource,
        MidiSource = modulationlayout::MidiSource,
        SnappedXLFOSource = modulationlayout::SnappedXLFOSource
    };

    ModulationMatrixPlugin();
    ~ModulationMatrixPlugin() override;

    // [ui] The value the editor shows for a source; 0 here.
    virtual float getSourceDisplayValue(int source);
    // [audio] One batch of slot changes per drain of the parameter queue.
    void applyParameterChanges() override;

    // The layout's source and target names, comma-separated in numbering order.
    static std::string sourceNames();
    static std::string targetNames();

protected:
    // Construction: fills the target kinds and gives every target its kind, wires each slot to its
    // level target, sets the source types and registers the sources' own targets.
    static void configureMatrix(ModulationMatrix& matrix);
};
