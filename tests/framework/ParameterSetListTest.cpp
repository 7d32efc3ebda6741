#include <gtest/gtest.h>

#include <algorithm>
#include <string>

#include "AudioThreadGuard.h"
#include "FakeParameterOwner.h"
#include "framework/FloatPluginParameter.h"
#include "framework/ParameterSetArray.h"
#include "framework/ParameterSetList.h"
#include "modulation/SourceParameterSetList.h"
#include "modulation/TargetParameterSetList.h"
#include "wave/Environment.h"
#include "wave/Producer.h"

namespace {

// A small set: a continuous value and a switch, named after the set.
class StepSet : public PluginParameterSet {
public:
    StepSet(GenericParameterOwner* owner, const std::string& name)
        : PluginParameterSet(owner, name),
          value(this, parameterName(" Value")),
          gate(this, parameterName(" Gate")) {
        configure();
    }
    void configure() override {
        value.setRange(-1.0f, 1.0f, 0.0f);
        value.setValue(0.0f, 0);
        gate.setIndexRange(0, 1, 1);
    }
    void set(float v, bool g) {
        value.setValue(v, 0);
        gate.setValue(g ? 1.0f : 0.0f, 0);
    }

    FloatPluginParameter value;
    IndexedPluginParameter<bool> gate;
};

class StepList : public ParameterSetList<StepSet> {
public:
    StepList(GenericParameterOwner* owner, const std::string& name) : ParameterSetList(owner, "Steps") {
        numActiveParameter().setIndexRange(1, 4, 2);
        for (int i = 1; i <= 4; ++i) createSet(owner, name + " Step " + std::to_string(i));
    }
};

class DelayArray : public ParameterSetArray<StepSet> {
public:
    explicit DelayArray(GenericParameterOwner* owner) {
        createSet(owner, "Delay 1");
        createSet(owner, "Delay 2");
    }
};

struct ListFixture {
    FakeParameterOwner owner;
    StepList steps{&owner, "XLFO 2"};

    // Values 0.1, 0.2, ... and alternating gates on the active sets.
    ListFixture() {
        for (int i = 0; i < steps.activeCount(); ++i) steps.set(i).set(0.1f * float(i + 1), i % 2 == 0);
        owner.clearRecords();
    }
    float value(int i) { return steps.set(i).value.value(); }
    bool gate(int i) { return steps.set(i).gate.rawValue(); }
};

class NullProducer : public wave::Producer {
public:
    using Producer::Producer;
    void produce(SampleBuffer&, int, int) override {}
};

}  // namespace

TEST(ParameterSetListTest, SetsNameAndNumberTheirParametersAndListsKnowTheirRange) {
    FakeParameterOwner owner;
    DelayArray delays(&owner);
    StepList steps(&owner, "XLFO 2");

    EXPECT_EQ(delays.set(1).value.name(), "Delay 2 Value");
    EXPECT_EQ(steps.numActiveParameter().name(), "Num Active Steps");
    EXPECT_EQ(steps.set(0).gate.name(), "XLFO 2 Step 1 Gate");
    EXPECT_NE(delays.getSet(0)->groupIndex(), delays.getSet(1)->groupIndex());
    StepSet again(&owner, "Delay 2");
    EXPECT_EQ(again.groupIndex(), delays.getSet(1)->groupIndex());
    EXPECT_EQ(delays.getSet(0)->getParameter(2), nullptr);

    // The array covers 0..3; the list's active count comes first, at 4, then its sets up to 12.
    EXPECT_EQ(delays.firstParameterIndex(), 0);
    EXPECT_EQ(delays.lastParameterIndex(), 3);
    EXPECT_EQ(steps.firstParameterIndex(), 4);
    EXPECT_EQ(steps.set(0).value.index(), 5);
    EXPECT_EQ(steps.lastParameterIndex(), 12);
    struct Case {
        AbstractParameterSetArray* array;
        int index;
        bool contained;
    };
    const Case cases[] = {{&delays, -1, true}, {&delays, 0, true},  {&delays, 3, true}, {&delays, 4, false},
                          {&steps, 3, false},  {&steps, 4, true},   {&steps, 12, true}, {&steps, 13, false},
                          {&steps, -1, true},  {&delays, -2, false}};
    for (const Case& c : cases) EXPECT_EQ(c.array->containsParameter(c.index), c.contained) << c.index;

    std::vector<AbstractPluginParameter*> collected;
    steps.collectParameters(collected);
    ASSERT_EQ(collected.size(), 9u);
    for (std::size_t i = 0; i < collected.size(); ++i) EXPECT_EQ(collected[i]->index(), int(i) + 4);

    struct EmptyArray : ParameterSetArray<StepSet> {
    } empty;
    EXPECT_EQ(empty.firstParameterIndex(), -1);
    EXPECT_FALSE(empty.containsParameter(-1));
}

