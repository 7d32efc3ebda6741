// Lists whose sets own modulation targets or provide sources keep the matrix's slots consistent
// when a set is removed.
#include <gtest/gtest.h>

#include <string>
#include <utility>
#include <vector>

#include "FakeParameterOwner.h"
#include "framework/FloatPluginParameter.h"
#include "framework/IndexedPluginParameter.h"
#include "framework/PluginParameterSet.h"
#include "modulation/SourceParameterSetList.h"
#include "modulation/TargetParameterSetList.h"

namespace {

// A source's set: one value.
class XlfoSet : public PluginParameterSet {
public:
    XlfoSet(GenericParameterOwner* owner, const std::string& name)
        : PluginParameterSet(owner, name), value(this, parameterName(" Value")) {
        value.setRange(-1.0f, 1.0f, 0.0f);
    }

    FloatPluginParameter value;
};

// Slot sets of a small modulation matrix: source and target (0 none, else number + 1) and a level.
class SlotSet : public PluginParameterSet {
public:
    SlotSet(GenericParameterOwner* owner, const std::string& name)
        : PluginParameterSet(owner, name),
          source(this, name + " Source"),
          target(this, name + " Target"),
          level(this, name + " Level") {
        source.setIndexRange(0, 200, 0);
        target.setIndexRange(0, 200, 0);
        level.setRange(-1.0f, 1.0f, 0.0f);
    }
    IndexedPluginParameter<int> source;
    IndexedPluginParameter<int> target;
    FloatPluginParameter level;
};

constexpr int kSlots = 8;
constexpr int kFirstLevelTarget = 100;
constexpr int kFirstSource = 5;
constexpr int kFirstXlfoTarget = 10;

class SlotList : public TargetParameterSetList<SlotSet> {
public:
    SlotList(GenericParameterOwner* owner, ModulationSlotHooks* hooks)
        : TargetParameterSetList(owner, "Slots", hooks, kFirstLevelTarget, 1) {
        numActiveParameter().setIndexRange(0, kSlots, 0);
        for (int i = 1; i <= kSlots; ++i) createSet(owner, "Slot " + std::to_string(i));
    }
};

class XlfoList : public SourceParameterSetList<XlfoSet> {
public:
    XlfoList(GenericParameterOwner* owner, ModulationSlotHooks* hooks)
        : SourceParameterSetList(owner, "XLFOs", hooks, kFirstXlfoTarget, 2, kFirstSource, 1) {
        numActiveParameter().setIndexRange(0, 3, 0);
        for (int i = 1; i <= 3; ++i) createSet(owner, "XLFO " + std::to_string(i));
    }
};

// The slot operations the lists rely on, done on the slot parameters as the matrix's controller does.
class FakeMatrix : public ModulationSlotHooks {
public:
    explicit FakeMatrix(GenericParameterOwner* owner) : slots(owner, this), xlfos(owner, this) {}

    void connect(int slot, int source, int target) {
        if (slots.activeCount() <= slot) slots.numActiveParameter().setValue(float(slot + 1), 0);
        setSlotSource(slot, source);
        setSlotTarget(slot, target);
        slots.set(slot).level.setValue(0.5f, 0);
    }
    std::vector<std::pair<int, int>> activeSlots() {
        std::vector<std::pair<int, int>> result;
        for (int i = 0; i < slots.activeCount(); ++i) result.push_back({slotSource(i), slotTarget(i)});
        return result;
    }

    void clearSlot(int slot, std::vector<int>& cleared) {
        std::vector<int> work = {slot};
        while (!work.empty()) {
            int c = work.back();
            work.pop_back();
            setSlotSource(c, -1);
            setSlotTarget(c, -1);
            slots.set(c).level.setValue(0.0f, 0);
            cleared.push_back(c);
            for (int s = 0; s < kSlots; ++s)
                if (slotTarget(s) == kFirstLevelTarget + c) work.push_back(s);
        }
    }
    void clearSlotsOfTarget(int target, std::vector<int>& cleared) override {
        for (int s = 0; s < kSlots; ++s)
            if (slotTarget(s) == target) clearSlot(s, cleared);
    }
    void clearSlotsOfSource(int source, std::vector<int>& cleared) override {
        for (int s = 0; s < kSlots; ++s)
            if (slotSource(s) == source) clearSlot(s, cleared);
        int xlfo = source - kFirstSource;  // an XLFO owns two targets
        for (int k = 0; k < 2; ++k) clearSlotsOfTarget(kFirstXlfoTarget + 2 * xlfo + k, cleared);
    }
    void removeSlot(int slot) override { slots.removeAt(slot); }
    const AbstractParameterSetList* slotList() const override { return &slots; }
    int slotCount() const override { return kSlots; }
    int slotSource(int slot) const override { return int(slotsOf().set(slot).source.value()) - 1; }
    void setSlotSource(int slot, int source) override {
        slots.set(slot).source.setValue(float(source + 1), 0);
    }
    int slotTarget(int slot) const override { return int(slotsOf().set(slot).target.value()) - 1; }
    void setSlotTarget(int slot, int target) override {
        slots.set(slot).target.setValue(float(target + 1), 0);
    }

