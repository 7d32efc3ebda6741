#include "gui/ModifierMap.h"

#include <array>

#include "gui/Control.h"

namespace gui {

namespace {

struct Entry {
    int combination;
    int actions;
};

// At most one entry per action value; four actions are in use and room is kept for a few more.
struct Table {
    std::array<Entry, 8> entries{};
    int count = 0;
};

constexpr int kKeyMask = Control::Shift | Control::Alt | Control::Ctrl | Control::HostModifier;

Table defaultTable() {
    Table t;
    t.entries[0] = {Control::Ctrl, ModifierMap::Reset};
    t.entries[1] = {Control::Shift, ModifierMap::Fine};
    t.entries[2] = {Control::Alt, ModifierMap::Linked};
    t.entries[3] = {Control::Shift | Control::Alt, ModifierMap::Fine | ModifierMap::Linked};
    t.count = 4;
    return t;
}

Table& table() {
    static Table t = defaultTable();
    return t;
}

}  // namespace

int ModifierMap::lookupModifierAction(int flags) {
    const Table& t = table();
    const int keys = flags & kKeyMask;
    for (int i = 0; i < t.count; ++i)
        if (t.entries[i].combination == keys) return t.entries[i].actions;
    return 0;
}

void ModifierMap::setModifierAction(int actions, int combination) {
    Table& t = table();
    combination &= kKeyMask;
    for (int i = 0; i < t.count; ++i)
        if (t.entries[i].actions == actions) {
            t.entries[i].combination = combination;
            return;
        }
    if (t.count < static_cast<int>(t.entries.size())) t.entries[t.count++] = {combination, actions};
}

void ModifierMap::useHostShortcuts() {
    setModifierAction(Reset, Control::Alt);
    setModifierAction(Fine, Control::Ctrl);
    setModifierAction(Linked, Control::Shift);
    setModifierAction(Fine | Linked, Control::Ctrl | Control::Shift);
}

void ModifierMap::useDefaults() {
    table() = defaultTable();
}

}  // namespace gui
