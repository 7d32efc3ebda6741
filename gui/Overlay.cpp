#include "gui/Overlay.h"

#include <algorithm>

#include "gui/Animation.h"
#include "gui/RootControl.h"
#include "gui/UserInterface.h"

namespace gui {

Overlay::Overlay(UserInterface* ui) : AnimatedControl(ui) {
    // An overlay takes the mouse from its first frame: its fade-in starts at an opacity of 1,
    // far below the usual threshold, and clicks must not reach the controls it covers.
    hitThreshold = 0;
}

void Overlay::show() {
    if (RootControl* r = root()) {
        parent = r;
        bounds = r->localRect();
    }
    Animator* a = animator;
    if (!a) return;
    opacity = 1;
    auto* fade = new FadeAnimation(a, this, 255);
    fade->duration = kShowFadeMs;
}

void Overlay::hide() {
    Animator* a = animator;
    if (!a) {
        opacity = 0;
        userInterface()->postDeferred(this, 0, 0);
        return;
    }
    auto* fade = new FadeAnimation(a, this, 0);
    fade->finishedEvent.addHandler(this, &Overlay::fadedOut);
}

void Overlay::fadedOut(void*) {
    userInterface()->postDeferred(this, 0, 0);
}

void Overlay::deferredCall(int code, int value) {
    if (code == 0) {
        delete this;
        return;
    }
    AnimatedControl::deferredCall(code, value);
}

void Overlay::addHighlight(Control* control) {
    if (!control) return;
    highlights_.push_back(control);
    link(control);
    invalidateAll();
}

void Overlay::linkRemoved(Component* component) {
    AnimatedControl::linkRemoved(component);
    std::replace(highlights_.begin(), highlights_.end(), static_cast<Control*>(component),
                 static_cast<Control*>(nullptr));
}

int Overlay::highlightState(int) const {
    return 1;
}

Point Overlay::offsetOf(const Control* control) const {
    return control->toRoot({0, 0}) - toRoot({0, 0});
}

int Overlay::targetAt(Point point) const {
    for (size_t i = highlights_.size(); i > 0; --i) {
        const Control* c = highlights_[i - 1];
        if (!c || !c->isShowing() || !c->visible || !c->interactive) continue;
        const Point p = point - offsetOf(c);
        if (c->contains(p) && c->getLocalBounds().contains(p)) return static_cast<int>(i) - 1;
    }
    return -1;
}

void Overlay::paint(Canvas& canvas) {
    canvas.fillRect(localRect(), colour);
    for (size_t i = 0; i < highlights_.size(); ++i) {
        Control* c = highlights_[i];
        if (!c || !c->isShowing()) continue;
        const Point at = offsetOf(c);
        const Canvas::State saved = canvas.saveState();
        // Only within what this repaint covers, so nothing is composed twice.
        const Rect clip = c->localRect().intersection(canvas.clip().movedBy(-at.x, -at.y));
        if (!clip.isEmpty()) {
            canvas.setOrigin(canvas.origin() + at);
            canvas.setClip(clip);
            c->paintInState(canvas, highlightState(static_cast<int>(i)));
        }
        canvas.restoreState(saved);
    }
}

}  // namespace gui
