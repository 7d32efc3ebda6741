#include <gtest/gtest.h>

#include <vector>

#include "MatrixTestPlugin.h"
#include "modulation/ModulationSlotParameterSetList.h"

using namespace numbers;

namespace {

struct SlotView {
    int source, target;
};

std::vector<SlotView> activeSlots(MatrixTestPlugin& p) {
    std::vector<SlotView> slots;
    for (int s = 0; s < p.slots->activeCount(); ++s)
        slots.push_back({p.controller().getSource(s), p.controller().getTarget(s)});
    return slots;
}

bool operator==(const SlotView& a, const SlotView& b) {
    return a.source == b.source && a.target == b.target;
}

}  // namespace

TEST(ModulationSlotParameterSetListTest, SlotsAreNamedNumberedAndShareTheirItemLists) {
    MatrixTestPlugin p;
    ModulationSlotParameterSet& first = p.slot(0);
    EXPECT_EQ(first.source.name(), "Slot 1 Source");
    EXPECT_EQ(first.level.name(), "Slot 1 Level");
    EXPECT_EQ(first.bypass.name(), "Slot 1 Bypassed");
    EXPECT_EQ(first.invert.name(), "Slot 1 Inverted");
    EXPECT_EQ(p.slot(23).target.name(), "Slot 24 Target");
    EXPECT_EQ(p.slots->numActiveParameter().name(), "Num Active Slots");
    // The active count comes first, then five parameters per slot in order.
    EXPECT_EQ(first.source.index(), p.slots->numActiveParameter().index() + 1);
    EXPECT_EQ(p.slot(1).source.index(), first.target.index() + 1);

    EXPECT_EQ(first.source.itemNames().size(), 35u);
    EXPECT_EQ(first.target.itemNames().size(), 108u);
    EXPECT_EQ(&first.source.itemNames(), &p.slot(17).source.itemNames());
    EXPECT_EQ(first.source.plainToText(0), "< Source >");
    EXPECT_EQ(first.source.plainToText(9), "XLFO 1");
    EXPECT_EQ(first.source.plainToText(34), "MIDI 10");
    EXPECT_EQ(first.target.plainToText(1), "Delay 1 Time");
    EXPECT_EQ(first.target.plainToText(13), "Filter 1 Peak");
    EXPECT_EQ(first.target.plainToText(79), "Input Level");
    EXPECT_EQ(first.target.plainToText(107), "Slot 24 Level");
    EXPECT_EQ(first.bypass.plainToText(1), "Bypassed");
    EXPECT_EQ(first.invert.plainToText(1), "Inverted");

    // Index 9 of a source selector is source 8, XLFO 1; 0 is none.
    first.source.setValue(9.0f, 0);
    p.run(kDelay1Time, MatrixTestPlugin::kBlock);
    EXPECT_EQ(p.matrix().slotRecord(0).source, kXLFO1);
    first.source.setValue(0.0f, 0);
    p.run(kDelay1Time, MatrixTestPlugin::kBlock);
    EXPECT_EQ(p.matrix().slotRecord(0).source, -1);
    EXPECT_TRUE(p.realTimeSafe());
}

TEST(ModulationSlotParameterSetListTest, AllocatedSlotsGetTheDefaultConnectionUntilTheListIsFull) {
    MatrixTestPlugin p;
    ModMatrixParamController& c = p.controller();
    EXPECT_FLOAT_EQ(c.defaultLevel.get(), 0.16f);
    for (int n = 0; n < ModulationMatrix::kSlotCount; ++n) {
        int slot = c.allocateSlot();
        ASSERT_EQ(slot, n);
        c.connect(slot, kXLFO1 + n % 6, kDelay1Time);
    }
    EXPECT_EQ(c.allocateSlot(), -1);
    EXPECT_EQ(p.slots->activeCount(), 24);
    ModulationSlotParameterSet& s = p.slot(5);
    EXPECT_FLOAT_EQ(s.level.value(), 0.5f);
    EXPECT_EQ(s.level.currentText(), "0.160");
    EXPECT_FALSE(s.bypass.rawValue());
    EXPECT_FALSE(s.invert.rawValue());
    p.run(kDelay1Time, MatrixTestPlugin::kBlock);
    for (int n = 0; n < ModulationMatrix::kSlotCount; ++n) EXPECT_TRUE(p.matrix().isSlotActive(n)) << n;
    EXPECT_TRUE(p.realTimeSafe());
}

