#pragma once

#include <functional>
#include <memory>
#include <vector>

#include "core/NotifyEvent.h"
#include "core/Property.h"
#include "gui/AnimatedControl.h"
#include "gui/ValueControlListener.h"

namespace gui {

class ValueDragMapper;

// A control that shows and edits one integer value between a minimum and a maximum. Every edit is
// bracketed: begin at the press (or wheel gesture), changes, end at the release, so that one
// gesture is one undoable step. Changes run through an unclamped accumulator that a dry run keeps
// from passing a limit, so that the first movement back from an end moves the value at once.
// Controls may be linked into groups that follow the same edit. [ui]
class ValueControl : public AnimatedControl {
public:
    enum Phase { Begin = 0, Change = 1, End = 2 };
    // Flags of edit and applyEdit.
    // FromValue: change from the value rather than the accumulator. Unchecked: no dry run, the group
    // first. NoDryRun: the change is not limited by a dry run.
    enum EditFlag { FromValue = 1, DryRun = 2, Unchecked = 4, NoDryRun = 8 };
    using Mapping = std::function<double(double)>;

    explicit ValueControl(UserInterface* ui);
    ~ValueControl() override;

    Property<int> defaultValue{this, 0};
    // The control stands for several values that differ.
    Property<bool> multiple{this, false};
    Property<int> maximum{this, 4096};
    Property<int> minimum{this, 0};
    Property<int> value{this, 0};
    // -1: not bound to a parameter.
    Property<int> parameterIndex{this, -1};

    // Sender = the control.
    NotifyEvent valueChangedEvent;
    NotifyEvent editBeganEvent;
    NotifyEvent editEndedEvent;

    void propertyChanged(AbstractProperty* property) override;
    void mouseDown(int button, Point point, int flags) override;
    void mouseUp(int button, Point point, int flags) override;

    virtual void valueRangeChanged(AbstractProperty* property);
    // A programmatic or gesture edit; answers the change made (phase 1) or 0.
    virtual int edit(int phase, int delta, int axis = 0, int flags = 0);
    virtual int applyEdit(int phase, int axis, int delta, int flags);
    // Linked editing follows the modifier keys of the event.
    virtual void updateLinkMode(int flags);

    void setListener(ValueControlListener* listener) { listener_ = listener; }
    ValueControlListener* listener() const { return listener_; }
    // forward: normalized position -> normalized value; inverse: value -> normalized position.
    void setMappings(Mapping forward, Mapping inverse);
    double toNormalized() const { return toNormalized(value); }
    double toNormalized(int v) const;
    // The value nearest to a normalized position.
    int fromNormalized(double x) const;
    int range() const { return maximum - minimum; }

    void joinGroup(ValueControl* other);
    void leaveGroup();
    void setGroupInverted(bool inverted);
    bool isGroupInverted() const { return group_ && group_->inverted; }
    std::vector<ValueControl*> groupMembers() const;

    bool isEditing() const { return editing_; }
    bool isLinkedEditing() const { return linkedEditing_; }
    bool isResetting() const { return resetting_; }
    int accumulatedValue() const { return accumulated_; }
    int lastAppliedValue() const { return lastApplied_; }
    int beginValue() const { return beginValue_; }

protected:
    // A reset, a jump to a clicked position or a chosen item: lands exactly on the target.
    void editTo(int target);
    // A press whose modifiers ask for a reset sets the default; answers whether it did.
    bool resetOnPress(int flags);
    // For controls whose group follows every edit, whatever the modifier keys.
    void setLinkedEditing(bool on) { linkedEditing_ = on; }
    // The wheel protocol of the controls: phase 0 begins an edit after resetting the mapper, phase
    // 1 moves by the mapped speed, phase 2 ends the edit; swallowed while a drag runs.
    bool wheelEdit(ValueDragMapper& mapper, int phase, float speed, int flags, bool dragging);

    bool resetting_ = false;

private:
    struct Group {
        bool inverted = false;
        std::vector<ValueControl*> members;
    };

    int applyToGroup(int phase, int axis, int delta, int flags);

    int lastApplied_ = 0;
    int accumulated_ = 0;
    bool editing_ = false;
    bool linkedEditing_ = false;
    bool inEdit_ = false;
    int activeAxes_ = 0;
    std::shared_ptr<Group> group_;
    ValueControlListener* listener_ = nullptr;
    int beginValue_ = 0;
    Mapping forward_;
    Mapping inverse_;
};

}  // namespace gui
