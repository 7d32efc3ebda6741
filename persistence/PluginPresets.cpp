#include "persistence/PluginPresets.h"

#include "persistence/CollectionPresetLoader.h"
#include "persistence/CustomPresetLoader.h"
#include "persistence/LorimanePresetLoader.h"
#include "persistence/PersistenceGlobals.h"

PluginPresets::PluginPresets(GenericPlugin& plugin, std::string tag)
    : plugin_(plugin), tag_(std::move(tag)), all_(plugin, tag_) {}

void PluginPresets::collectAllParameters() {
    all_.clear();
    all_.addAll();
}

int PluginPresets::registerComponentKind(const std::string& folderName, const std::string& extension) {
    PersistenceGlobals* globals = PersistenceGlobals::instance();
    int kind = globals ? globals->registerComponentKind(folderName, extension)
                       : static_cast<int>(components_.size());
    if (static_cast<int>(components_.size()) <= kind) components_.resize(static_cast<std::size_t>(kind) + 1);
    return kind;
}

int PluginPresets::addComponentCollection(int kind, int firstParameter, int count) {
    if (kind < 0) return -1;
    if (static_cast<int>(components_.size()) <= kind) components_.resize(static_cast<std::size_t>(kind) + 1);
    auto collection = std::make_unique<ParameterCollection>(plugin_, tag_);
    collection->addRange(firstParameter, count);
    auto& list = components_[static_cast<std::size_t>(kind)];
    list.push_back(std::move(collection));
    return static_cast<int>(list.size()) - 1;
}

int PluginPresets::addComponentCollection(int kind, const std::vector<AbstractPluginParameter*>& parameters) {
    if (kind < 0) return -1;
    if (static_cast<int>(components_.size()) <= kind) components_.resize(static_cast<std::size_t>(kind) + 1);
    auto collection = std::make_unique<ParameterCollection>(plugin_, tag_);
    for (AbstractPluginParameter* p : parameters) collection->add(p);
    auto& list = components_[static_cast<std::size_t>(kind)];
    list.push_back(std::move(collection));
    return static_cast<int>(list.size()) - 1;
}

int PluginPresets::componentInstanceCount(int kind) const {
    if (kind < 0 || kind >= static_cast<int>(components_.size())) return 0;
    return static_cast<int>(components_[static_cast<std::size_t>(kind)].size());
}

ParameterCollection* PluginPresets::componentCollection(int kind, int instance) {
    if (kind < 0 || kind >= static_cast<int>(components_.size())) return nullptr;
    auto& list = components_[static_cast<std::size_t>(kind)];
    if (instance < 0 || instance >= static_cast<int>(list.size())) return nullptr;
    return list[static_cast<std::size_t>(instance)].get();
}

bool PluginPresets::loadPresetFile(const GenericPlugin::PresetRecord& preset) {
    float frozen = freeze_ ? freeze_->value() : 0.0f;
    CustomPresetLoader current(plugin_, tag_, kPresetVersion);
    bool loaded = current.loadFile(preset.path, -1);
    if (!loaded && older_) {
        LorimanePresetLoader previous(plugin_, tag_, *older_);
        loaded = previous.loadFile(preset.path, -1);
    }
    if (freeze_ && freeze_->value() != frozen) freeze_->setValue(frozen, 0);
    return loaded;
}

bool PluginPresets::savePresetFile(const GenericPlugin::PresetRecord& preset) {
    bool saved = all_.saveToFile(preset.path, kPresetVersion);
    if (PersistenceGlobals* globals = PersistenceGlobals::instance()) {
        PresetManager& main = globals->mainPresets();
        main.setFolder(main.path());
    }
    return saved;
}

bool PluginPresets::findPreset(const std::string& name, GenericPlugin::PresetRecord& preset) {
    PersistenceGlobals* globals = PersistenceGlobals::instance();
    std::optional<GenericPlugin::PresetRecord> found =
        globals ? globals->mainPresets().recordByName(name) : std::nullopt;
    if (!found) return false;
    preset = std::move(*found);
    return true;
}

bool PluginPresets::loadComponentPreset(const std::string& path, int version, int kind, int instance) {
    ParameterCollection* collection = componentCollection(kind, instance);
    if (!collection) return false;
    CollectionPresetLoader loader(*collection, tag_);
    return loader.loadFile(path, version);
}

bool PluginPresets::saveComponentPreset(const std::string& path, int version, int kind, int instance) {
    ParameterCollection* collection = componentCollection(kind, instance);
    bool saved = collection && collection->saveToFile(path, version);
    if (PersistenceGlobals* globals = PersistenceGlobals::instance())
        if (PresetManager* manager = globals->componentPresets(kind))
            manager->scan(manager->path(), PresetFolder::kScanBudgetMs);
    return saved;
}

bool PluginPresets::loadDefaultComponentPreset(int kind, int instance) {
    PersistenceGlobals* globals = PersistenceGlobals::instance();
    PresetManager* manager = globals ? globals->componentPresets(kind) : nullptr;
    if (!manager) return false;
    manager->scan(manager->path(), PresetFolder::kScanBudgetMs);
    PresetEntry* entry = manager->findByName("Default");
    return entry && loadComponentPreset(entry->path, kComponentVersion, kind, instance);
}
