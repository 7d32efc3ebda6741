#include "persistence/ComponentPresetHandler.h"

#include "persistence/PersistenceGlobals.h"

ComponentPresetHandler::ComponentPresetHandler(GenericPlugin& plugin, PluginPresets& presets, int kind,
                                               int instance, MessageFunction showMessage)
    : plugin_(plugin),
      presets_(presets),
      kind_(kind),
      instance_(instance),
      showMessage_(std::move(showMessage)) {}

PresetManager* ComponentPresetHandler::manager() const {
    PersistenceGlobals* globals = PersistenceGlobals::instance();
    return globals ? globals->componentPresets(kind_) : nullptr;
}

std::vector<PresetMenuItem> ComponentPresetHandler::menu(const std::string& currentPath) {
    std::vector<PresetMenuItem> items;
    if (PresetManager* m = manager()) {
        m->scan(m->path(), PresetFolder::kScanBudgetMs);
        items = PresetMenu::folderItems(*m, currentPath, false);
    }
    items.push_back(PresetMenuItem::separator());
    items.push_back(PresetMenuItem::command(kSaveAs));
    return items;
}

void ComponentPresetHandler::recordStep() {
    if (UndoHistory* history = plugin_.undoHistory()) history->record();
    if (CompareStates* compare = plugin_.compareStates()) compare->setChanged(true);
}

void ComponentPresetHandler::presetSelected(const PresetEntry& item) {
    if (presets_.loadComponentPreset(item.path, version(), kind_, instance_)) {
        recordStep();
    } else if (showMessage_) {
        showMessage_(kLoadFailed);
    }
}

bool ComponentPresetHandler::loadDefault() {
    bool loaded = presets_.loadDefaultComponentPreset(kind_, instance_);
    recordStep();
    return loaded;
}

std::string ComponentPresetHandler::defaultExtension() const {
    PresetManager* m = manager();
    std::string ext = m ? m->extension() : std::string();
    return ext.empty() || ext[0] != '.' ? ext : ext.substr(1);
}

std::string ComponentPresetHandler::saveFilter() const {
    std::string ext = defaultExtension();
    return "Brixholde Component Presets (*." + ext + ")|*." + ext + "|All Files (*.*)|*.*";
}

std::string ComponentPresetHandler::folder() const {
    PresetManager* m = manager();
    return m ? m->path() : std::string();
}

bool ComponentPresetHandler::saveAs(const std::string& path) {
    return presets_.saveComponentPreset(path, version(), kind_, instance_);
}
