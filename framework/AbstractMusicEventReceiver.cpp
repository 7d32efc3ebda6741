#include "framework/AbstractMusicEventReceiver.h"

#include <algorithm>

void AbstractChannelEventReceiver::removeMidiListener(MidiListener* listener) { std::erase(listeners_, listener); }

void AbstractChannelEventReceiver::channelPressure(float value) {
    for (MidiListener* l : listeners_) l->channelPressure(value);
}

void AbstractChannelEventReceiver::polyPressure(int note, float value) {
    for (MidiListener* l : listeners_) l->polyPressure(note, value);
}

void AbstractChannelEventReceiver::controlChange(int controller, int, float value) {
    if (controllerMap_) {
        int target = learnTarget();
        if (target >= 0) controllerMap_->assign(controller, target);
        if (controller < 128) {
            int parameter = controllerMap_->parameterFor(controller);
            if (parameter >= 0) setParameterFromController(parameter, value);
        }
    }
    for (MidiListener* l : listeners_) {
        l->controller(controller, value);
        if (controller == 1) l->modulationWheel(value);
    }
}

void AbstractChannelEventReceiver::noteOff(int note, float velocity) {
    for (MidiListener* l : listeners_) l->noteOff(note, velocity);
}

void AbstractChannelEventReceiver::noteOn(int note, float velocity) {
    for (MidiListener* l : listeners_) l->noteOn(note, velocity);
}

void AbstractChannelEventReceiver::pitchBend(float value) {
    for (MidiListener* l : listeners_) l->pitchBend(value);
}
