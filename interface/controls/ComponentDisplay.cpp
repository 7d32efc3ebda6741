#include "interface/controls/ComponentDisplay.h"

#include <algorithm>

#include "framework/AbstractPluginParameter.h"
#include "gui/ControlBar.h"
#include "gui/ModifierMap.h"
#include "gui/MultiLabel.h"
#include "gui/RootControl.h"
#include "gui/ScrollArea.h"
#include "interface/ParameterEditor.h"
#include "interface/controls/ComponentButton.h"
#include "interface/controls/SectionInterface.h"

namespace {

constexpr int kHintWidth = 132;
constexpr int kHintHeight = 42;
constexpr int kHintGap = 4;

}  // namespace

ComponentDisplay::ComponentDisplay(gui::UserInterface* ui, const gui::Button::Style* leftStyle,
                                   const gui::Button::Style* rightStyle)
    : gui::ScrollStrip(ui, leftStyle, rightStyle), row_(new gui::ControlBar(ui)) {
    row_->autoSize = true;
    row_->parent = &area();
    link(row_);
    for (auto*& label : hints_) {
        label = new gui::MultiLabel(ui, 3, gui::MultiLabel::Stacked);
        label->backgroundColour = gui::Rgba{16, 19, 24, 224};
        label->interactive = false;
        label->visible = false;
        for (int line = 0; line < 3; ++line) {
            label->text(line).size = 7;
            label->text(line).colour = gui::Rgba{226, 230, 236, 255};
        }
        label->text(2).bold = true;
        label->setBounds(0, 0, kHintWidth, kHintHeight);
        link(label);
    }
}

ComponentDisplay::~ComponentDisplay() {
    for (ComponentButton* b : buttons_) b->forgetDisplay(this);
}

void ComponentDisplay::linkRemoved(gui::Component* component) {
    if (component == row_) row_ = nullptr;
    for (auto*& label : hints_)
        if (component == label) label = nullptr;
    gui::ScrollStrip::linkRemoved(component);
}

void ComponentDisplay::resized() {
    gui::ScrollStrip::resized();
    // The row and its panels span the strip's height.
    if (!row_) return;
    row_->setSize(row_->width(), area().height());
    for (Entry& c : components_) c.panel->setSize(c.width, area().height());
}

int ComponentDisplay::addComponent(gui::Control* panel, int width) {
    panel->parent = nullptr;
    panel->setSize(width, area().height() > 0 ? area().height() : panel->height());
    components_.push_back({panel, width, false});
    return componentCount() - 1;
}

int ComponentDisplay::componentOf(const gui::Control* panel) const {
    for (int i = 0; i < componentCount(); ++i)
        if (components_[i].panel == panel) return i;
    return -1;
}

void ComponentDisplay::removeListener(Listener* listener) {
    listeners_.erase(std::remove(listeners_.begin(), listeners_.end(), listener), listeners_.end());
}

void ComponentDisplay::removeButton(ComponentButton* button) {
    buttons_.erase(std::remove(buttons_.begin(), buttons_.end(), button), buttons_.end());
    if (hintOwner_ == button) hideHints();
}

void ComponentDisplay::refreshComponent(int component) {
    if (auto* section = dynamic_cast<SectionInterface*>(components_[component].panel)) section->refresh();
}

void ComponentDisplay::openComponent(int i) {
    Entry& c = components_[i];
    refreshComponent(i);
    if (row_) {
        // Its place: after the panels of earlier components still in the row (sliding out too).
        int position = 0;
        for (const gui::Control* child : row_->children()) {
            const int j = componentOf(child);
            if (j >= 0 && j < i) ++position;
        }
        c.panel->setSize(c.width, c.panel->height());
        row_->setInsertionIndex(position);
        row_->insertAnimated(c.panel);
        row_->setInsertionIndex(-1);
    }
    c.open = true;
    componentStateChanged(i, true);
}

void ComponentDisplay::closeComponent(int i) {
    Entry& c = components_[i];
    if (row_) row_->removeAnimated(c.panel);
    c.open = false;
    componentStateChanged(i, false);
}

void ComponentDisplay::toggleComponent(int i) {
    if (i < 0 || i >= componentCount()) return;
    const bool opening = !components_[i].open;
    if (opening) {
        openComponent(i);
        if (exclusive)
            for (int j = 0; j < componentCount(); ++j)
                if (j != i && components_[j].open) closeComponent(j);
    } else {
        closeComponent(i);
    }
    for (ComponentButton* b : buttons_) b->invalidateAll();
    const std::vector<Listener*> listeners = listeners_;
    for (Listener* l : listeners) l->componentToggled(*this, i, opening);
}

std::string ComponentDisplay::resetModifierName() {
    using gui::Control;
    // Every combination of Shift, Alt, Ctrl and the host modifier, fewest keys first.
    static const int kCombinations[] = {Control::Ctrl, Control::Alt, Control::Shift, Control::HostModifier,
                                        Control::Ctrl | Control::Shift, Control::Ctrl | Control::Alt,
                                        Control::Alt | Control::Shift, Control::HostModifier | Control::Shift,
                                        Control::HostModifier | Control::Alt, Control::HostModifier | Control::Ctrl};
    for (int c : kCombinations) {
        if (gui::ModifierMap::lookupModifierAction(c) != gui::ModifierMap::Reset) continue;
        std::string name;
        auto add = [&](int key, const char* word) {
            if (!(c & key)) return;
            if (!name.empty()) name += "+";
            name += word;
        };
        add(Control::HostModifier, "Win");
        add(Control::Ctrl, "Ctrl");
        add(Control::Alt, "Alt");
        add(Control::Shift, "Shift");
        return name;
    }
    return "Ctrl";
}

void ComponentDisplay::showHints(ComponentButton& button) {
    gui::RootControl* root = button.root();
    if (!root) return;
    const std::string reset = resetModifierName();
    auto nameOf = [&](int place) {
        const AbstractPluginParameter* p = button.parameterAt(place) >= 0
                                               ? button.editor().parameter(button.parameterAt(place))
                                               : nullptr;
        return p ? p->name() : std::string(kUnassigned);
    };
    const gui::Point at = button.toRoot({button.width() + kHintGap, 0});
    for (int axis = 0; axis < 2; ++axis) {
        gui::MultiLabel* label = hints_[axis];
        if (!label) continue;
        const bool alternate = button.showsAlternate();
        const int edited = button.parameterAt(axis + (alternate ? 2 : 0));
        const AbstractPluginParameter* p = edited >= 0 ? button.editor().parameter(edited) : nullptr;
        label->text(0).text = nameOf(axis);
        label->text(1).text = "(" + reset + ") " + nameOf(axis + 2);
        label->text(2).text = p ? p->plainToText(p->value()) : std::string(kNoValue);
        label->setSegmentOpacity(0, alternate ? kInactiveLineOpacity : 255);
        label->setSegmentOpacity(1, alternate ? 255 : kInactiveLineOpacity);
        label->parent = root;
        label->setBounds(at.x, at.y + axis * (kHintHeight + kHintGap), kHintWidth, kHintHeight);
        label->visible = true;
        root->bringToFront(label);
    }
    hintOwner_ = &button;
}

void ComponentDisplay::hideHints(const ComponentButton* button) {
    if (button && button != hintOwner_) return;
    for (gui::MultiLabel* label : hints_)
        if (label) label->visible = false;
    hintOwner_ = nullptr;
}
