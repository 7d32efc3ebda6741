#pragma once

#include "gui/Control.h"

namespace gui {

// A control that covers the whole window. It owns its children: destruction deletes them,
// deepest first, before the dialog itself goes. UI thread.
class Dialog : public Control {
public:
    explicit Dialog(UserInterface* ui);
    ~Dialog() override;
};

}  // namespace gui
