#include <gtest/gtest.h>

#include "FakeParameterOwner.h"
#include "framework/CompareStates.h"
#include "framework/FloatPluginParameter.h"
#include "framework/UndoHistory.h"

namespace {

struct CompareFixture {
    FakeParameterOwner owner;
    FloatPluginParameter time{&owner, "Time"}, mix{&owner, "Mix"};
    UndoHistory history{owner};
    CompareStates compare{owner};

    CompareFixture() {
        time.setRange(0.0f, 1000.0f, 0.0f);
        mix.setRange(0.0f, 1.0f, 0.0f);
        time.setValue(100.0f, 0);
        owner.history = &history;
        owner.compare = &compare;
    }
    void open() {
        history.setInitialState();
        compare.initializeCompare();
    }
};

}  // namespace

TEST(CompareStatesTest, SwitchRestoresTheOtherStateAndUndoSwitchesBack) {
    CompareFixture f;
    f.open();
    f.time.setValue(500.0f, 0);
    f.history.record();

    f.compare.switchAB();  // B still holds the opening state
    EXPECT_EQ(f.compare.currentIndex(), 1);
    EXPECT_FLOAT_EQ(f.time.value(), 100.0f);
    EXPECT_EQ(f.history.undoCount(), 2);

    f.mix.setValue(0.75f, 0);  // an edit on B
    f.history.record();
    f.history.undo();  // back to B as switched to
    EXPECT_EQ(f.compare.currentIndex(), 1);
    EXPECT_FLOAT_EQ(f.mix.value(), 0.0f);

    f.history.undo();  // the step before the switch was taken under A
    EXPECT_EQ(f.compare.currentIndex(), 0);
    EXPECT_FLOAT_EQ(f.time.value(), 500.0f);
    EXPECT_TRUE(f.compare.changed());

    // Switching again shows B as it was when it was left.
    f.compare.switchAB();
    EXPECT_EQ(f.compare.currentIndex(), 1);
    EXPECT_FLOAT_EQ(f.time.value(), 100.0f);
    EXPECT_FLOAT_EQ(f.mix.value(), 0.0f);
    f.compare.switchAB();
    EXPECT_FLOAT_EQ(f.time.value(), 500.0f);
}

TEST(CompareStatesTest, CopyMakesBothStatesEqualSoSwitchingChangesNothing) {
    CompareFixture f;
    f.open();
    f.time.setValue(300.0f, 0);
    f.compare.setChanged(true);
    f.compare.copy();
    EXPECT_FALSE(f.compare.changed());

    f.owner.clearRecords();
    f.compare.switchAB();
    EXPECT_EQ(f.compare.currentIndex(), 1);
    EXPECT_TRUE(f.owner.changes.empty());
    EXPECT_TRUE(f.owner.notifications.empty());
    EXPECT_FLOAT_EQ(f.time.value(), 300.0f);

    // Only the first initialisation takes the state.
    f.time.setValue(900.0f, 0);
    f.compare.initializeCompare();
    f.compare.switchAB();
    EXPECT_FLOAT_EQ(f.time.value(), 300.0f);
}

TEST(CompareStatesTest, SwitchingBeforeTheEditorOpenedKeepsTheState) {
    CompareFixture f;
    f.owner.presetName = "Tape Echo";
    f.compare.switchAB();  // B was never taken: nothing to restore
    EXPECT_FLOAT_EQ(f.time.value(), 100.0f);
    EXPECT_EQ(f.owner.presetName, "Tape Echo");
}
