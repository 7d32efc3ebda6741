#include "persistence/PresetMenu.h"

namespace {
bool holds(const PresetFolder& folder, const std::string& path) {
    return !folder.path().empty() && path.compare(0, folder.path().size(), folder.path()) == 0;
}

PresetMenuItem submenu(const PresetFolder& folder, const std::string& currentPath, bool useLabels) {
    PresetMenuItem item;
    item.kind = PresetMenuItem::Submenu;
    item.text = folder.displayName();
    item.path = folder.path();
    item.checked = holds(folder, currentPath);
    item.items = PresetMenu::folderItems(folder, currentPath, useLabels);
    return item;
}
}  // namespace

std::vector<PresetMenuItem> PresetMenu::folderItems(const PresetFolder& folder,
                                                    const std::string& currentPath, bool useLabels) {
    std::vector<PresetMenuItem> items;
    if (folder.empty()) {
        PresetMenuItem none;
        none.text = kNoPresets;
        none.enabled = false;
        items.push_back(none);
        return items;
    }
    for (const auto& sub : folder.subfolders()) items.push_back(submenu(*sub, currentPath, useLabels));
    for (const auto& entry : folder.entries()) {
        PresetMenuItem item;
        item.text = useLabels ? entry->label : entry->name;
        item.path = entry->path;
        item.checked = entry->path == currentPath;
        items.push_back(item);
    }
    return items;
}

std::vector<PresetMenuItem> PresetMenu::mainItems(const PresetManager& manager,
                                                  const std::string& currentPath, bool useLabels) {
    std::vector<PresetMenuItem> items = folderItems(manager, currentPath, useLabels);
    if (!manager.extraFolders().empty()) items.push_back(PresetMenuItem::separator());
    for (const auto& extra : manager.extraFolders()) items.push_back(submenu(*extra, currentPath, useLabels));
    return items;
}
