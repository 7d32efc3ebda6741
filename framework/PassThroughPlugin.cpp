#include "framework/PassThroughPlugin.h"

PassThroughPlugin::Channel::Channel(GenericPlugin& plugin) : GenericPlugin::Channel(plugin), volume_(plugin.environment()) {
    volume_.setInput(&input());
    setOutputProducer(&volume_);
}

PassThroughPlugin::PassThroughPlugin() {
    initialize("PassThrough");
    for (int i = 0; i < channelCount(); ++i) channels_.push_back(std::make_unique<Channel>(*this));
}

PassThroughPlugin::~PassThroughPlugin() = default;
