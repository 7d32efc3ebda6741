#include "gui/ValueControl.h"

#include <algorithm>
#include <cmath>
#include <cstdlib>

#include "gui/ModifierMap.h"
#include "gui/ValueDragMapper.h"

namespace gui {

ValueControl::ValueControl(UserInterface* ui) : AnimatedControl(ui) {}

ValueControl::~ValueControl() {
    leaveGroup();
}

void ValueControl::propertyChanged(AbstractProperty* property) {
    if (property == &minimum || property == &maximum || property == &value) {
        valueRangeChanged(property);
        invalidateAll();
        return;
    }
    if (property == &multiple) {
        invalidateAll();
        return;
    }
    AnimatedControl::propertyChanged(property);
}

void ValueControl::valueRangeChanged(AbstractProperty* property) {
    // A limit set past the other pushes the other away instead of being refused.
    if (property == &maximum && maximum <= minimum) minimum = maximum - 1;
    if (property == &minimum && minimum >= maximum) maximum = minimum + 1;
    value = std::clamp(value.get(), minimum.get(), maximum.get());
    if (!editing_) accumulated_ = value;
}

void ValueControl::mouseDown(int button, Point point, int flags) {
    AnimatedControl::mouseDown(button, point, flags);
    edit(Begin, 0);
}

void ValueControl::mouseUp(int button, Point point, int flags) {
    AnimatedControl::mouseUp(button, point, flags);
    // A press whose edit already ended (a menu shown from it) ends nothing twice.
    if (editing_) edit(End, 0);
}

void ValueControl::setMappings(Mapping forward, Mapping inverse) {
    forward_ = std::move(forward);
    inverse_ = std::move(inverse);
}

double ValueControl::toNormalized(int v) const {
    if (inverse_) return inverse_(static_cast<double>(v));
    return static_cast<double>(v - minimum) / static_cast<double>(range());
}

int ValueControl::fromNormalized(double x) const {
    const double f = forward_ ? forward_(x) : x;
    const int r = range();
    // Rounded to the nearest step.
    const double steps = std::trunc((0.5 / r + f) * r);
    return minimum + static_cast<int>(std::clamp(steps, 0.0, static_cast<double>(r)));
}

void ValueControl::updateLinkMode(int flags) {
    linkedEditing_ = (ModifierMap::lookupModifierAction(flags) & ModifierMap::Linked) != 0;
}

int ValueControl::applyEdit(int phase, int, int delta, int flags) {
    switch (phase) {
        case Begin:
            editing_ = true;
            lastApplied_ = accumulated_ = beginValue_ = value;
            if (listener_) listener_->valueEdited(this, Begin, 0);
            editBeganEvent.fire(this);
            return 0;
        case Change: {
            const int base = (flags & FromValue) ? value.get() : accumulated_;
            const int c = base + delta;
            const int d = std::clamp(c, minimum.get(), maximum.get());
            int change = std::abs(d - value);
            // A control at its limit still moves while a linked parameter of its own can.
            if (!resetting_ && delta != 0 && listener_)
                change = std::max(change, listener_->maxLinkedChange(this, delta));
            if (!(flags & DryRun)) {
                accumulated_ = c;
                if (change > 0 || (resetting_ && multiple)) {
                    lastApplied_ = d;
                    value = d;
                    if (listener_) listener_->valueEdited(this, Change, resetting_ ? 0 : delta);
                    valueChangedEvent.fire(this);
                }
            }
            return change;
        }
        case End:
            editing_ = false;
            accumulated_ = value;
            if (listener_) listener_->valueEdited(this, End, 0);
            editEndedEvent.fire(this);
            return 0;
        default:
            return 0;
    }
}

int ValueControl::edit(int phase, int delta, int axis, int flags) {
    const int bit = 1 << axis;
    if (phase == Begin) {
        activeAxes_ &= ~bit;
        applyEdit(Begin, axis, 0, flags);
    }
    const bool linked = linkedEditing_ && group_;
    if (linked && !(activeAxes_ & bit)) {
        activeAxes_ |= bit;
        applyToGroup(Begin, axis, 0, 0);
    } else if (!linked && (activeAxes_ & bit)) {
        // Linked editing stopped inside the edit: the members end theirs and this control goes on
        // from where its value stands.
        activeAxes_ &= ~bit;
        applyToGroup(End, axis, 0, 0);
        flags |= FromValue;
    }
    if (phase == Begin) return 0;

    if (phase == Change && !(flags & Unchecked)) {
        if (!(flags & NoDryRun)) {
            int limit = applyEdit(Change, axis, delta, flags | DryRun);
            if (linked) limit = std::max(limit, applyToGroup(Change, axis, delta, flags | DryRun));
            delta = std::clamp(delta, -limit, limit);
        }
        const int own = applyEdit(Change, axis, delta, flags);
        return linked ? applyToGroup(Change, axis, delta, flags) : own;
    }
    if (linked) applyToGroup(phase, axis, delta, flags);
    return applyEdit(phase, axis, delta, flags);
}

int ValueControl::applyToGroup(int phase, int axis, int delta, int flags) {
    if (!group_ || inEdit_) return 0;
    inEdit_ = true;
    // Members may leave the group from their handlers; walk a copy and keep the record alive.
    const std::shared_ptr<Group> group = group_;
    const std::vector<ValueControl*> members = group->members;
    const int sign = group->inverted ? -1 : 1;
    int result = 0;
    for (ValueControl* m : members) {
        if (m == this || m->inEdit_) continue;
        int d = delta * sign;
        if (phase == Change) {
            if (resetting_) {
                d = m->fromNormalized(toNormalized(accumulated_)) - m->accumulated_;
            } else if (forward_ || m->forward_) {
                const double moved = toNormalized(accumulated_) - toNormalized(beginValue_);
                d = m->fromNormalized(m->toNormalized(m->beginValue_) + moved * sign) - m->accumulated_;
            }
        }
        result = std::max(result, m->applyEdit(phase, axis, d, flags));
    }
    inEdit_ = false;
    return result;
}

void ValueControl::editTo(int target) {
    resetting_ = true;
    edit(Change, target - accumulated_);
    resetting_ = false;
}

bool ValueControl::resetOnPress(int flags) {
    if (!(ModifierMap::lookupModifierAction(flags) & ModifierMap::Reset)) return false;
    editTo(defaultValue);
    return true;
}

bool ValueControl::wheelEdit(ValueDragMapper& mapper, int phase, float speed, int flags, bool dragging) {
    if (dragging) return true;
    switch (phase) {
        case Begin:
            mapper.resetWheel();
            edit(Begin, 0);
            break;
        case Change:
            edit(Change, mapper.wheelDelta(speed, flags));
            break;
        case End:
            // A gesture that began elsewhere, or whose edit a press already ended, ends nothing.
            if (editing_) edit(End, 0);
            break;
        default:
            break;
    }
    return true;
}

void ValueControl::joinGroup(ValueControl* other) {
    if (!other || other == this) return;
    if (group_ && group_ == other->group_) return;
    if (!group_ && !other->group_) {
        group_ = std::make_shared<Group>();
        group_->members.push_back(this);
    }
    if (!group_) {
        other->joinGroup(this);
        return;
    }
    // Merge the other control's group (or the control alone) into this one.
    const std::vector<ValueControl*> incoming =
        other->group_ ? other->group_->members : std::vector<ValueControl*>{other};
    for (ValueControl* m : incoming) {
        m->group_ = group_;
        group_->members.push_back(m);
    }
}

void ValueControl::leaveGroup() {
    if (!group_) return;
    const std::shared_ptr<Group> group = group_;
    group_.reset();
    activeAxes_ = 0;
    std::erase(group->members, this);
    if (group->members.size() == 1) {
        group->members.front()->group_.reset();
        group->members.clear();
    }
}

void ValueControl::setGroupInverted(bool inverted) {
    if (group_) group_->inverted = inverted;
}

std::vector<ValueControl*> ValueControl::groupMembers() const {
    return group_ ? group_->members : std::vector<ValueControl*>{};
}

}  // namespace gui
