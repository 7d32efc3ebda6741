#include <gtest/gtest.h>

#include <memory>
#include <vector>

#include "FakeParameterOwner.h"
#include "framework/CompareStates.h"
#include "framework/FloatPluginParameter.h"
#include "framework/IndexedPluginParameter.h"
#include "framework/UndoHistory.h"

namespace {

// A plug-in stand-in with three continuous parameters and a switch, its undo history and compare
// states, opened the way the editor opens it.
struct StateFixture {
    FakeParameterOwner owner;
    FloatPluginParameter time{&owner, "Time"}, mix{&owner, "Mix"}, level{&owner, "Level"};
    IndexedPluginParameter<int> mode{&owner, "Mode"};
    UndoHistory history{owner};
    CompareStates compare{owner};

    StateFixture() {
        for (FloatPluginParameter* p : {&time, &mix, &level}) p->setRange(0.0f, 1000.0f, 0.0f);
        mode.setIndexRange(0, 3, 0);
        owner.history = &history;
        owner.compare = &compare;
        owner.presetName = "Default Setting";
        owner.presetPath = "/presets/Default Setting.bxp";
        owner.modified = false;
    }
    void open() {
        history.setInitialState();
        compare.initializeCompare();
    }
    // One finished edit: a changed value, then a recorded step.
    void edit(float value) {
        time.setValue(value, 0);
        history.record();
    }
};

}  // namespace

TEST(UndoHistoryTest, UndoWalksBackToTheInitialStateAndRedoForward) {
    StateFixture f;
    f.open();
    EXPECT_EQ(f.history.states().record(0).description, "Initial state");
    EXPECT_FALSE(f.history.canUndo());
    for (int i = 1; i <= 5; ++i) f.edit(float(i));
    EXPECT_EQ(f.history.undoCount(), 5);

    for (int i = 4; i >= 0; --i) {
        f.history.undo();
        EXPECT_FLOAT_EQ(f.time.value(), float(i));
    }
    EXPECT_FALSE(f.history.canUndo());
    f.owner.clearRecords();
    f.history.undo();  // nothing left to undo
    EXPECT_TRUE(f.owner.changes.empty());
    EXPECT_EQ(f.owner.batches, 0);
    EXPECT_EQ(f.history.redoCount(), 5);

    f.history.redo();
    EXPECT_FLOAT_EQ(f.time.value(), 1.0f);
    EXPECT_TRUE(f.compare.changed());

    // A new edit after undoing drops the redo branch.
    f.history.undo();
    f.edit(42.0f);
    EXPECT_EQ(f.history.redoCount(), 0);
    EXPECT_FALSE(f.history.canRedo());
    f.history.redo();
    EXPECT_FLOAT_EQ(f.time.value(), 42.0f);
}

TEST(UndoHistoryTest, TheRingKeepsTheLast99StepsAcrossTheWrap) {
    StateFixture f;
    f.open();
    for (int i = 1; i <= 150; ++i) f.edit(float(i));
    EXPECT_EQ(f.history.undoCount(), 99);
    EXPECT_EQ(f.history.position(), 50);
    for (int i = 0; i < 99; ++i) f.history.undo();
    EXPECT_FLOAT_EQ(f.time.value(), 51.0f);
    f.history.undo();
    EXPECT_FLOAT_EQ(f.time.value(), 51.0f);
    EXPECT_EQ(f.history.redoCount(), 99);
    for (int i = 0; i < 99; ++i) f.history.redo();
    EXPECT_FLOAT_EQ(f.time.value(), 150.0f);
    EXPECT_FALSE(f.history.canRedo());

    // setInitialState only acts on an untouched history.
    f.history.setInitialState();
    EXPECT_EQ(f.history.states().record(0).description, "");
}

TEST(UndoHistoryTest, RestoreIsOneBatchWithOneNotificationAndBringsThePresetBack) {
    StateFixture f;
    f.open();
    f.time.setValue(10.0f, 0);
    f.mix.setValue(20.0f, 0);
    f.mode.setValue(2.0f, 0);
    f.owner.presetName = "Tape Echo";
    f.owner.presetPath = "/presets/Tape Echo.bxp";
    f.history.record();
    f.owner.clearRecords();

    f.history.undo();
    EXPECT_EQ(f.owner.changes.size(), 3u);
    EXPECT_EQ(f.owner.batches, 1);
    EXPECT_EQ(f.owner.notifications, std::vector<int>{-1});
    EXPECT_EQ(f.owner.resetMarkers, 1);
    EXPECT_FLOAT_EQ(f.mode.value(), 0.0f);
    EXPECT_EQ(f.owner.presetName, "Default Setting");
    EXPECT_EQ(f.owner.presetPath, "/presets/Default Setting.bxp");
    EXPECT_FALSE(f.owner.modified);  // the flag as it was, although the restore changed parameters
    EXPECT_EQ(f.owner.presetNotifications, 1);

    // Restoring values equal to the current ones changes nothing and notifies nothing.
    f.owner.clearRecords();
    f.history.states().restoreState(f.history.states().record(0));
    EXPECT_TRUE(f.owner.changes.empty());
    EXPECT_TRUE(f.owner.notifications.empty());
    EXPECT_EQ(f.owner.presetNotifications, 0);
}

TEST(UndoHistoryTest, StatesEqualComparesEveryParameterWithinTheFloatEpsilon) {
    StateFixture f;
    f.open();
    StateList& states = f.history.states();
    EXPECT_TRUE(f.history.isCurrentState());
    f.level.setValue(0.5f, 0);
    EXPECT_FALSE(f.history.isCurrentState());

    StateList::Record record;
    states.captureState(record);
    EXPECT_TRUE(states.statesEqual(record));
    record.values[2] += 1e-8f;
    EXPECT_TRUE(states.statesEqual(record));
    record.values[2] += 1e-3f;
    EXPECT_FALSE(states.statesEqual(record));

    // A record with fewer values than parameters is never equal, and restores only what it holds.
    StateList::Record shortRecord;
    states.captureState(shortRecord);
    shortRecord.values = {7.0f, 8.0f};
    EXPECT_FALSE(states.statesEqual(shortRecord));
    states.restoreState(shortRecord);
    EXPECT_FLOAT_EQ(f.time.value(), 7.0f);
    EXPECT_FLOAT_EQ(f.mix.value(), 8.0f);
    EXPECT_FLOAT_EQ(f.level.value(), 0.5f);

    // A record never taken restores nothing.
    f.owner.clearRecords();
    states.restoreState(StateList::Record());
    EXPECT_EQ(f.owner.batches, 0);
    EXPECT_EQ(f.owner.presetName, "Default Setting");
}
