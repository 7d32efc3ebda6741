#include "persistence/PersistenceGlobals.h"

#include <filesystem>

#include "persistence/RegistryReader.h"
#include "streams/PathFunctions.h"

namespace {
std::unique_ptr<PersistenceGlobals>& slot() {
    static std::unique_ptr<PersistenceGlobals> globals;
    return globals;
}
std::string_view& embeddedBundle() {
    static std::string_view bytes;
    return bytes;
}
}  // namespace

void PersistenceGlobals::setEmbeddedFactoryBundle(std::string_view bytes) {
    embeddedBundle() = bytes;
}

PersistenceGlobals::PersistenceGlobals(const VersionRecord& version)
    : version_(version), main_(std::make_unique<PresetManager>("", ".bxp")) {
    if (!embeddedBundle().empty()) bundle_ = std::string(embeddedBundle());
}

PersistenceGlobals& PersistenceGlobals::create(const VersionRecord& version) {
    installSettingsWriter();
    slot().reset(new PersistenceGlobals(version));
    return *slot();
}

void PersistenceGlobals::release() {
    slot().reset();
}

PersistenceGlobals* PersistenceGlobals::instance() {
    return slot().get();
}

int PersistenceGlobals::registerComponentKind(const std::string& folderName, const std::string& extension) {
    for (std::size_t k = 0; k < components_.size(); ++k)
        if (components_[k].folderName == folderName) return static_cast<int>(k);
    std::string folder =
        applicationData() + kComponentPresetsFolder + kPathSeparator + folderName + kPathSeparator;
    createDirectories(folder);
    components_.push_back({folderName, std::make_unique<PresetManager>(folder, extension)});
    return static_cast<int>(components_.size()) - 1;
}

PresetManager* PersistenceGlobals::componentPresets(int kind) {
    if (kind < 0 || kind >= static_cast<int>(components_.size())) return nullptr;
    return components_[static_cast<std::size_t>(kind)].manager.get();
}

PresetManager* PersistenceGlobals::presetFolder(int index) {
    return index == -1 ? main_.get() : componentPresets(index);
}

bool PersistenceGlobals::loadControllerMap() {
    std::string path = controllerMapPath();
    bool loaded = controllerMap_.load(path);
    std::error_code ignored;
    controllerMapFileUnread_ = !loaded && std::filesystem::exists(path, ignored);
    return loaded;
}

bool PersistenceGlobals::saveControllerMapAtExit() {
    if (controllerMapFileUnread_) {
        // Saving the default map now would only destroy the bindings of a file we could not read.
        MidiControllerMap standard;
        standard.loadDefault();
        if (controllerMap_.serialize() == standard.serialize()) return false;
    }
    return saveControllerMap();
}

bool PersistenceGlobals::saveControllerMap() {
    if (!createDirectories(applicationData())) return false;
    if (!controllerMap_.save(controllerMapPath())) return false;
    controllerMapFileUnread_ = false;
    return true;
}

void PersistenceGlobals::readSettings(GenericPlugin::SharedSettings& shared,
                                      GenericPlugin::SettingsBase* instanceSettings, bool firstInstance) {
    readGlobalSettings({shared, instanceSettings, main_.get(), state_, version_});
    if (!firstInstance) return;
    state_.helpFileName = readHelpFileName(version_);
    if (!olderFolderAdded_) {
        olderFolderAdded_ = true;
        RegistryReader older(majorVersionKey(version_, 1));
        std::string folder = older.stringValue("PresetFolder", "", "");
        if (!folder.empty()) main_->addExtraFolder(folder, "V1 Preset Folder");
    }
    if (state_.newVersion || main_->empty()) installFactoryContent(false);
}

void PersistenceGlobals::writeSettings(GenericPlugin::SharedSettings& shared,
                                       GenericPlugin::SettingsBase* instanceSettings) {
    writeGlobalSettings({shared, instanceSettings, main_.get(), state_, version_});
}

void PersistenceGlobals::changePresetFolder(const std::string& folder, GenericPlugin::SharedSettings& shared,
                                            GenericPlugin::SettingsBase* instanceSettings) {
    main_->setFolder(addTrailingBackslash(folder));
    writeSettings(shared, instanceSettings);
}

bool PersistenceGlobals::installFactoryContent(bool overwrite) {
    bool result = bundle_ ? main_->installFactoryContent(overwrite, applicationData(), *bundle_)
                          : main_->installFactoryContent(overwrite, applicationData());
    // The component folders may have received presets too.
    for (Component& c : components_) c.manager->scan(c.manager->path(), PresetFolder::kScanBudgetMs);
    return result;
}
