#pragma once

#include <vector>

#include "core/Property.h"
#include "gui/AnimatedControl.h"
#include "gui/Rgba.h"

namespace gui {

// A full-window layer that dims the editor and paints chosen controls again on top of it, each
// in a highlight state. show fades it in; hide fades it out and then deletes it. It catches the
// mouse at any opacity above 0 (hit threshold 0). UI thread.
class Overlay : public AnimatedControl {
public:
    static constexpr int kShowFadeMs = 150;

    explicit Overlay(UserInterface* ui);

    Property<Rgba> colour{this, Rgba{0, 0, 0, 128}};

    void show();
    // Deletes the overlay once faded out (through a deferred call); do not use it afterwards.
    void hide();
    void addHighlight(Control* control);
    // Highlighted controls in the order added; a destroyed one leaves an empty slot.
    const std::vector<Control*>& highlights() const { return highlights_; }
    // The last highlighted control that shows, is visible and interactive, and is hit at the
    // point (overlay coordinates); its index, or -1.
    int targetAt(Point point) const;

    // The visual state a highlighted control is painted in.
    virtual int highlightState(int index) const;

    void paint(Canvas& canvas) override;
    void deferredCall(int code, int value) override;
    void linkRemoved(Component* component) override;

private:
    void fadedOut(void*);
    Point offsetOf(const Control* control) const;

    std::vector<Control*> highlights_;
};

}  // namespace gui
