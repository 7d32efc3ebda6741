#include "gui/Menu.h"

#include "gui/MenuItem.h"

namespace gui {

Menu::Menu() = default;
Menu::~Menu() = default;

int Menu::addItem(MenuItem* item) {
    return addItem(std::unique_ptr<MenuItem>(item));
}

int Menu::addItem(std::unique_ptr<MenuItem> item) {
    return insertItem(-1, std::move(item));
}

int Menu::insertItem(int index, std::unique_ptr<MenuItem> item) {
    if (index < 0 || index > itemCount()) index = itemCount();
    items_.insert(items_.begin() + index, std::move(item));
    return index;
}

int Menu::addSeparator() {
    return addItem(std::make_unique<MenuItem>("-"));
}

MenuItem* Menu::itemAt(int index) const {
    return index >= 0 && index < itemCount() ? items_[index].get() : nullptr;
}

int Menu::indexOf(const MenuItem* item) const {
    for (int i = 0; i < itemCount(); ++i)
        if (items_[i].get() == item) return i;
    return -1;
}

void Menu::clearItems() {
    items_.clear();
}

}  // namespace gui
