#pragma once

#include <vector>

#include "gui/PopupMenu.h"
#include "gui/native/WindowSystem.h"

namespace gui {

class MenuItem;
class WindowInterface;

// A pop-up menu tracked by the window system. The native menu is rebuilt at every show from the
// visible items, numbered 1, 2, ... in insertion order with submenu items included. UI thread.
class WindowPopupMenu : public PopupMenu {
public:
    explicit WindowPopupMenu(WindowInterface& ui) : ui_(ui) {}

    void show(const Rect& rect) override;

    // The item text as the native menu shows it: every "&" doubled, so none makes a mnemonic.
    static std::string menuText(const std::string& name);

private:
    void insertItems(const Menu& menu, int depth, std::vector<native::MenuEntry>& entries);

    WindowInterface& ui_;
    // While shown: the inserted items, entry n at index n - 1.
    std::vector<MenuItem*> inserted_;
};

}  // namespace gui
