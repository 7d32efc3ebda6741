#include "framework/PassThroughPlugin.h"

#include "framework/ParameterUnits.h"

PassThroughPlugin::Channel::Channel(GenericPlugin& plugin) : GenericPlugin::Channel(plugin), volume_(plugin.environment()) {
    volume_.setInput(&input());
    setOutputProducer(&volume_);
}

PassThroughPlugin::PassThroughPlugin() : gain_(this, "Output Gain") {
    // Plain and engine values are gains 0..1; the editor shows percent.
    gain_.setRange(0.0f, 1.0f, 1.0f);
    gain_.setUnit(&PercentParameterUnit::instance());
    gain_.setDisplayFunctions([](float x) { return x * 100.0f; }, [](float x) { return x * 0.01f; });
    gain_.setValue(1.0f, 0);
    gain_.setHelpText("Scales the output; 100 % passes the input unchanged.");
    initialize("PassThrough");
    for (int i = 0; i < channelCount(); ++i) {
        channels_.push_back(std::make_unique<Channel>(*this));
        gain_.bind(&channels_.back()->volume().gainSource().value());
    }
    gain_.applyToEngine(gain_.value());
}

PassThroughPlugin::~PassThroughPlugin() = default;
