#pragma once

#include "framework/StateList.h"

class StateListOwner;

// The two compare states A and B the user switches between. UI thread.
class CompareStates {
public:
    explicit CompareStates(StateListOwner& owner);
    virtual ~CompareStates() = default;
    CompareStates(const CompareStates&) = delete;
    CompareStates& operator=(const CompareStates&) = delete;

    // Once: takes the present state as A and copies it to B.
    void initializeCompare();
    // Saves the present state into the current record and makes index current; the caller restores
    // the new current record. Nothing when index is already current.
    void select(int index);
    // The A/B button: selects the other state, restores it and records an undo step.
    void switchAB();
    // The copy button: the present state becomes the other record too, so A and B are equal.
    void copy();

    int currentIndex() const { return currentIndex_; }
    // Set by undo steps (and by the editor after recording); cleared by copy.
    bool changed() const { return changed_; }
    void setChanged(bool changed) { changed_ = changed; }
    bool initialized() const { return initialized_; }
    StateList& states() { return states_; }

private:
    int currentIndex_ = 0;
    bool changed_ = false;
    bool initialized_ = false;
    StateListOwner& owner_;
    StateList states_;
};
