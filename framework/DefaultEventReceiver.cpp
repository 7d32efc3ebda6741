#include "framework/DefaultEventReceiver.h"

#include "framework/GenericPlugin.h"

void DefaultChannelEventReceiver::noteOff(int note, float velocity) {
    plugin_.noteOff(note, velocity);
    AbstractChannelEventReceiver::noteOff(note, velocity);
}

void DefaultChannelEventReceiver::noteOn(int note, float velocity) {
    plugin_.noteOn(note, velocity);
    AbstractChannelEventReceiver::noteOn(note, velocity);
}

void DefaultChannelEventReceiver::allNotesOff() {
    plugin_.allNotesOff(0.0f);
    AbstractChannelEventReceiver::noteOff(0, 0.0f);
}

void DefaultChannelEventReceiver::setParameterFromController(int parameterIndex, float value) {
    plugin_.setParameterFromController(parameterIndex, value);
}

void DefaultChannelEventReceiver::programChange(int bank, int program) {
    GenericPlugin::SharedSettings* shared = GenericPlugin::sharedSettings();
    if (!shared || !shared->enableMidiProgramChanges.get()) return;
    if (programChangeHandler_) programChangeHandler_->programChange(bank, program);
}

DefaultEventReceiver::DefaultEventReceiver(GenericPlugin& plugin)
    : channel(this, 0, 0, 16), receiver_(std::make_unique<DefaultChannelEventReceiver>(plugin)) {
    channelReceivers[0].set(receiver_.get());
}

DefaultEventReceiver::~DefaultEventReceiver() = default;

void DefaultEventReceiver::propertyChanged(AbstractProperty* property) {
    if (property != &channel) return;
    channelReceivers[installedSlot_].set(nullptr);
    installedSlot_ = channel.get();
    channelReceivers[installedSlot_].set(receiver_.get());
}
