#pragma once

#include <memory>

#include "core/Property.h"
#include "framework/AbstractMusicEventReceiver.h"

class GenericPlugin;

// The plug-in's channel receiver: notes go to the plug-in (and then to the MIDI listeners),
// controllers drive parameters through the controller map, program changes load presets when the
// shared setting allows it. Audio thread.
class DefaultChannelEventReceiver : public AbstractChannelEventReceiver {
public:
    explicit DefaultChannelEventReceiver(GenericPlugin& plugin) : plugin_(plugin) {}

    void noteOff(int note, float velocity) override;
    void noteOn(int note, float velocity) override;
    void allNotesOff() override;
    void setParameterFromController(int parameterIndex, float value) override;
    void programChange(int bank, int program) override;

    // Program changes are turned into preset loads by the preset manager, once it is attached.
    class ProgramChangeHandler {
    public:
        virtual ~ProgramChangeHandler() = default;
        virtual void programChange(int bank, int program) = 0;
    };
    void setProgramChangeHandler(ProgramChangeHandler* handler) { programChangeHandler_ = handler; }

private:
    GenericPlugin& plugin_;
    ProgramChangeHandler* programChangeHandler_ = nullptr;
};

// Owns the plug-in's channel receiver and installs it in the slot chosen by its channel property
// (0: all channels).
class DefaultEventReceiver : public AbstractMusicEventReceiver, public PropertyOwner {
public:
    explicit DefaultEventReceiver(GenericPlugin& plugin);
    ~DefaultEventReceiver() override;

    void attached() override {}
    void propertyChanged(AbstractProperty* property) override;

    LimitedProperty<int> channel;
    DefaultChannelEventReceiver& channelReceiver() { return *receiver_; }

private:
    std::unique_ptr<DefaultChannelEventReceiver> receiver_;
    int installedSlot_ = 0;
};
