#pragma once

#include <string>

#include "framework/GenericParameterOwner.h"

class CompareStates;
class UndoHistory;

// What the undo history, the compare states and their state lists need from the plug-in that owns
// them. UI thread.
class StateListOwner {
public:
    virtual ~StateListOwner() = default;

    // The parameters a state covers (index 0 to count - 1) and the batch brackets around a restore.
    virtual GenericParameterOwner& stateParameters() = 0;
    // The current preset's name, path and modified flag.
    virtual void readPresetState(std::string& name, std::string& path, bool& modified) = 0;
    // Replaces them; the modified flag's listener hears of a change of the flag.
    virtual void writePresetState(const std::string& name, const std::string& path, bool modified) = 0;
    // Queues the reset marker, so smoothed values jump to their new targets.
    virtual void pushResetMarker() = 0;
    // A restore brought back another preset: the adapter's presetLoaded and the listener's
    // preset notification.
    virtual void presetRestored() = 0;
    // The plug-in's undo history and compare states; null while they do not exist.
    virtual UndoHistory* undoHistory() = 0;
    virtual CompareStates* compareStates() = 0;
};
