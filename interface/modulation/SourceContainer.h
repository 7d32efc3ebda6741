#pragma once

#include <vector>

#include "gui/Control.h"

class SlotInterface;
class SourceController;

namespace gui {
class Button;
}

// The slot rows of one source panel, beside it in the strip: for each of its sources the rows of
// that source's slots in columns, followed by its Add Slot button. A click on its empty area clears
// the slot highlight. [ui]
class SourceContainer : public gui::Control {
public:
    static constexpr int kRowsPerColumn = 7;
    static constexpr int kRowPitch = 18;
    static constexpr int kColumnGap = 8;
    static constexpr const char* kAddSlotHint =
        "The Add Slot button creates a new and empty modulation slot. However, the easiest way to create and fill "
        "modulation slots, is to drag the Source Drag button in a modulation source interface to a modulation "
        "target in the interface!";

    SourceContainer(gui::UserInterface* ui, SourceController& controller, int sourceCount, int height);
    ~SourceContainer() override;

    void setFirstSource(int firstSource) { firstSource_ = firstSource; }
    // The rows of the interface's k-th source, in slot order; they become children here.
    void setRows(int k, const std::vector<SlotInterface*>& rows);
    const std::vector<SlotInterface*>& rows(int k) const { return rows_.at(std::size_t(k)); }
    gui::Button* addSlotButton(int k) const { return addSlot_.at(std::size_t(k)); }
    void setHighlight(int state);
    int highlight() const { return highlight_; }
    bool hasHighlightedRow() const;

    void childChanged(gui::Control* source, int kind) override;
    void clicked() override;
    void paint(gui::Canvas& canvas) override;

private:
    void layout();
    void addSlotClicked(void* sender);

    SourceController& controller_;
    int firstSource_ = 0;
    int highlight_ = 0;
    bool layingOut_ = false;
    std::vector<std::vector<SlotInterface*>> rows_;
    std::vector<gui::Button*> addSlot_;
};
