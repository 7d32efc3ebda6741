#pragma once

#include <memory>
#include <string>
#include <vector>

#include "gui/Button.h"
#include "gui/ValueDragMapper.h"

namespace gui {

class MenuItem;

// A button whose value picks one item of a list of names. The label shows the chosen item, or
// "(Multiple)" while the control stands for several differing values; pressing opens a menu of the
// items. The list may be shared with other select buttons. [ui]
class SelectButton : public Button {
public:
    static constexpr const char* kMultipleText = "(Multiple)";

    explicit SelectButton(UserInterface* ui, const Button::Style* style = nullptr);
    ~SelectButton() override;

    void setItems(std::vector<std::string> names);
    // Uses the other button's list, so that changing one changes both.
    void shareItems(const SelectButton& other);
    const std::vector<std::string>& items() const { return *items_; }

    void propertyChanged(AbstractProperty* property) override;
    void valueRangeChanged(AbstractProperty* property) override;
    bool wheel(int phase, Point point, int flags, float speedX, float speedY, float pixelsX,
               float pixelsY) override;

protected:
    PopupMenu* menuForPress() override;

private:
    void itemChosen(void* sender);
    void refreshLabel();
    void fitRange();

    std::shared_ptr<std::vector<std::string>> items_;
    std::unique_ptr<PopupMenu> menu_;
    ValueDragMapper mapper_;
};

}  // namespace gui
