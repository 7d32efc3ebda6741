#pragma once

#include <functional>

#include "gui/ValueControl.h"

// An invisible value control bound to a parameter only to hear of its changes: the editor keeps
// every bound control up to date, so a panel learns of host automation, preset loads and undo the
// same way as of its own edits. Fine enough (2^24 steps) that any change moves it. [ui]
class ParameterWatcher : public gui::ValueControl {
public:
    ParameterWatcher(gui::UserInterface* ui, std::function<void()> changed);

    void valueRangeChanged(AbstractProperty* property) override;

private:
    std::function<void()> changed_;
};
