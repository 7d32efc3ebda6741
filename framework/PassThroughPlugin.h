#pragma once

#include <memory>
#include <vector>

#include "framework/FloatParamPluginParameter.h"
#include "framework/GenericPlugin.h"
#include "wave/VolumeFilter.h"

// The smallest complete plug-in: two channels that pass their input through a ramped gain, set by
// one parameter, "Output Gain" (0 to 100 %). It stands in for the delay engine where a real plug-in
// object is needed without one (frame tests and benchmarks).
class PassThroughPlugin : public GenericPlugin {
public:
    class Channel : public GenericPlugin::Channel {
    public:
        explicit Channel(GenericPlugin& plugin);
        VolumeFilter& volume() { return volume_; }

    private:
        VolumeFilter volume_;
    };

    PassThroughPlugin();
    ~PassThroughPlugin() override;

    std::string getChunkTag() const override { return "PASS"; }
    Channel& channel(int i) { return *channels_[i]; }
    FloatParamPluginParameter& gain() { return gain_; }

private:
    FloatParamPluginParameter gain_;
    std::vector<std::unique_ptr<Channel>> channels_;
};
