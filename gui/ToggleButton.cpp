#include "gui/ToggleButton.h"

#include <algorithm>

namespace gui {

ToggleButton::ToggleButton(UserInterface* ui, const Button::Style* style) : Button(ui, style) {
    toggles = true;
    maximum = 1;
    refreshOn();
}

ToggleButton::~ToggleButton() {
    for (ToggleButton* m : members_) m->leader_ = nullptr;
    if (leader_) std::erase(leader_->members_, this);
}

void ToggleButton::joinRadioGroup(ToggleButton* leader, int index) {
    if (leader_) std::erase(leader_->members_, this);
    leader_ = leader;
    index_ = index;
    if (leader_) leader_->members_.push_back(this);
    refreshOn();
}

void ToggleButton::propertyChanged(AbstractProperty* property) {
    if (property == &onValue) {
        refreshOn();
        return;
    }
    Button::propertyChanged(property);
}

void ToggleButton::valueRangeChanged(AbstractProperty* property) {
    Button::valueRangeChanged(property);
    refreshOn();
    refreshMembers();
}

void ToggleButton::refreshOn() {
    if (leader_)
        on = leader_->value - leader_->minimum == index_;
    else
        on = value == onValue;
}

void ToggleButton::refreshMembers() {
    for (ToggleButton* m : members_) m->refreshOn();
}

void ToggleButton::setOnByUser(bool state) {
    if (leader_) {
        // A member sets the leader, in an edit of the leader's own.
        if (!state && leader_->value - leader_->minimum == index_) {
            refreshOn();
            return;
        }
        leader_->edit(Begin, 0);
        leader_->editTo(leader_->minimum + index_);
        leader_->edit(End, 0);
        refreshOn();
        return;
    }
    const int offValue = onValue == minimum ? maximum : minimum;
    editTo(state ? onValue.get() : offValue);
    refreshOn();
}

}  // namespace gui
