#pragma once

#include <string>
#include <vector>

#include "framework/AbstractPluginParameter.h"
#include "framework/GenericParameterOwner.h"
#include "framework/MidiVirtualParameterOwner.h"
#include "framework/StateListOwner.h"

// Stands in for the plug-in: numbers parameters, records every change and batch, and holds back
// notifications inside a batch the way the plug-in does.
class FakeParameterOwner : public GenericParameterOwner,
                           public StateListOwner,
                           public MidiVirtualParameterOwner {
public:
    struct Change {
        int index;
        float value;
        int flags;
    };

    // Room for the records up front, so calls made under an allocation guard stay allocation-free.
    FakeParameterOwner() {
        changes.reserve(4096);
        notifications.reserve(4096);
    }

    void beginUpdate() override {
        ++depth;
        ++batches;
    }
    void endUpdate() override {
        if (--depth == 0 && pending) {
            pending = false;
            notifications.push_back(-1);
        }
    }
    AbstractPluginParameter* getParameter(int index) override { return parameters[std::size_t(index)]; }
    int groupIndex() override { return 0; }
    int getParameterCount() override { return static_cast<int>(parameters.size()); }
    void parameterChanged(int index, float value, int flags) override {
        changes.push_back({index, value, flags});
        modified = true;
        if (depth > 0) {
            pending = true;
            return;
        }
        notifications.push_back(index);
    }
    int addParameter(AbstractPluginParameter* parameter) override {
        parameters.push_back(parameter);
        return static_cast<int>(parameters.size()) - 1;
    }
    int registerGroup(const std::string& name) override {
        for (std::size_t i = 0; i < groups.size(); ++i)
            if (groups[i] == name) return static_cast<int>(i) + 1;
        groups.push_back(name);
        return static_cast<int>(groups.size());
    }

    GenericParameterOwner& stateParameters() override { return *this; }
    void readPresetState(std::string& name, std::string& path, bool& isModified) override {
        name = presetName;
        path = presetPath;
        isModified = modified;
    }
    void writePresetState(const std::string& name, const std::string& path, bool isModified) override {
        presetName = name;
        presetPath = path;
        modified = isModified;
    }
    void pushResetMarker() override { ++resetMarkers; }
    void presetRestored() override { ++presetNotifications; }
    UndoHistory* undoHistory() override { return history; }
    CompareStates* compareStates() override { return compare; }

    int addVirtualParameter(MidiVirtualPluginParameter*) override {
        return static_cast<int>(++virtualParameters);
    }

    void clearRecords() {
        changes.clear();
        notifications.clear();
        batches = 0;
        resetMarkers = 0;
        presetNotifications = 0;
    }

    std::vector<AbstractPluginParameter*> parameters;
    std::vector<std::string> groups;
    std::vector<Change> changes;
    std::vector<int> notifications;  // parameter index, or -1 for "all" at the end of a batch
    int depth = 0;
    int batches = 0;
    bool pending = false;
    std::string presetName;
    std::string presetPath;
    bool modified = false;
    int resetMarkers = 0;
    int presetNotifications = 0;
    int virtualParameters = 0;
    UndoHistory* history = nullptr;
    CompareStates* compare = nullptr;
};
