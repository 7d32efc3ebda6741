#pragma once

#include <vector>

#include "interface/controls/ComponentDisplay.h"

namespace gui {
class DragManager;
}

// A component display that takes part in dragging modulation sources: its scroll buttons scroll
// the row while a source is held over them, and each component may stand for a range of
// modulation targets, which the slot list shows alone while that component is open. [ui]
class ModulationComponentDisplay : public ComponentDisplay {
public:
    // What the display asks of the slot list: show only the slots of a target range, or all.
    class TargetFilter {
    public:
        virtual ~TargetFilter() = default;
        virtual void setTargetFilter(int firstTarget, int count) = 0;
        virtual void clearFilter() = 0;
        virtual bool isTargetFilter(int firstTarget, int count) const = 0;
    };

    // Neither is owned; either may be none.
    ModulationComponentDisplay(gui::UserInterface* ui, gui::DragManager* dragManager, TargetFilter* filter,
                               const gui::Button::Style* leftStyle = nullptr,
                               const gui::Button::Style* rightStyle = nullptr);
    ~ModulationComponentDisplay() override;

    // Appends a closed component standing for count targets from firstTarget (count 0: none).
    int addComponent(gui::Control* panel, int width, int firstTarget, int count);
    gui::DragManager* dragManager() const { return dragManager_; }
    void linkRemoved(gui::Component* component) override;

protected:
    void componentStateChanged(int component, bool open) override;

private:
    struct Range {
        int first = 0;
        int count = 0;
    };
    void emptyAreaClicked(void*);

    gui::DragManager* dragManager_;
    TargetFilter* filter_;
    // The scroll buttons entered as drag items, until they go.
    gui::Control* scrollButtons_[2];
    std::vector<Range> ranges_;
};