    SlotList slots;
    XlfoList xlfos;

private:
    SlotList& slotsOf() const { return const_cast<SlotList&>(slots); }
};

using Connections = std::vector<std::pair<int, int>>;

}  // namespace

TEST(ModulatedSetListTest, RemovingASourceTakesItsSlotsAlongAndTheOthersFollowTheirSets) {
    FakeParameterOwner owner;
    FakeMatrix matrix(&owner);
    matrix.xlfos.numActiveParameter().setValue(3.0f, 0);
    for (int i = 0; i < 3; ++i) matrix.xlfos.set(i).value.setValue(0.1f * float(i + 1), 0);
    matrix.connect(0, 5, 50);   // uses XLFO 1: goes
    matrix.connect(1, 6, 10);   // modulates XLFO 1's own target: goes
    matrix.connect(2, 6, 51);   // XLFO 2 becomes XLFO 1
    matrix.connect(3, 7, 14);   // XLFO 3 modulating XLFO 3's target: both move down
    matrix.connect(4, 6, 100);  // modulates slot 1's level: goes with it
    matrix.connect(5, 7, 102);  // modulates slot 3's level: follows that slot
    owner.clearRecords();

    matrix.xlfos.removeAt(0);

    EXPECT_EQ(matrix.xlfos.activeCount(), 2);
    EXPECT_FLOAT_EQ(matrix.xlfos.set(0).value.value(), 0.2f);
    EXPECT_FLOAT_EQ(matrix.xlfos.set(1).value.value(), 0.3f);
    EXPECT_FLOAT_EQ(matrix.xlfos.set(2).value.value(), 0.0f);
    EXPECT_EQ(matrix.activeSlots(), (Connections{{5, 51}, {6, 12}, {6, 100}}));
    for (int s = 3; s < kSlots; ++s) EXPECT_EQ(matrix.slotSource(s), -1);
    EXPECT_EQ(owner.notifications, std::vector<int>{-1});
    EXPECT_EQ(owner.depth, 0);

    // At the minimum nothing is cleared either.
    matrix.xlfos.removeAt(1);
    matrix.xlfos.removeAt(0);
    owner.clearRecords();
    matrix.connect(0, 5, 50);
    owner.clearRecords();
    matrix.xlfos.removeAt(0);
    EXPECT_EQ(matrix.activeSlots(), (Connections{{5, 50}}));
    EXPECT_TRUE(owner.changes.empty());
}

TEST(ModulatedSetListTest, RemovingASlotTakesTheSlotsModulatingItsLevelAlong) {
    struct Case {
        const char* what;
        Connections before;
        int removed;
        Connections after;
    };
    const Case cases[] = {
        {"modulators behind", {{5, 50}, {6, 100}, {7, 51}, {5, 101}}, 0, {{7, 51}}},
        {"modulator in front", {{5, 51}, {6, 102}, {7, 50}}, 2, {{5, 51}}},
        {"levels behind follow", {{5, 50}, {6, 51}, {7, 103}, {5, 101}}, 0, {{6, 51}, {7, 102}, {5, 100}}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        FakeParameterOwner owner;
        FakeMatrix matrix(&owner);
        for (std::size_t i = 0; i < c.before.size(); ++i)
            matrix.connect(int(i), c.before[i].first, c.before[i].second);
        owner.clearRecords();
        matrix.slots.removeAt(c.removed);
        EXPECT_EQ(matrix.activeSlots(), c.after);
        EXPECT_EQ(owner.notifications, std::vector<int>{-1});
    }
}
