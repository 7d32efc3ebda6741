#pragma once

#include <string>

class MidiVirtualParameterOwner;

// A value that MIDI learn can control but the host never sees. Identifiers start at 0x100000, above
// any parameter index, in construction order.
class MidiVirtualPluginParameter {
public:
    static constexpr int kFirstIdentifier = 0x100000;

    MidiVirtualPluginParameter(MidiVirtualParameterOwner& owner, std::string name);
    virtual ~MidiVirtualPluginParameter() = default;
    MidiVirtualPluginParameter(const MidiVirtualPluginParameter&) = delete;
    MidiVirtualPluginParameter& operator=(const MidiVirtualPluginParameter&) = delete;

    // Any thread, including the audio thread while MIDI is decoded. Never allocates.
    virtual void setNormalized(float normalized) = 0;

    int identifier() const { return identifier_; }
    const std::string& name() const { return name_; }

private:
    int identifier_;
    std::string name_;
};
