#pragma once

#include "modulation/ModulationMatrix.h"

class ModulationMatrixOwner;
class ModulationSlotParameterSet;

// The slot interface over the slot parameters, for the editor, the parameter lists and the preset
// loader. Setters call setValue, so the matrix hears of every change through the plug-in's queue and
// undo, presets and automation see them. Batches are the plug-in's. UI thread (or host thread).
class ModMatrixParamController : public ModulationMatrix::Controller {
public:
    explicit ModMatrixParamController(ModulationMatrixOwner& owner);

    void beginUpdate() override;
    // Makes the next slot of the list active and answers it; -1 when all slots are in use.
    int allocateSlot() override;
    void endUpdate() override;
    bool isBypassed(int slot) override;
    bool isInverted(int slot) override;
    // The engine value of the slot's level parameter.
    float getLevel(int slot) override;
    int getSource(int slot) override;
    int getTarget(int slot) override;
    void setBypassed(int slot, bool bypassed) override;
    void setInverted(int slot, bool inverted) override;
    // Sets the level parameter to the plain value whose engine value is the level.
    void setLevel(int slot, float level) override;
    void setSource(int slot, int source) override;
    void setTarget(int slot, int target) override;

private:
    ModulationSlotParameterSet* slotSet(int slot) const;

    ModulationMatrixOwner& owner_;
};
