#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "MatrixTestPlugin.h"
#include "modulation/ModulationMatrixOwner.h"
#include "modulation/SourceParameterSetList.h"

using namespace numbers;

namespace {

// A source's settings with one parameter that is a modulation target, numbered like the envelope
// generators: set i provides source 14 + i and owns targets 34 + 6 i to 39 + 6 i.
class SourceSet : public PluginParameterSet {
public:
    SourceSet(GenericParameterOwner* owner, const std::string& name, ModulationMatrixOwner* matrixOwner,
              int target)
        : PluginParameterSet(owner, name), attack(this, parameterName(" Attack"), matrixOwner, target) {}
    ModulationTargetParameter attack;
};

class SourceList : public SourceParameterSetList<SourceSet> {
public:
    explicit SourceList(MatrixTestPlugin& p) : SourceParameterSetList(&p, "Sources", &p, 34, 6, kEG1, 1) {
        numActiveParameter().setIndexRange(0, 6, 0);
        for (int i = 0; i < 6; ++i) createSet(&p, "Source " + std::to_string(i + 1), &p, 36 + 6 * i);
    }
};

struct SlotView {
    int source, target;
    bool operator==(const SlotView& o) const { return source == o.source && target == o.target; }
};

std::vector<SlotView> activeSlots(MatrixTestPlugin& p) {
    std::vector<SlotView> slots;
    for (int s = 0; s < p.slots->activeCount(); ++s)
        slots.push_back({p.controller().getSource(s), p.controller().getTarget(s)});
    return slots;
}

}  // namespace

// Removing the first of three sources through its list: its slots and the slots modulating their
// levels go, the slot list closes up, and slots of the sources behind follow their sources.
TEST(ModulationMatrixOwnerTest, RemovingASourceSetClearsItsSlotsAndTheOthersFollow) {
    MatrixTestPlugin p;
    SourceList sources(p);
    sources.numActiveParameter().setValue(3.0f, 0);
    p.connect(0, kEG1, kDelay1Time);
    p.connect(1, kEG1 + 1, kDelay1Time);
    p.connect(2, kXLFO1, 42);  // the second source's attack
    p.connect(3, kEG1 + 2, kDelay1Time);
    p.connect(4, kXLFO2, slotLevel(0));  // modulates the level of a slot of the removed source
    p.run(kDelay1Time, MatrixTestPlugin::kBlock);

    sources.removeAt(0);
    EXPECT_EQ(sources.activeCount(), 2);
    std::vector<SlotView> expected{{kEG1, kDelay1Time}, {kXLFO1, 36}, {kEG1 + 1, kDelay1Time}};
    EXPECT_EQ(activeSlots(p), expected);

    p.run(kDelay1Time, MatrixTestPlugin::kBlock);
    for (int s = 0; s < 3; ++s) {
        EXPECT_EQ(p.matrix().slotRecord(s).source, expected[std::size_t(s)].source);
        EXPECT_EQ(p.matrix().slotRecord(s).target, expected[std::size_t(s)].target);
        EXPECT_TRUE(p.matrix().isSlotActive(s));
    }
    EXPECT_EQ(p.targetParameter(36), &sources.set(0).attack);
    EXPECT_TRUE(p.realTimeSafe());
}

TEST(ModulationMatrixOwnerTest, PresetConversionsScaleAndRemapSlots) {
    MatrixTestPlugin p;
    p.matrix().setSourceType(kEF1, ModulationMatrixPlugin::EFSource);
    p.connect(0, kEF1, kDelay1Time, 1.0f);
    p.connect(1, kXLFO1, kDelay1Time, 1.0f);
    p.connect(2, kXLFO1, kFilter1Freq, 1.0f);
    ModMatrixParamController& c = p.controller();

    p.halveEnvelopeFollowerSlots(kDelay1Time);
    EXPECT_NEAR(c.getLevel(0), 0.5f, 1e-5f);
    EXPECT_NEAR(c.getLevel(1), 1.0f, 1e-5f);

    p.scaleSlotsForKind(4, kXLFO1, 1.0f, 4.0f);  // filter frequencies only
    EXPECT_NEAR(c.getLevel(1), 1.0f, 1e-5f);
    EXPECT_NEAR(c.getLevel(2), 0.25f, 1e-5f);

    // Old numbering: 2 targets before the slot levels; sources shift by one.
    c.setTarget(1, 1);
    c.setTarget(2, 2 + 1);  // old slot level 2
    p.remapTargets(2, {kFilter1Pan, kDelay1Time});
    EXPECT_EQ(c.getTarget(0), kFilter1Pan);
    EXPECT_EQ(c.getTarget(1), kDelay1Time);
    EXPECT_EQ(c.getTarget(2), slotLevel(1));
    std::vector<int> table(ModulationMatrix::kSourceCount);
    for (int s = 0; s < ModulationMatrix::kSourceCount; ++s) table[std::size_t(s)] = (s + 1) % 34;
    p.remapSources(table);
    EXPECT_EQ(c.getSource(0), kEF1 + 1);
    EXPECT_EQ(c.getSource(1), kXLFO1 + 1);
}

TEST(ModulationMatrixOwnerTest, NormalizeCompactsSortsAndCountsTheUsedSlots) {
    MatrixTestPlugin p;
    p.connect(1, kEG1, kDelay1Time);
    p.connect(4, kXLFO1, kDelay1Time);
    p.slots->numActiveParameter().setValue(6.0f, 0);
    p.normalizeSlots(6);
    EXPECT_EQ(p.slots->activeCount(), 2);
    std::vector<SlotView> expected{{kXLFO1, kDelay1Time}, {kEG1, kDelay1Time}};
    EXPECT_EQ(activeSlots(p), expected);
}
