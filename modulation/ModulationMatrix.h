#pragma once

#include <memory>
#include <utility>
#include <vector>

#include "core/Property.h"
#include "modulation/ModulationLayout.h"
#include "wave/FloatParameterSource.h"
#include "wave/Producer.h"
#include "wave/SmoothedValue.h"

class InternalController;

// Connects modulation sources to modulation targets through slots. Every target gets one signal per
// sample: its base value plus the sum of source x level over the active slots that modulate it,
// clamped to the target's limits. Slots that would feed a signal back into its own computation keep
// their settings but stay inactive. All record changes happen on the audio thread, while the plug-in
// drains its parameter queue; the records are sized at construction, so none of it allocates.
class ModulationMatrix : public wave::Component {
public:
    static constexpr int kSourceCount = modulationlayout::kSourceCount;
    static constexpr int kTargetCount = modulationlayout::kTargetCount;
    static constexpr int kSlotCount = modulationlayout::kSlotCount;
    static constexpr int kKindCount = modulationlayout::kKindCount;
    static constexpr int kFirstSlotLevelTarget = modulationlayout::kFirstSlotLevelTarget;

    // [audio] Told after the base value of a target that refers to it changed.
    class SecondaryTarget {
    public:
        virtual ~SecondaryTarget() = default;
        virtual void update() = 0;
    };

    struct SlotRecord {
        int slotNumber = 0;
        bool inverted = false;
        bool bypassed = false;
        int levelTarget = -1;  // this slot's own level target, -1 until wired
        ModulationMatrix* matrix = nullptr;
        int source = -1;
        int state = 0;  // 0 inactive, 1 active
        int target = -1;
    };

    struct SourceRecord {
        std::vector<SlotRecord*> slots;  // in joining order
        int sourceType = -1;
        std::vector<int> ownTargets;  // targets that are parameters of this source
    };

    // How a family of targets is modulated: the depth per unit of source signal (by source type)
    // and the limits of the modulated value.
    struct TargetKind {
        float defaultFactor = 1.0f;
        float maximum = 1.0f;
        float minimum = 0.0f;
        std::vector<std::pair<int, float>> sourceFactors;  // (source type, factor) exceptions

        float factorFor(int sourceType) const;
    };

    struct TargetRecord {
        TargetRecord(wave::Environment& environment, int number);

        std::vector<SlotRecord*> modulatingSlots;  // in joining order
        const TargetKind* kind = nullptr;
        SlotRecord* ownerSlot = nullptr;  // set for slot level targets
        float maximum = 1.0f;
        float minimum = 0.0f;
        int targetNumber;
        float scale = 1.0f;  // 1, or for a slot level target that slot's depth
        SecondaryTarget* secondaryTarget = nullptr;
        SmoothedValue baseRamp;  // scale x base value
        FloatParameterForwarder baseProducer;
        float baseValue = 0.0f;
    };

    // The slot interface shared by the record-based and the parameter-based controller. Out lists
    // are cleared first.
    class Controller {
    public:
        explicit Controller(ModulationMatrix* matrix);
        virtual ~Controller() = default;
        Controller(const Controller&) = delete;
        Controller& operator=(const Controller&) = delete;

        virtual void beginUpdate() = 0;
        // A slot to use for a new connection, or -1.
        virtual int allocateSlot() = 0;
        virtual void endUpdate() = 0;
        virtual bool isBypassed(int slot) = 0;
        virtual bool isInverted(int slot) = 0;
        // Engine level of the slot.
        virtual float getLevel(int slot) = 0;
        // -1 = none.
        virtual int getSource(int slot) = 0;
        // -1 = none.
        virtual int getTarget(int slot) = 0;
        // Slots whose source lies in [first, first + count).
        virtual void findSlotsBySource(int first, int count, std::vector<int>& out);
        virtual void findSlotsOfSource(int source, std::vector<int>& out);
        // Slots with a source and a target whose target has the kind (-1 any) and whose source has the
        // type (-1 any).
        virtual void findSlotsByType(int sourceType, int kind, std::vector<int>& out);
        virtual void findSlotsTargetingAny(const std::vector<int>& targets, std::vector<int>& out);
        // Slots whose target lies in [first, first + count).
        virtual void findSlotsByTarget(int first, int count, std::vector<int>& out);
        virtual void findSlotsOfTarget(int target, std::vector<int>& out);
        virtual void setBypassed(int slot, bool bypassed) = 0;
        virtual void setInverted(int slot, bool inverted) = 0;
        virtual void setLevel(int slot, float level) = 0;
        virtual void setSource(int slot, int source) = 0;
        virtual void setTarget(int slot, int target) = 0;
        // One step of the loop search: marks the target and visits every slot aimed at it.
        virtual void visitTarget(int target);

