#pragma once

#include "modulation/ModulationMatrix.h"

// The slot interface over the matrix's own records, used by the slot parameters on the audio thread
// and by the matrix's validity checks. Batches do nothing: every change takes effect at once.
// Audio thread. Never blocks or allocates.
class InternalController : public ModulationMatrix::Controller {
public:
    explicit InternalController(ModulationMatrix& matrix);

    void beginUpdate() override {}
    int allocateSlot() override { return findFreeSlot(); }
    void endUpdate() override {}
    bool isBypassed(int slot) override;
    bool isInverted(int slot) override;
    // The base value of the slot's level target.
    float getLevel(int slot) override;
    int getSource(int slot) override;
    int getTarget(int slot) override;
    // In the order in which the slots joined the source.
    void findSlotsOfSource(int source, std::vector<int>& out) override;
    // In the order in which the slots joined the target.
    void findSlotsOfTarget(int target, std::vector<int>& out) override;
    void setBypassed(int slot, bool bypassed) override;
    void setInverted(int slot, bool inverted) override;
    // Sets the level target's base value; its ramp follows with the automatic time.
    void setLevel(int slot, float level) override;
    void setSource(int slot, int source) override;
    void setTarget(int slot, int target) override;
    // Walks the target records' slot lists directly.
    void visitTarget(int target) override;

private:
    ModulationMatrix& records_;
};
