#pragma once

#include <string>

#include "core/NotifyEvent.h"
#include "core/Property.h"
#include "gui/Menu.h"

namespace gui {

// One entry of a menu. The name "-" makes a separator; an item with items is a submenu.
class MenuItem : public Menu {
public:
    explicit MenuItem(std::string name = std::string()) : name(std::move(name)) {}

    bool isSeparator() const { return name == "-"; }

    std::string name;
    Property<bool> checkMark{nullptr, false};
    bool enabled = true;
    bool visible = true;
    // Fired when the user chooses the item; sender = the item. UI thread.
    NotifyEvent chosenEvent;
};

}  // namespace gui