        // True when the slot has a level target, a source and a target, is not bypassed, and its
        // target does not feed, directly or through other slots, into its level or its source.
        // Never allocates.
        bool isSlotValid(int slot);
        // The first slot with neither source nor target, else the first invalid one, else -1.
        // Never allocates.
        int findFreeSlot();

        // The operations below build work lists as they go: [ui], on the parameter-based
        // controller.
        // In one batch: source, target, the default level, bypass and invert off.
        void connect(int slot, int source, int target);
        // Clears the slot and, recursively, every slot modulating the level of a cleared slot;
        // appends the cleared slot numbers.
        void clearSlot(int slot, std::vector<int>& cleared);
        void clearSlotsOfTarget(int target, std::vector<int>& cleared);
        // Clears the slots using the source and the slots aimed at the source's own targets.
        void clearSlotsOfSource(int source, std::vector<int>& cleared);
        void copySlot(int from, int to);
        // Exchanges the two slots' settings; modulations of either level follow their slot.
        void swapSlots(int a, int b);
        // Stable sort of the first count slots: with a source first, by source, with a target first,
        // by target. trackedSlot (may be null) follows its slot when it moves.
        void sortSlots(int count, int* trackedSlot);
        // Moves used slots in front of empty ones, keeping their order.
        void compactSlots();

        int slotCount() const { return kSlotCount; }
        ModulationMatrix* matrix() const { return matrix_; }
        // Construction: the matrix whose fixed wiring the loop search reads.
        void setMatrix(ModulationMatrix* matrix) { matrix_ = matrix; }
        // The level target of a slot, from the matrix's fixed wiring.
        int levelTargetOf(int slot) const;

        Property<float> defaultLevel;  // engine level of new connections

    protected:
        void visitSlot(int slot);
        void clearVisited();
        bool validSlot(int slot) const { return slot >= 0 && slot < kSlotCount; }

        ModulationMatrix* matrix_;
        std::vector<int> visited_;        // targets marked by the current loop search
        std::vector<int> visitPosition_;  // per target: position in visited_, -1 when unmarked
    };

    // Produces one target's modulated signal.
    class GlobalModulationProducer : public wave::Source {
    public:
        GlobalModulationProducer(ModulationMatrix& matrix, TargetRecord& target);
        // [audio] Never blocks or allocates.
        void produce(SampleBuffer& output, int count, int flags) override;
        TargetRecord& target() const { return target_; }

    private:
        ModulationMatrix& matrix_;
        TargetRecord& target_;
    };

    // The handle through which the engine and the sources read a modulated value.
    class GlobalTargetController : public wave::Source {
    public:
        GlobalTargetController(ModulationMatrix& matrix, GlobalModulationProducer& producer, int target);
        // [audio] Never blocks or allocates.
        void produce(SampleBuffer& output, int count, int flags) override;
        int targetNumber() const { return targetNumber_; }

    private:
        GlobalModulationProducer& producer_;
        ModulationMatrix& matrix_;
        int targetNumber_;
    };

    explicit ModulationMatrix(wave::Environment& environment);
    ~ModulationMatrix();
    ModulationMatrix(const ModulationMatrix&) = delete;
    ModulationMatrix& operator=(const ModulationMatrix&) = delete;

