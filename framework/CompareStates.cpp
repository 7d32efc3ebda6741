#include "framework/CompareStates.h"

#include "framework/StateListOwner.h"
#include "framework/UndoHistory.h"

CompareStates::CompareStates(StateListOwner& owner) : owner_(owner), states_(owner, 2) {}

void CompareStates::initializeCompare() {
    if (initialized_) return;
    states_.captureState(states_.record(currentIndex_));
    copy();
    initialized_ = true;
}

void CompareStates::select(int index) {
    if (index == currentIndex_ || index < 0 || index > 1) return;
    states_.captureState(states_.record(currentIndex_));
    currentIndex_ = index;
}

void CompareStates::switchAB() {
    select(1 - currentIndex_);
    states_.restoreState(states_.record(currentIndex_));
    if (UndoHistory* history = owner_.undoHistory()) history->record();
}

void CompareStates::copy() {
    states_.captureState(states_.record(1 - currentIndex_));
    changed_ = false;
}
