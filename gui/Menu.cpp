#include "gui/Menu.h"

#include "gui/MenuItem.h"

namespace gui {

Menu::Menu() = default;
Menu::~Menu() = default;

int Menu::addItem(MenuItem* item) {
    return addItem(std::unique_ptr<MenuItem>(item));
}

int Menu::addItem(std::unique_ptr<MenuItem> item) {
    items_.push_back(std::move(item));
    return itemCount() - 1;
}

int Menu::addSeparator() {
    return addItem(std::make_unique<MenuItem>("-"));
}

MenuItem* Menu::itemAt(int index) const {
    return index >= 0 && index < itemCount() ? items_[index].get() : nullptr;
}

void Menu::clearItems() {
    items_.clear();
}

}  // namespace gui