    // --- set-up, while the plug-in is built ----------------------------------------------------
    void setKind(int kind, float defaultFactor, float maximum, float minimum);
    void addSourceFactor(int kind, int sourceType, float factor);
    void setTargetKind(int target, int kind);
    // Wires the slot record to its own level target and makes the slot that target's owner.
    void wireSlotLevel(int slot, int target);
    void addOwnTarget(int source, int target);
    // Registers (or removes, with null) the producer whose output is the source's signal.
    void setSourceProducer(int source, wave::Producer* producer);
    void setSecondaryTarget(int target, SecondaryTarget* secondary);
    // Created on first request, the same object afterwards. Construction only (it allocates).
    GlobalTargetController* getTargetController(int target);

    // --- run time, audio thread ------------------------------------------------------------------
    // [audio] The source's type decides the depth of its slots on each target kind.
    void setSourceType(int source, int type);
    // [audio] The engine value of the target's parameter becomes its base value.
    void setTargetBaseValue(int target, float value);
    // [audio] The record-based controller through which the slot parameters write.
    InternalController& internalController() { return *internalController_; }
    // [audio] Slot changes between these calls are checked for loops once, when the outermost batch
    // ends, instead of once per change: a preset load changes some hundred slot parameters in one
    // block, and each check searches the whole matrix.
    void beginSlotBatch() { ++batchDepth_; }
    void endSlotBatch();

    // --- queries -------------------------------------------------------------------------------
    const SlotRecord& slotRecord(int slot) const { return slots_[std::size_t(slot)]; }
    const SourceRecord& sourceRecord(int source) const { return sources_[std::size_t(source)]; }
    const TargetRecord& targetRecord(int target) const { return *targets_[std::size_t(target)]; }
    const TargetKind& kind(int kind) const { return kinds_[std::size_t(kind)]; }
    // The kind number of a target, -1 when it has none.
    int targetKindNumber(int target) const;
    int sourceType(int source) const;
    wave::Producer* sourceProducer(int source) const;
    const std::vector<int>& ownTargets(int source) const;
    GlobalModulationProducer& targetProducer(int target) { return *targetProducers_[std::size_t(target)]; }
    bool isSlotActive(int slot) const { return validSlot(slot) && slots_[std::size_t(slot)].state == 1; }
    // The slot's current depth: the scale of its level target.
    float slotDepth(int slot) const;
    // True when at least one active slot modulates the target.
    bool hasActiveSlots(int target) const;

    static bool validSource(int source) { return source >= 0 && source < kSourceCount; }
    static bool validTarget(int target) { return target >= 0 && target < kTargetCount; }
    static bool validSlot(int slot) { return slot >= 0 && slot < kSlotCount; }

private:
    friend class InternalController;

    // Slot-record changes, reached through the internal controller.
    void changeSlotSource(int slot, int source);
    void changeSlotTarget(int slot, int target);
    void changeSlotBypassed(int slot, bool bypassed);
    void changeSlotInverted(int slot, bool inverted);

    void slotChanged(SlotRecord& slot, bool connectionChanged);
    void updateSlot(SlotRecord& slot, bool recomputeDepth);
    void updateOtherSlots(const SlotRecord& changed);
    void recomputeDepth(SlotRecord& slot);
    void applyLimits(TargetRecord& target);
    static void detach(std::vector<SlotRecord*>& list, SlotRecord* slot);

    std::unique_ptr<InternalController> internalController_;
    std::vector<std::unique_ptr<GlobalModulationProducer>> targetProducers_;
    std::vector<wave::Producer*> sourceProducers_;
    std::vector<std::unique_ptr<GlobalTargetController>> targetControllers_;
    std::vector<SlotRecord> slots_;
    std::vector<SourceRecord> sources_;
    std::vector<TargetKind> kinds_;
    std::vector<std::unique_ptr<TargetRecord>> targets_;
    int batchDepth_ = 0;
    std::vector<char> batchedSlots_;  // per slot: changed during the batch
    bool batchedConnection_ = false;  // a connection changed: every connected slot is checked again
};
