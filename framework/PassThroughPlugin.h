#pragma once

#include <memory>
#include <vector>

#include "framework/GenericPlugin.h"
#include "wave/VolumeFilter.h"

// The smallest complete plug-in: two channels that pass their input through a ramped gain. It stands
// in for the delay engine where a real plug-in object is needed without one (the renderer's
// built-in job, frame tests and benchmarks).
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

private:
    std::vector<std::unique_ptr<Channel>> channels_;
};
