#pragma once

#include <memory>
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
    // Destroyed while shown (its owner torn down from inside the menu's loop), it closes itself;
    // show then returns without touching it.
    ~WindowPopupMenu() override;

    void show(const Rect& rect) override;
    void cancel() override;
    bool isShown() const override { return shown_; }

    // The item text as the native menu shows it: every "&" doubled, so none makes a mnemonic.
    static std::string menuText(const std::string& name);

private:
    void insertItems(const Menu& menu, int depth, std::vector<native::MenuEntry>& entries);

    WindowInterface& ui_;
    // While shown: the inserted items, entry n at index n - 1.
    std::vector<MenuItem*> inserted_;
    bool shown_ = false;
    bool cancelled_ = false;
    // Cleared by the destructor, for a show still on the stack.
    std::shared_ptr<bool> alive_ = std::make_shared<bool>(true);
};

}  // namespace gui
