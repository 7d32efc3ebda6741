#pragma once

#include <vector>

#include "framework/MidiVirtualPluginParameter.h"

class AbstractPluginParameter;

// Moves a group of parameters together and keeps their spread. Each member remembers its offset from
// the group's mean; a member moved on its own since the last change learns a new offset, and a
// member pushed against 0 or 1 keeps its offset so it returns to its place when the group moves back.
class MidiMultiVirtualPluginParameter : public MidiVirtualPluginParameter {
public:
    using MidiVirtualPluginParameter::MidiVirtualPluginParameter;

    // UI thread. A member already present moves to the end.
    void addMember(AbstractPluginParameter* parameter);
    void removeMember(AbstractPluginParameter* parameter);

    void setNormalized(float normalized) override;

    const std::vector<AbstractPluginParameter*>& members() const { return members_; }
    const std::vector<float>& learnedOffsets() const { return learned_; }
    const std::vector<float>& observedOffsets() const { return observed_; }

private:
    float meanNormalized() const;

    std::vector<AbstractPluginParameter*> members_;
    std::vector<float> learned_;
    std::vector<float> observed_;
};
