#pragma once

#include "core/NotifyEvent.h"
#include "gui/Menu.h"
#include "gui/Rect.h"

namespace gui {

// A menu shown modally at a place in the window. The platform variant builds the native menu at
// every show; the items persist.
class PopupMenu : public Menu {
public:
    // Fired before the menu is built, so that the owner can update the items; sender = the menu.
    NotifyEvent openingEvent;

    // Shows the menu at the rectangle's bottom-left corner (window coordinates) and fires the
    // chosen item's chosenEvent. UI thread; does nothing on another thread.
    virtual void show(const Rect& rect) = 0;
    // Closes the menu while it is shown, as if the user had dismissed it: show returns having
    // chosen nothing. Nothing happens when it is not shown. UI thread.
    virtual void cancel() = 0;
    virtual bool isShown() const = 0;
};

}  // namespace gui
