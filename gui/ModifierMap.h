#pragma once

namespace gui {

// The process-wide table that turns modifier keys into edit actions. A lookup keeps Shift, Alt,
// Ctrl and the host modifier of the event's flags and answers the actions of the first entry whose
// combination equals them exactly, so holding the host modifier matches nothing. [ui] for lookups;
// the host adapter replaces entries once, before any editor opens.
class ModifierMap {
public:
    enum Action { Reset = 1, Fine = 2, Linked = 4 };

    static int lookupModifierAction(int flags);
    // Gives the entry with these action bits the combination, or appends one when there is none.
    static void setModifierAction(int actions, int combination);

    // The host-style table: Alt resets, Ctrl is fine, Shift links, Ctrl+Shift is fine and linked.
    static void useHostShortcuts();
    // Back to the table the library loads with: Ctrl resets, Shift is fine, Alt links,
    // Shift+Alt is fine and linked.
    static void useDefaults();
};

}  // namespace gui
