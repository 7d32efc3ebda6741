#pragma once

class MidiVirtualPluginParameter;

// Keeps the list of MIDI virtual parameters; the plug-in implements it.
class MidiVirtualParameterOwner {
public:
    virtual ~MidiVirtualParameterOwner() = default;
    // Construction. Appends the parameter and answers the length of the list after appending.
    virtual int addVirtualParameter(MidiVirtualPluginParameter* parameter) = 0;
};
