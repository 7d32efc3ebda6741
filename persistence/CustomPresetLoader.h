#pragma once

#include <istream>
#include <memory>
#include <string>
#include <vector>

#include "framework/AbstractPluginParameter.h"
#include "persistence/PresetLoader.h"

// Loads full presets of the plug-in. The current version addresses every parameter in index order;
// an older version of the same tag is accepted when a preset map for it exists (read from the
// embedded resources unless a subclass supplies it), and the parameters that the older layout does
// not carry are reset first. UI thread.
class CustomPresetLoader : public PresetLoader {
public:
    // One value position: the parameter it sets (or none) and a capture slot that also receives it.
    struct Entry {
        AbstractPluginParameter* parameter = nullptr;
        float* capture = nullptr;
        float last = 0.0f;
    };

    // currentVersion -1 accepts every version with the identity layout.
    CustomPresetLoader(GenericParameterOwner& target, std::string tag, int currentVersion)
        : PresetLoader(target, std::move(tag)), currentVersion_(currentVersion) {}

    int mappedVersion() const { return mappedVersion_; }
    const std::vector<Entry>& entries() const { return entries_; }

protected:
    int valueCount() override { return static_cast<int>(entries_.size()); }
    void prepareLoad(int version) override;
    bool acceptsVersion(int version) override;
    void resetValue(int position) override;
    void applyValue(int position, float value) override;

    // The preset map's bytes for an older version; null when there is none.
    virtual std::unique_ptr<std::istream> openPresetMap(const std::string& tag, int version);
    // Every parameter of the target in index order.
    void buildIdentityEntries();

    int currentVersion_;
    int mappedVersion_ = -1;
    std::vector<Entry> entries_;
    std::vector<int> uncovered_;
};
