#include "gui/native/WindowPopupMenu.h"

#include "gui/MenuItem.h"
#include "gui/native/WindowControl.h"
#include "gui/native/WindowInterface.h"

namespace gui {

std::string WindowPopupMenu::menuText(const std::string& name) {
    std::string text;
    text.reserve(name.size());
    for (char c : name) {
        text += c;
        if (c == '&') text += '&';
    }
    return text;
}

void WindowPopupMenu::insertItems(const Menu& menu, int depth, std::vector<native::MenuEntry>& entries) {
    for (int i = 0; i < menu.itemCount(); ++i) {
        MenuItem* item = menu.itemAt(i);
        if (!item->visible) continue;
        inserted_.push_back(item);
        native::MenuEntry e;
        e.number = static_cast<int>(inserted_.size());
        e.depth = depth;
        e.separator = item->isSeparator();
        if (!e.separator) e.text = menuText(item->name);
        e.checked = item->checkMark;
        e.enabled = item->enabled;
        e.submenu = item->itemCount() > 0;
        entries.push_back(std::move(e));
        if (item->itemCount() > 0) insertItems(*item, depth + 1, entries);
    }
}

WindowPopupMenu::~WindowPopupMenu() {
    if (shown_) {
        cancel();
        ui_.menuClosed(this);
    }
    *alive_ = false;
}

void WindowPopupMenu::cancel() {
    if (!shown_ || cancelled_) return;
    cancelled_ = true;
    ui_.windowSystem().cancelPopupMenu(ui_.window());
}

void WindowPopupMenu::show(const Rect& rect) {
    // A menu is modal: it is not shown a second time from inside its own loop.
    if (!ui_.isUiThread() || shown_) return;
    openingEvent.fire(this);
    // Let the window show its current state before the modal loop starts.
    if (WindowControl* root = ui_.windowControl(); root && !root->pendingWindowRect().isEmpty())
        root->paintWindow({});

    std::vector<native::MenuEntry> entries;
    inserted_.clear();
    insertItems(*this, 0, entries);
    const Point at{rect.left, rect.bottom};
    shown_ = true;
    cancelled_ = false;
    ui_.menuOpened(this);
    const std::shared_ptr<bool> alive = alive_;
    WindowInterface& ui = ui_;
    const int chosen =
        ui.runModal([&] { return ui.windowSystem().trackPopupMenu(ui.window(), entries, at); });
    if (!*alive) return;
    ui_.menuClosed(this);
    shown_ = false;
    std::vector<MenuItem*> inserted;
    inserted.swap(inserted_);
    if (cancelled_) return;
    if (chosen >= 1 && chosen <= static_cast<int>(inserted.size())) {
        MenuItem* item = inserted[chosen - 1];
        if (!item->isSeparator() && item->enabled && item->itemCount() == 0) item->chosenEvent.fire(item);
    }
}

}  // namespace gui
