#pragma once

#include <string>

#include "framework/StateList.h"

class StateListOwner;

// The last 100 states of the plug-in in a ring. The record at the current position is always the
// present state; recording moves forward and drops the redo branch; undo and redo walk the ring.
// With both counts capped at 99 a walk never reaches a record a newer one overwrote. UI thread.
class UndoHistory {
public:
    static constexpr int kSize = 100;
    static constexpr int kMaxSteps = kSize - 1;

    explicit UndoHistory(StateListOwner& owner);
    virtual ~UndoHistory() = default;
    UndoHistory(const UndoHistory&) = delete;
    UndoHistory& operator=(const UndoHistory&) = delete;

    // Takes the present state as record 0, "Initial state", while the history is untouched.
    void setInitialState();
    // Takes the present state as a new step after the current one.
    void record(const std::string& description = std::string());
    void undo();
    void redo();
    bool canUndo() const { return undoCount_ >= 1; }
    bool canRedo() const { return redoCount_ >= 1; }

    // True when the plug-in's parameters equal the record at the current position; the editor
    // records a step after a gesture only when this is false.
    bool isCurrentState();

    int undoCount() const { return undoCount_; }
    int redoCount() const { return redoCount_; }
    int position() const { return position_; }
    StateList& states() { return states_; }

private:
    void step(int direction);

    int redoCount_ = 0;
    int undoCount_ = 0;
    int position_ = 0;
    StateListOwner& owner_;
    StateList states_;
};
