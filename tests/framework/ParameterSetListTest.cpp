#include <gtest/gtest.h>

#include <algorithm>
#include <string>

#include "AudioThreadGuard.h"
#include "FakeParameterOwner.h"
#include "framework/FloatPluginParameter.h"
#include "framework/ParameterSetArray.h"
#include "framework/ParameterSetList.h"
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
