#pragma once

#include <vector>

#include "gui/Control.h"

class LorimaneSourceInterface;
class SourceContainer;
class SourceController;
class SourceDragButton;

namespace gui {
class Button;
}

// One source set in the strip: its editor panel with a drag handle per source and the remove
// button in the title row, and beside it the container of its slots. setIndex shows another set of
// the same kind. [ui]
class SourceInterface : public gui::Control {
public:
    static constexpr int kGap = 6;
    static constexpr const char* kRemoveHint =
        "The Remove Source button removes the modulation source from the interface.\n\nNote: This will also remove "
        "all slots that use this modulation source, since these are no longer valid.";

    // Takes the panel as its child.
    SourceInterface(gui::UserInterface* ui, SourceController& controller, LorimaneSourceInterface* panel, int kind,
                    int sourceCount);
    ~SourceInterface() override;

    void setIndex(int set, int firstSource);
    void refresh();
    // The remove button's action: asks the controller to remove this source.
    virtual void close();

    int kind() const { return kind_; }
    int set() const { return set_; }
    int firstSource() const { return firstSource_; }
    int sourceCount() const { return sourceCount_; }
    SourceController& controller() const { return controller_; }
    LorimaneSourceInterface& panel() const { return *panel_; }
    SourceContainer& container() const { return *container_; }
    SourceDragButton* dragButton(int i) const { return drag_.at(std::size_t(i)); }
    gui::Button* removeButton() const { return remove_; }

    void childChanged(gui::Control* source, int kind) override;

private:
    void layout();
    void removeClicked(void*);

    SourceController& controller_;
    LorimaneSourceInterface* panel_;
    SourceContainer* container_;
    std::vector<SourceDragButton*> drag_;
    gui::Button* remove_;
    int kind_;
    int set_ = -1;
    int firstSource_ = 0;
    int sourceCount_;
    bool layingOut_ = false;
};
