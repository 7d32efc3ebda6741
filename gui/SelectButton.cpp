#include "gui/SelectButton.h"

#include <algorithm>

#include "gui/MenuItem.h"
#include "gui/PopupMenu.h"
#include "gui/UserInterface.h"

namespace gui {

SelectButton::SelectButton(UserInterface* ui, const Button::Style* style)
    : Button(ui, style), items_(std::make_shared<std::vector<std::string>>()), mapper_(ui->clock()) {
    fitRange();
}

SelectButton::~SelectButton() = default;

void SelectButton::setItems(std::vector<std::string> names) {
    *items_ = std::move(names);
    fitRange();
    refreshLabel();
}

void SelectButton::shareItems(const SelectButton& other) {
    items_ = other.items_;
    fitRange();
    refreshLabel();
}

void SelectButton::fitRange() {
    minimum = 0;
    // A range needs two ends; with one item the second stays unnamed.
    maximum = std::max(1, static_cast<int>(items_->size()) - 1);
    mapper_.valueRange = range();
}

void SelectButton::refreshLabel() {
    const int index = value - minimum;
    if (multiple)
        setText(kMultipleText);
    else if (index >= 0 && index < static_cast<int>(items_->size()))
        setText((*items_)[static_cast<size_t>(index)]);
    else
        setText(std::string());
}

void SelectButton::propertyChanged(AbstractProperty* property) {
    Button::propertyChanged(property);
    if (property == &multiple) refreshLabel();
}

void SelectButton::valueRangeChanged(AbstractProperty* property) {
    Button::valueRangeChanged(property);
    mapper_.valueRange = range();
    refreshLabel();
}

PopupMenu* SelectButton::menuForPress() {
    if (!menu_) menu_ = userInterface()->createPopupMenu();
    menu_->clearItems();
    for (size_t i = 0; i < items_->size(); ++i) {
        auto item = std::make_unique<MenuItem>((*items_)[i]);
        // No item is marked while the button stands for several values.
        item->checkMark = !multiple && static_cast<int>(i) == value - minimum;
        item->chosenEvent.addHandler(this, &SelectButton::itemChosen);
        menu_->addItem(std::move(item));
    }
    return menu_.get();
}

void SelectButton::itemChosen(void* sender) {
    for (int i = 0; i < menu_->itemCount(); ++i)
        if (menu_->itemAt(i) == sender) {
            editTo(minimum + i);
            // The chosen item now stands for every value the button showed.
            multiple = false;
            return;
        }
}

bool SelectButton::wheel(int phase, Point, int flags, float, float speedY, float, float) {
    // Turning away from the user moves down the list, as the menu reads.
    return wheelEdit(mapper_, phase, -speedY, flags, false);
}

}  // namespace gui
