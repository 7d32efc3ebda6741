#include "interface/controls/ParameterButton.h"

#include <algorithm>
#include <cmath>
#include <cstdlib>

#include "framework/AbstractPluginParameter.h"
#include "gui/ModifierMap.h"
#include "gui/UserInterface.h"
#include "interface/ParameterEditor.h"

using gui::ModifierMap;

ParameterButton::ParameterButton(gui::UserInterface* ui, ParameterEditor& editor, const gui::Button::Style* style)
    : gui::Button(ui, style), editor_(&editor) {
    for (Slot& s : places_)
        s.mapper = std::make_unique<gui::ValueDragMapper>(ui ? ui->clock() : MillisecondClock::monotonic());
}

ParameterButton::~ParameterButton() {
    if (partner_ && partner_->partner_ == this) partner_->partner_ = nullptr;
}

void ParameterButton::linkWith(ParameterButton* other) {
    if (partner_ && partner_->partner_ == this) partner_->partner_ = nullptr;
    partner_ = other;
    if (other) other->partner_ = this;
}

void ParameterButton::followLink() {
    const bool follow = linkedEditing_ && partner_ && partner_->dragMode_ == Idle;
    if (follow == partnerFollows_) return;
    if (follow) {
        partner_->beginPair(alternate_);
        partnerFollows_ = true;
    } else {
        stopFollowing();
    }
}

void ParameterButton::stopFollowing() {
    if (!partnerFollows_ || !partner_) return;
    partner_->endPair(false);
    partner_->endPair(true);
    partnerFollows_ = false;
}

void ParameterButton::setParameter(int place, int parameter) {
    Slot& s = places_.at(place);
    s.index = parameter;
    s.indexed = false;
    s.minimum = 0;
    s.maximum = kContinuousSteps;
    if (const AbstractPluginParameter* p = parameterOf(place); p && p->kind() == AbstractPluginParameter::Indexed) {
        s.indexed = true;
        s.minimum = int(std::lround(p->minValue()));
        s.maximum = int(std::lround(p->maxValue()));
    }
    s.mapper->valueRange = std::max(s.maximum - s.minimum, 1);
    showParameter(parameter);
}

AbstractPluginParameter* ParameterButton::parameterOf(int place) const {
    const int index = places_[place].index;
    return index >= 0 ? editor_->parameter(index) : nullptr;
}

int ParameterButton::currentSteps(int place) const {
    const Slot& s = places_[place];
    const AbstractPluginParameter* p = parameterOf(place);
    if (!p) return 0;
    if (s.indexed) return int(std::lround(p->value()));
    return int(std::lround(double(p->plainToNormalized(p->value())) * kContinuousSteps));
}

void ParameterButton::showParameter(int) { invalidateAll(); }

void ParameterButton::resetParameter(int index) {
    AbstractPluginParameter* p = editor_->parameter(index);
    if (!p) return;
    editor_->beginEdit(index);
    editor_->setNormalized(index, p->plainToNormalized(p->defaultValue()));
    editor_->endEdit(index);
    showParameter(index);
}

void ParameterButton::resetAll() {
    for (const Slot& s : places_)
        if (s.index >= 0) resetParameter(s.index);
    for (int index : furtherResetParameters()) resetParameter(index);
}

void ParameterButton::beginPair(bool alternate) {
    for (int place : {alternate ? 2 : 0, alternate ? 3 : 1}) {
        Slot& s = places_[place];
        if (s.index < 0 || !parameterOf(place)) continue;
        editor_->beginEdit(s.index);
        s.editing = true;
        s.pressValue = s.accumulated = s.applied = currentSteps(place);
        // No double-click guard: a drag only starts beyond the threshold (or is the pad's own).
        s.mapper->beginDrag({-1, -1});
    }
}

void ParameterButton::endPair(bool alternate) {
    for (int place : {alternate ? 2 : 0, alternate ? 3 : 1}) {
        Slot& s = places_[place];
        if (!s.editing) continue;
        s.editing = false;
        editor_->endEdit(s.index);
    }
}

void ParameterButton::setSteps(int place, int value) {
    Slot& s = places_[place];
    AbstractPluginParameter* p = parameterOf(place);
    if (!s.editing || !p) return;
    const int clamped = std::clamp(value, s.minimum, s.maximum);
    if (clamped == s.applied) return;
    s.applied = clamped;
    const float normalized =
        s.indexed ? p->plainToNormalized(float(clamped)) : float(double(clamped) / kContinuousSteps);
    editor_->setNormalized(s.index, normalized);
    showParameter(s.index);
}

