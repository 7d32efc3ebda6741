#include "framework/MidiVirtualPluginParameter.h"

#include "framework/MidiVirtualParameterOwner.h"

MidiVirtualPluginParameter::MidiVirtualPluginParameter(MidiVirtualParameterOwner& owner, std::string name)
    : name_(std::move(name)) {
    identifier_ = owner.addVirtualParameter(this) + (kFirstIdentifier - 1);
}
