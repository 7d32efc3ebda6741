#include "persistence/LorimanePresetLoader.h"

std::string LorimanePresetLoader::expectedTag(int version) {
    OlderPresetFormats::Layout layout;
    if (version < kOldestVersion || version > kNewestOlderVersion || !formats_.layout(version, layout))
        return tag_;
    return layout.tag;
}

bool LorimanePresetLoader::acceptsVersion(int version) {
    OlderPresetFormats::Layout layout;
    if (version < kOldestVersion || version > kNewestOlderVersion || !formats_.layout(version, layout))
        return false;
    int parameters = target_.getParameterCount();
    int captures = static_cast<int>(captures_.size());
    std::vector<Entry> entries(layout.positions.size());
    for (std::size_t i = 0; i < layout.positions.size(); ++i) {
        int p = layout.positions[i];
        if (OlderPresetFormats::isCapture(p)) {
            int slot = OlderPresetFormats::captureSlot(p);
            if (slot >= captures) return false;
            entries[i].capture = &captures_[static_cast<std::size_t>(slot)];
        } else if (p != OlderPresetFormats::kDropped) {
            if (p >= parameters) return false;
            entries[i].parameter = target_.getParameter(p);
        }
    }
    entries_ = std::move(entries);
    uncovered_.clear();
    mappedVersion_ = version;
    return true;
}

void LorimanePresetLoader::prepareLoad(int version) {
    int n = target_.getParameterCount();
    for (int i = 0; i < n; ++i)
        if (AbstractPluginParameter* p = target_.getParameter(i)) p->setValue(p->defaultValue(), 0);
    std::fill(captures_.begin(), captures_.end(), 0.0f);
    formats_.prepareLoad(version, captures_);
}

void LorimanePresetLoader::finishLoad(int version) {
    formats_.finishLoad(version, captures_);
}
