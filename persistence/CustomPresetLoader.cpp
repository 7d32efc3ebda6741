#include "persistence/CustomPresetLoader.h"

#include "persistence/PresetMap.h"
#include "streams/Resource.h"

void CustomPresetLoader::buildIdentityEntries() {
    entries_.clear();
    int n = target_.getParameterCount();
    entries_.resize(static_cast<std::size_t>(n));
    for (int i = 0; i < n; ++i) entries_[static_cast<std::size_t>(i)].parameter = target_.getParameter(i);
    uncovered_.clear();
}

bool CustomPresetLoader::acceptsVersion(int version) {
    if (currentVersion_ == -1 || version == mappedVersion_) {
        if (entries_.empty() && mappedVersion_ == -1) buildIdentityEntries();
        return true;
    }
    if (version <= 0 || version > currentVersion_) return false;
    if (version == currentVersion_) {
        buildIdentityEntries();
        mappedVersion_ = version;
        return true;
    }
    std::unique_ptr<std::istream> in = openPresetMap(tag_, version);
    PresetMap map;
    if (!in || !map.read(*in, target_.getParameterCount())) return false;
    entries_.assign(map.map.size(), Entry{});
    for (std::size_t i = 0; i < map.map.size(); ++i)
        if (map.map[i] >= 0) entries_[i].parameter = target_.getParameter(map.map[i]);
    uncovered_.assign(map.uncovered.begin(), map.uncovered.end());
    mappedVersion_ = version;
    return true;
}

std::unique_ptr<std::istream> CustomPresetLoader::openPresetMap(const std::string& tag, int version) {
    std::string name = PresetMap::resourceName(tag, version);
    if (!resourceExists(name)) return nullptr;
    return openResource(name);
}

void CustomPresetLoader::prepareLoad(int) {
    for (int index : uncovered_)
        if (AbstractPluginParameter* p = target_.getParameter(index)) p->setValue(p->defaultValue(), 0);
}

void CustomPresetLoader::applyValue(int position, float value) {
    Entry& e = entries_[static_cast<std::size_t>(position)];
    if (e.parameter) e.parameter->setValue(value, 0);
    if (e.capture) *e.capture = value;
    e.last = value;
}

void CustomPresetLoader::resetValue(int position) {
    Entry& e = entries_[static_cast<std::size_t>(position)];
    if (e.parameter) e.parameter->setValue(e.parameter->defaultValue(), 0);
}