// Removing a slot takes the slots that modulated its level with it; the others close up, and a slot
// aimed at the level of a slot that moved follows that slot.
TEST(ModulationSlotParameterSetListTest, RemovingASlotKeepsTheListGapFree) {
    MatrixTestPlugin p;
    p.connect(0, kXLFO1, kDelay1Time);
    p.connect(1, kXLFO2, kFilter1Pan);
    p.connect(2, kEG1, slotLevel(1));  // modulates slot 2's level
    p.connect(3, kMidi1, kDelay1Time, 0.25f);
    p.connect(4, kXY1Hor, slotLevel(3));  // modulates slot 4's level
    p.run(kDelay1Time, MatrixTestPlugin::kBlock);

    p.slots->removeAt(1);
    EXPECT_EQ(p.slots->activeCount(), 3);
    std::vector<SlotView> expected{{kXLFO1, kDelay1Time}, {kMidi1, kDelay1Time}, {kXY1Hor, slotLevel(1)}};
    EXPECT_EQ(activeSlots(p), expected);
    EXPECT_FLOAT_EQ(p.slot(1).level.value(), 0.25f);
    // The sets that became inactive hold defaults.
    for (int s = 3; s < 5; ++s) {
        EXPECT_EQ(p.controller().getSource(s), -1);
        EXPECT_EQ(p.controller().getTarget(s), -1);
        EXPECT_FLOAT_EQ(p.slot(s).level.value(), 0.5f);
    }

    // The matrix follows through the queue.
    p.run(kDelay1Time, MatrixTestPlugin::kBlock);
    EXPECT_EQ(p.matrix().slotRecord(2).target, slotLevel(1));
    for (int s = 0; s < 3; ++s) EXPECT_TRUE(p.matrix().isSlotActive(s)) << s;
    for (int s = 3; s < 5; ++s) EXPECT_FALSE(p.matrix().isSlotActive(s)) << s;
    EXPECT_TRUE(p.realTimeSafe());
}

TEST(ModulationSlotParameterSetListTest, SortingAndCompactingMoveSlotsWithTheirLevelModulations) {
    MatrixTestPlugin p;
    p.connect(0, kEG1, kDelay1Time);
    p.connect(2, kXLFO2, kDelay1Time);
    p.connect(3, kXLFO1, slotLevel(0));  // follows slot 1 wherever it goes
    ModMatrixParamController& c = p.controller();

    c.compactSlots();
    std::vector<SlotView> compacted{
        {kEG1, kDelay1Time}, {kXLFO2, kDelay1Time}, {kXLFO1, slotLevel(0)}, {-1, -1}};
    EXPECT_EQ(activeSlots(p), compacted);

    int tracked = 0;
    c.sortSlots(3, &tracked);
    // By source: XLFO 1, XLFO 2, EG 1; the EG slot, selected, moved to the end and its level
    // modulation was retargeted with it.
    std::vector<SlotView> sorted{
        {kXLFO1, slotLevel(2)}, {kXLFO2, kDelay1Time}, {kEG1, kDelay1Time}, {-1, -1}};
    EXPECT_EQ(activeSlots(p), sorted);
    EXPECT_EQ(tracked, 2);
}

TEST(ModulationSlotParameterSetListTest, DuplicatingAndScalingCarryLevelModulationsAlong) {
    MatrixTestPlugin p;
    p.connect(0, kXLFO1, kDelay1Time, 1.0f);
    p.connect(1, kEG1, slotLevel(0), 1.0f);
    ModMatrixParamController& c = p.controller();

    int d = p.duplicateSlot(0, -0.5f);
    ASSERT_EQ(d, 2);
    EXPECT_EQ(p.slots->activeCount(), 4);
    EXPECT_EQ(c.getSource(d), kXLFO1);
    EXPECT_EQ(c.getTarget(d), kDelay1Time);
    EXPECT_TRUE(c.isInverted(d));
    EXPECT_NEAR(c.getLevel(d), 0.5f, 1e-5f);
    EXPECT_EQ(c.getSource(3), kEG1);
    EXPECT_EQ(c.getTarget(3), slotLevel(d));
    EXPECT_NEAR(c.getLevel(3), 0.5f, 1e-5f);

    p.scaleSlotLevel(0, 1.0f, 4.0f);
    EXPECT_NEAR(c.getLevel(0), 0.25f, 1e-5f);
    EXPECT_NEAR(c.getLevel(1), 0.25f, 1e-5f);  // the slot modulating slot 1's level too
    EXPECT_NEAR(c.getLevel(d), 0.5f, 1e-5f);
}
