#pragma once

#include <memory>
#include <vector>

namespace gui {

class MenuItem;

// An ordered list of owned menu items; an item that has items of its own is a submenu.
class Menu {
public:
    Menu();
    virtual ~Menu();
    Menu(const Menu&) = delete;
    Menu& operator=(const Menu&) = delete;

    // Takes ownership; answers the item's index.
    int addItem(MenuItem* item);
    int addItem(std::unique_ptr<MenuItem> item);
    // Takes ownership and puts the item at the index, before the item there; an index outside the
    // items (-1 among them) appends. Answers the item's index.
    int insertItem(int index, std::unique_ptr<MenuItem> item);
    int addSeparator();
    int itemCount() const { return static_cast<int>(items_.size()); }
    MenuItem* itemAt(int index) const;
    // The item's index among this menu's own items (not its submenus'), or -1.
    int indexOf(const MenuItem* item) const;
    void clearItems();

private:
    std::vector<std::unique_ptr<MenuItem>> items_;
};

}  // namespace gui
