#pragma once

#include "gui/Button.h"

class SourceInterface;

// The handle of one source of a panel: pressing it starts dragging that source. [ui]
class SourceDragButton : public gui::Button {
public:
    static constexpr const char* kHint =
        "Drag the source drag button to any target knob in the interface to create modulation connections. Hold it "
        "over a source button, a component button or a scroll arrow to bring what lies behind it into view.";

    SourceDragButton(gui::UserInterface* ui, SourceInterface& owner, int index, const gui::Button::Style* style);

    int index() const { return index_; }
    // The source this button drags.
    int source() const;
    void mouseDown(int button, gui::Point point, int flags) override;

private:
    SourceInterface& owner_;
    int index_;
    gui::Point press_;
};
