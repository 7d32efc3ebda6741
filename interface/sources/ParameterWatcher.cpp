#include "interface/sources/ParameterWatcher.h"

ParameterWatcher::ParameterWatcher(gui::UserInterface* ui, std::function<void()> changed)
    : gui::ValueControl(ui), changed_(std::move(changed)) {
    maximum = 1 << 24;
    visible = false;
    interactive = false;
}

void ParameterWatcher::valueRangeChanged(AbstractProperty* property) {
    gui::ValueControl::valueRangeChanged(property);
    if (property == &value && changed_) changed_();
}
