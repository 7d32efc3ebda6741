#pragma once

#include "gui/MultiLabel.h"

namespace gui {

// A label of one text segment. UI thread.
class Label : public MultiLabel {
public:
    explicit Label(UserInterface* ui) : MultiLabel(ui, 1) {}

    Text& text() { return MultiLabel::text(0); }
};

}  // namespace gui