void ParameterButton::step(int place, int delta) {
    Slot& s = places_[place];
    if (!s.editing || delta == 0) return;
    // Unclamped: dragging past an end and back first travels back over the distance beyond it.
    s.accumulated += delta;
    setSteps(place, s.accumulated);
    if (partnerFollows_ && partner_) partner_->step(place, delta);
}

void ParameterButton::mouseDown(int button, gui::Point point, int flags) {
    gui::Button::mouseDown(button, point, flags);
    if (button != 0) return;
    pressPoint_ = lastPoint_ = point;
    dragMode_ = Pressed;
    lockedAxis_ = NoAxis;
    alternate_ = (ModifierMap::lookupModifierAction(flags) & ModifierMap::Reset) != 0;
    if (dragsFromPress() && !editor_->midiLearnActive()) startDragging(flags);
}

void ParameterButton::startDragging(int flags) {
    dragMode_ = Dragging;
    linkedEditing_ = (ModifierMap::lookupModifierAction(flags) & ModifierMap::Linked) != 0;
    beginPair(alternate_);
    followLink();
}

void ParameterButton::mouseMove(gui::Point point, int flags) {
    gui::Button::mouseMove(point, flags);
    if (dragMode_ == Pressed) {
        if (editor_->midiLearnActive()) return;
        if (std::abs(point.x - pressPoint_.x) <= kDragThreshold && std::abs(point.y - pressPoint_.y) <= kDragThreshold)
            return;
        startDragging(flags);
    }
    if (dragMode_ != Dragging) return;
    const int actions = ModifierMap::lookupModifierAction(flags);
    const bool alternate = (actions & ModifierMap::Reset) != 0;
    if (alternate != alternate_) {
        // The other pair continues from where its parameters stand now.
        endPair(alternate_);
        stopFollowing();
        alternate_ = alternate;
        beginPair(alternate_);
    }
    linkedEditing_ = (actions & ModifierMap::Linked) != 0;
    followLink();
    const int h = alternate_ ? AlternateHorizontal : Horizontal;
    const int v = alternate_ ? AlternateVertical : Vertical;
    const int dx = point.x - lastPoint_.x, dy = lastPoint_.y - point.y;
    if (actions & ModifierMap::Fine) {
        // Fine: only the axis moved further since the press changes; the other keeps its value
        // from the press.
        const bool horizontal = std::abs(point.x - pressPoint_.x) >= std::abs(point.y - pressPoint_.y);
        lockedAxis_ = horizontal ? HorizontalDominant : VerticalDominant;
        const int moving = horizontal ? h : v, held = horizontal ? v : h;
        if (dx != 0 || dy != 0)
            step(moving, places_[moving].mapper->dragDelta(*this, point, float(horizontal ? dx : dy), flags));
        Slot& s = places_[held];
        s.accumulated = s.pressValue;
        setSteps(held, s.pressValue);
    } else {
        lockedAxis_ = NoAxis;
        if (dx != 0) step(h, places_[h].mapper->dragDelta(*this, point, float(dx), flags));
        if (dy != 0) step(v, places_[v].mapper->dragDelta(*this, point, float(dy), flags));
    }
    lastPoint_ = point;
}

void ParameterButton::finishDrag() {
    endPair(false);
    endPair(true);
    stopFollowing();
    dragMode_ = Idle;
    lockedAxis_ = NoAxis;
    linkedEditing_ = false;
}

void ParameterButton::mouseUp(int button, gui::Point point, int flags) {
    if (button == 0 && dragMode_ == Dragging) {
        finishDrag();
        editor_->refreshControls();
    } else if (button == 0 && dragMode_ == Pressed) {
        dragMode_ = Idle;
        if (ModifierMap::lookupModifierAction(flags) == ModifierMap::Reset && !editor_->midiLearnActive()) {
            resetAll();
            editor_->refreshControls();
        } else {
            clickAction(flags);
        }
    }
    gui::Button::mouseUp(button, point, flags);
}

void ParameterButton::cancelMouse() {
    // A lost capture ends the gestures; it is not a click.
    if (dragMode_ == Dragging) {
        finishDrag();
        editor_->refreshControls();
    }
    dragMode_ = Idle;
    gui::Button::cancelMouse();
}

void ParameterButton::clickAction(int) {}
