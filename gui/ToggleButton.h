#pragma once

#include <vector>

#include "gui/Button.h"

namespace gui {

// A button that toggles a value between 0 and 1 (on at the on value). It may lead a radio group:
// each member shows on while the leader's value (from its minimum) equals the member's index, and
// clicking a member sets the leader to that index. [ui]
class ToggleButton : public Button {
public:
    explicit ToggleButton(UserInterface* ui, const Button::Style* style = nullptr);
    ~ToggleButton() override;

    Property<int> onValue{this, 1};

    void propertyChanged(AbstractProperty* property) override;
    void valueRangeChanged(AbstractProperty* property) override;

    // Makes this button member `index` of the leader's radio group.
    void joinRadioGroup(ToggleButton* leader, int index);
    ToggleButton* radioLeader() const { return leader_; }
    int radioIndex() const { return index_; }

protected:
    void setOnByUser(bool state) override;

private:
    void refreshOn();
    void refreshMembers();

    ToggleButton* leader_ = nullptr;
    int index_ = -1;
    std::vector<ToggleButton*> members_;
};

}  // namespace gui
