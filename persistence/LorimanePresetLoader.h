#pragma once

#include <vector>

#include "persistence/CustomPresetLoader.h"
#include "persistence/OlderPresetFormats.h"

// Loads the older full-preset layouts (versions 1 to 4, tags by version as the formats say): every
// parameter is reset first, the values go where the version's layout sends them (parameters or
// capture slots), and the formats then convert what changed meaning. A layout that points outside
// the parameters or the capture slots is refused before anything changes. UI thread.
class LorimanePresetLoader : public CustomPresetLoader {
public:
    static constexpr int kOldestVersion = 1;
    static constexpr int kNewestOlderVersion = 4;

    LorimanePresetLoader(GenericParameterOwner& target, std::string currentTag, OlderPresetFormats& formats)
        : CustomPresetLoader(target, std::move(currentTag), -1),
          formats_(formats),
          captures_(static_cast<std::size_t>(std::max(formats.captureCount(), 0))) {}

protected:
    std::string expectedTag(int version) override;
    bool acceptsVersion(int version) override;
    void prepareLoad(int version) override;
    void finishLoad(int version) override;

private:
    OlderPresetFormats& formats_;
    std::vector<float> captures_;
};
