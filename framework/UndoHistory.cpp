#include "framework/UndoHistory.h"

#include <algorithm>

#include "framework/CompareStates.h"
#include "framework/StateListOwner.h"

UndoHistory::UndoHistory(StateListOwner& owner) : owner_(owner), states_(owner, kSize) {}

void UndoHistory::setInitialState() {
    if (position_ != 0 || undoCount_ != 0 || redoCount_ != 0) return;
    StateList::Record& initial = states_.record(0);
    initial.description = "Initial state";
    states_.captureState(initial);
}

void UndoHistory::record(const std::string& description) {
    position_ = (position_ + 1) % kSize;
    StateList::Record& current = states_.record(position_);
    current.description = description;
    states_.captureState(current);
    redoCount_ = 0;
    undoCount_ = std::min(undoCount_ + 1, kMaxSteps);
}

void UndoHistory::undo() {
    if (undoCount_ < 1) return;
    step(-1);
    --undoCount_;
    redoCount_ = std::min(redoCount_ + 1, kMaxSteps);
}

void UndoHistory::redo() {
    if (redoCount_ < 1) return;
    step(+1);
    undoCount_ = std::min(undoCount_ + 1, kMaxSteps);
    --redoCount_;
}

void UndoHistory::step(int direction) {
    position_ = (position_ + direction + kSize) % kSize;
    const StateList::Record& target = states_.record(position_);
    CompareStates* compare = owner_.compareStates();
    // Leaving a record taken under the other compare state saves the present state into the active
    // compare record first, so both compare records stay consistent.
    if (compare) compare->select(target.compareIndex);
    states_.restoreState(target);
    if (compare) compare->setChanged(true);
}

bool UndoHistory::isCurrentState() {
    return states_.statesEqual(states_.record(position_));
}
