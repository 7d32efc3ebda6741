#pragma once

#include <string>
#include <vector>

#include "gui/ScrollStrip.h"

class ComponentButton;

namespace gui {
class ControlBar;
class MultiLabel;
}

// A scrolling row of panels (components) that open and close: opening slides a panel in at its
// place in the row, closing slides it out, and an exclusive display keeps at most one open. The
// display also owns the two hint labels (one per drag axis) that its component buttons show
// while hovered or dragged. [ui]
class ComponentDisplay : public gui::ScrollStrip {
public:
    // Told after every toggle.
    class Listener {
    public:
        virtual ~Listener() = default;
        virtual void componentToggled(ComponentDisplay& display, int component, bool open) = 0;
    };

    struct Entry {
        gui::Control* panel = nullptr;
        int width = 0;
        bool open = false;
    };

    static constexpr const char* kUnassigned = "Unassigned";
    static constexpr const char* kNoValue = "No Value";
    static constexpr int kInactiveLineOpacity = 128;

    explicit ComponentDisplay(gui::UserInterface* ui, const gui::Button::Style* leftStyle = nullptr,
                              const gui::Button::Style* rightStyle = nullptr);
    ~ComponentDisplay() override;

    bool exclusive = true;
    // The editor's "ShowComponentDisplays" setting; the hint labels show only while it is on.
    bool showHintLabels = true;

    // Appends a closed component; the panel is not owned.
    int addComponent(gui::Control* panel, int width);
    void toggleComponent(int component);
    // The component of a panel, or -1.
    int componentOf(const gui::Control* panel) const;
    int componentCount() const { return static_cast<int>(components_.size()); }
    const Entry& component(int i) const { return components_.at(i); }
    bool isOpen(int i) const { return components_.at(i).open; }

    void addListener(Listener* listener) { listeners_.push_back(listener); }
    void removeListener(Listener* listener);

    // Component buttons register so that the display can tell them about toggles.
    void addButton(ComponentButton* button) { buttons_.push_back(button); }
    void removeButton(ComponentButton* button);
    const std::vector<ComponentButton*>& buttons() const { return buttons_; }

    // The hint labels: three lines each (primary parameter, "(" reset key ") " alternate parameter,
    // value of the edited parameter). Shown beside the button, in the root control.
    void showHints(ComponentButton& button);
    void hideHints(const ComponentButton* button = nullptr);
    gui::MultiLabel* hintLabel(int axis) const { return hints_[axis]; }
    const ComponentButton* hintOwner() const { return hintOwner_; }

    gui::ControlBar& row() { return *row_; }
    void linkRemoved(gui::Component* component) override;
    void resized() override;

    // The name of the modifier keys that give the reset action ("Ctrl" with the default map).
    static std::string resetModifierName();

protected:
    // A component about to open shows its current state.
    virtual void refreshComponent(int component);
    // A component opened or closed (before the listeners are told).
    virtual void componentStateChanged(int, bool) {}

private:
    void openComponent(int component);
    void closeComponent(int component);

    std::vector<Entry> components_;
    std::vector<Listener*> listeners_;
    std::vector<ComponentButton*> buttons_;
    gui::ControlBar* row_;
    gui::MultiLabel* hints_[2] = {nullptr, nullptr};
    const ComponentButton* hintOwner_ = nullptr;
};