TEST(ParameterSetListTest, InsertDuplicatesTheSetBeforeAndMovesTheRestUpInOneBatch) {
    ListFixture f;
    f.steps.insertAt(0);  // behaves like 1
    EXPECT_EQ(f.steps.activeCount(), 3);
    EXPECT_FLOAT_EQ(f.value(0), 0.1f);
    EXPECT_FLOAT_EQ(f.value(1), 0.1f);
    EXPECT_TRUE(f.gate(1));
    EXPECT_FLOAT_EQ(f.value(2), 0.2f);
    EXPECT_FALSE(f.gate(2));

    // Every changed parameter was reported, inside one batch that ends in a single notification.
    std::vector<int> reported;
    for (const auto& change : f.owner.changes) reported.push_back(change.index);
    std::sort(reported.begin(), reported.end());
    const std::vector<int> expected = {f.steps.numActiveParameter().index(), f.steps.set(1).value.index(),
                                       f.steps.set(1).gate.index(), f.steps.set(2).value.index(),
                                       f.steps.set(2).gate.index()};
    EXPECT_EQ(reported, expected);
    EXPECT_EQ(f.owner.notifications, std::vector<int>{-1});
    EXPECT_EQ(f.owner.depth, 0);

    f.steps.insertAt(3);  // at the end: a copy of the last
    EXPECT_EQ(f.steps.activeCount(), 4);
    EXPECT_FLOAT_EQ(f.value(3), 0.2f);
    f.owner.clearRecords();
    f.steps.insertAt(1);  // at the maximum
    f.steps.removeAt(4);  // outside the active range
    f.steps.removeAt(-1);
    EXPECT_EQ(f.steps.activeCount(), 4);
    EXPECT_TRUE(f.owner.changes.empty());
    EXPECT_EQ(f.owner.batches, 0);
}

TEST(ParameterSetListTest, RemoveMovesTheRestDownLeavesDefaultsBehindAndStopsAtTheMinimum) {
    ListFixture f;
    f.steps.insertAt(2);
    f.steps.set(2).set(0.3f, true);
    f.owner.clearRecords();

    f.steps.removeAt(0);
    EXPECT_EQ(f.steps.activeCount(), 2);
    EXPECT_FLOAT_EQ(f.value(0), 0.2f);
    EXPECT_FALSE(f.gate(0));
    EXPECT_FLOAT_EQ(f.value(1), 0.3f);
    EXPECT_TRUE(f.gate(1));
    // The set that became inactive holds defaults, so adding it again shows them.
    EXPECT_FLOAT_EQ(f.value(2), 0.0f);
    EXPECT_TRUE(f.gate(2));
    EXPECT_EQ(f.owner.notifications, std::vector<int>{-1});

    f.steps.removeAt(1);
    EXPECT_EQ(f.steps.activeCount(), 1);
    f.owner.clearRecords();
    f.steps.removeAt(0);  // at the minimum count
    EXPECT_EQ(f.steps.activeCount(), 1);
    EXPECT_TRUE(f.owner.changes.empty());

    f.steps.numActiveParameter().setValue(2.0f, 0);  // adding at the end
    EXPECT_FLOAT_EQ(f.value(1), 0.0f);

    f.steps.set(3).set(0.7f, false);
    f.steps.resetToDefaults();
    EXPECT_FLOAT_EQ(f.value(3), 0.0f);
    EXPECT_FLOAT_EQ(f.value(0), 0.0f);
    EXPECT_EQ(f.steps.activeCount(), 2);
}

TEST(ParameterSetListTest, ActiveCountEnablesTheProducersOfActiveSetsOnly) {
    FakeParameterOwner owner;
    StepList steps(&owner, "XLFO 1");
    wave::Environment environment(64);
    NullProducer p0(environment), p1(environment), p3(environment);
    wave::Producer* table[] = {&p0, &p1, nullptr, &p3};
    steps.addProducerTable(table);
    Property<int> count(nullptr, 0);
    steps.numActiveParameter().bind(&count);

    {
        AudioThreadGuard guard;
        steps.numActiveParameter().applyToEngine(1.0f);
        EXPECT_EQ(guard.allocations(), 0);
    }
    EXPECT_EQ(count.get(), 1);
    EXPECT_TRUE(p0.enabled());
    EXPECT_FALSE(p1.enabled());
    EXPECT_FALSE(p3.enabled());
    steps.numActiveParameter().applyToEngine(4.0f);
    EXPECT_TRUE(p1.enabled());
    EXPECT_TRUE(p3.enabled());
}

namespace {

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

class XlfoList : public SourceParameterSetList<StepSet> {
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

TEST(ParameterSetListTest, RemovingASourceTakesItsSlotsAlongAndTheOthersFollowTheirSets) {
    FakeParameterOwner owner;
    FakeMatrix matrix(&owner);
    matrix.xlfos.numActiveParameter().setValue(3.0f, 0);
    for (int i = 0; i < 3; ++i) matrix.xlfos.set(i).set(0.1f * float(i + 1), false);
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

TEST(ParameterSetListTest, RemovingASlotTakesTheSlotsModulatingItsLevelAlong) {
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
