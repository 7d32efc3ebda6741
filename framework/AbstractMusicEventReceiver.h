#pragma once

#include <array>
#include <atomic>
#include <functional>
#include <vector>

#include "core/Property.h"

// Receives the musical events of one MIDI channel (or of all channels) and fans them out to the
// registered MIDI listeners (the MIDI modulation sources). Audio thread.
class AbstractChannelEventReceiver {
public:
    // What a MIDI modulation source hears.
    class MidiListener {
    public:
        virtual ~MidiListener() = default;
        virtual void controller(int /*controller*/, float /*value*/) {}
        virtual void modulationWheel(float /*value*/) {}
        virtual void channelPressure(float /*value*/) {}
        virtual void polyPressure(int /*note*/, float /*value*/) {}
        virtual void noteOn(int /*note*/, float /*velocity*/) {}
        virtual void noteOff(int /*note*/, float /*velocity*/) {}
        virtual void pitchBend(float /*value*/) {}
    };

    // The controller map: which parameter a MIDI controller drives, and the learn assignment.
    class ControllerMap {
    public:
        virtual ~ControllerMap() = default;
        // Parameter index bound to a controller (0..127), or -1.
        virtual int parameterFor(int controller) const = 0;
        // Binds the controller to the parameter, first unbinding the parameter from any other.
        virtual void assign(int controller, int parameterIndex) = 0;
    };

    virtual ~AbstractChannelEventReceiver() = default;
    virtual void hook() {}
    virtual void channelPressure(float value);
    virtual void polyPressure(int note, float value);
    virtual void controlChange(int controller, int rawValue, float value);
    virtual void noteOff(int note, float velocity);
    virtual void noteOn(int note, float velocity);
    // All notes off (controller 123): every held note is released. The base tells the listeners
    // with a note-off of note 0.
    virtual void allNotesOff() { noteOff(0, 0.0f); }
    virtual void setParameterFromController(int /*parameterIndex*/, float /*value*/) {}
    virtual void pitchBend(float value);
    virtual void programChange(int /*bank*/, int /*program*/) {}

    // Set-up: listeners register once, before processing starts.
    void addMidiListener(MidiListener* listener) { listeners_.push_back(listener); }
    void removeMidiListener(MidiListener* listener);
    void setControllerMap(ControllerMap* map) { controllerMap_ = map; }
    ControllerMap* controllerMap() const { return controllerMap_; }
    // [ui] writes, [audio] reads; -1 = not learning.
    void setLearnTarget(int parameterIndex) { learnTarget_.store(parameterIndex, std::memory_order_relaxed); }
    int learnTarget() const { return learnTarget_.load(std::memory_order_relaxed); }

private:
    ControllerMap* controllerMap_ = nullptr;
    std::vector<MidiListener*> listeners_;
    std::atomic<int> learnTarget_{-1};
};

// Receives decoded MIDI events and hands them to channel receivers: slot 0 gets the events of every
// channel, slot k those of MIDI channel k (1 to 16).
class AbstractMusicEventReceiver {
public:
    static constexpr int kSlotCount = 17;

    virtual ~AbstractMusicEventReceiver() = default;
    // Called once when the decoder is attached.
    virtual void attached() = 0;

    // Called with (status, data 1, data 2) for every message; MIDI learn uses it.
    std::function<void(int, int, int)> rawMessageHook;
    std::function<void()> systemResetHook;
    std::array<Property<AbstractChannelEventReceiver*>, kSlotCount> channelReceivers;
};
