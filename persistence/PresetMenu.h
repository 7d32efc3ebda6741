#pragma once

#include <string>
#include <vector>

#include "persistence/PresetManager.h"

// A preset menu as data, for the editor's toolkit to show: the folder tree as submenus titled with
// their display names followed by one item per entry, "(No Presets)" (disabled) for a tree without
// any, and check marks on the current preset and on every submenu whose folder holds it. UI thread.
struct PresetMenuItem {
    enum Kind { Entry, Submenu, Separator, Command };
    Kind kind = Entry;
    std::string text;
    std::string path;  // the entry's file, or the submenu's folder
    bool checked = false;
    bool enabled = true;
    std::vector<PresetMenuItem> items;  // a submenu's content

    static PresetMenuItem separator() {
        PresetMenuItem item;
        item.kind = Separator;
        return item;
    }
    static PresetMenuItem command(std::string text) {
        PresetMenuItem item;
        item.kind = Command;
        item.text = std::move(text);
        return item;
    }
};

struct PresetMenu {
    static constexpr const char* kNoPresets = "(No Presets)";

    // The items of one folder tree. useLabels shows "(bank/program) name" instead of the name.
    static std::vector<PresetMenuItem> folderItems(const PresetFolder& folder, const std::string& currentPath,
                                                   bool useLabels);
    // The main menu's tree: the root tree, then a separator and one submenu per extra folder.
    static std::vector<PresetMenuItem> mainItems(const PresetManager& manager, const std::string& currentPath,
                                                 bool useLabels);
};
