#pragma once

#include <memory>
#include <vector>

#include "modulation/ModulationSlotHooks.h"

class AbstractParameterSetList;
class ModMatrixParamController;
class ModulationMatrix;
class ModulationMatrixParameterSet;
class ModulationSlotParameterSetList;
class ModulationTargetParameter;

// What owns a modulation matrix and its slot parameters: the plug-in. It keeps the parameter-based
// slot controller, the slot parameter sets and list, and a table of target parameters by target
// number; it also keeps the parameter lists' slots consistent (ModulationSlotHooks). The slot
// operations here work on parameters and run on the UI thread.
class ModulationMatrixOwner : public ModulationSlotHooks {
public:
    ModulationMatrixOwner();
    ~ModulationMatrixOwner() override;
    ModulationMatrixOwner(const ModulationMatrixOwner&) = delete;
    ModulationMatrixOwner& operator=(const ModulationMatrixOwner&) = delete;

    // The matrix of the engine; null while it does not exist yet.
    virtual ModulationMatrix* getMatrix() = 0;

    // UI thread. The parameter-based slot controller, created on first use.
    ModMatrixParamController& getController();
    // UI thread. level = level x a / b, then the same for every slot modulating this slot's level,
    // recursively.
    void scaleSlotLevel(int slot, float a, float b);
    // UI thread. scaleSlotLevel on every slot from the source whose target has the kind.
    void scaleSlotsForKind(int kind, int source, float a, float b);
    // UI thread. Every slot from the source to the target: scaleSlotLevel (4.2, 1).
    void scaleSlotsOfTargetFromSource(int target, int source);
    // UI thread. Every slot to the target from an envelope follower: scaleSlotLevel (1, 2).
    void halveEnvelopeFollowerSlots(int target);
    // UI thread. Copies the slot into a new one with level x |factor| (inverted when factor < 0), and
    // the slots modulating its level likewise onto the copy's level. The new slot, or -1.
    int duplicateSlot(int slot, float factor);
    // UI thread. Compacts and sorts the first count slots; the active count becomes the number of
    // used slots among them.
    void normalizeSlots(int count);
    // UI thread. Removes from the list every active set whose source no slot uses, last first.
    void removeSourcesWithoutSlots(AbstractParameterSetList& list, int firstSource);
    // UI thread. Every slot with source s gets table[s].
    void remapSources(const std::vector<int>& table);
    // UI thread. Every slot with target t gets table[t] when t < count, else slot 0's level target +
    // t - count.
    void remapTargets(int count, const std::vector<int>& table);

    // --- ModulationSlotHooks, UI thread ----------------------------------------------------------
    void clearSlotsOfTarget(int target, std::vector<int>& cleared) override;
    void clearSlotsOfSource(int source, std::vector<int>& cleared) override;
    void removeSlot(int slot) override;
    const AbstractParameterSetList* slotList() const override;
    int slotCount() const override;
    int slotSource(int slot) const override;
    void setSlotSource(int slot, int source) override;
    int slotTarget(int slot) const override;
    void setSlotTarget(int slot, int target) override;

    // --- registration, while the plug-in is built ------------------------------------------------
    void setSlotParameters(ModulationMatrixParameterSet* parameters) { slotParameters_ = parameters; }
    void setSlotSetList(ModulationSlotParameterSetList* list) { slotList_ = list; }
    void registerTargetParameter(int target, ModulationTargetParameter* parameter);

    ModulationMatrixParameterSet* slotParameters() const { return slotParameters_; }
    ModulationSlotParameterSetList* slotSetList() const { return slotList_; }
    // Null when no parameter has that target.
    ModulationTargetParameter* targetParameter(int target) const;

private:
    void scaleLevels(int slot, float a, float b, std::vector<bool>& seen);
    int duplicateInto(int slot, float factor, int depth);

    std::unique_ptr<ModMatrixParamController> controller_;
    ModulationMatrixParameterSet* slotParameters_ = nullptr;
    ModulationSlotParameterSetList* slotList_ = nullptr;
    std::vector<ModulationTargetParameter*> targetParameters_;
};
