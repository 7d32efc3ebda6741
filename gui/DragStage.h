#pragma once

#include <memory>
#include <vector>

#include "gui/DragObject.h"
#include "gui/Overlay.h"

namespace gui {

class Timer;

// The overlay under which an object is dragged from a source control onto targets. It takes the
// mouse for the whole drag, tells the targets the drag's states through dragStateChanged (entered,
// left, dwelled 400 ms, started, ended) and asks targetEvent whether a drop is accepted. It deletes
// itself after the release. UI thread.
class DragStage : public Overlay {
public:
    enum Finished { Running = 0, Dropped = 1, Cancelled = 2 };
    enum TargetEventKind { TargetEntered = 0, TargetLeft = 1, TargetDrop = 3 };
    static constexpr int kDwellMs = 400;

    // The flag is set while the drag runs (the drag manager's, shared by every stage).
    DragStage(UserInterface* ui, std::vector<Control*> targets, bool* dragFlag);
    ~DragStage() override;

    int highlightState(int index) const override;
    virtual void begin(Control* source, std::unique_ptr<DragObject> object, int flags);
    // The pointer entered (0) or left (1) the hovered target, or the object was released (3):
    // answers whether the drop is accepted. The owner's stage performs the drop here.
    virtual bool targetEvent(int kind, Point point, int flags);
    virtual void close();
    virtual void collectTargets();

    void mouseMove(Point point, int flags) override;
    void mouseUp(int button, Point point, int flags) override;
    void linkRemoved(Component* component) override;

    int finished() const { return finished_; }
    int hoveredTarget() const { return hovered_; }
    Control* source() const { return source_; }
    DragObject* dragObject() const { return object_.get(); }
    const std::vector<Control*>& targets() const { return targets_; }

private:
    void dwelled(void*);
    Control* hoveredControl() const;

    std::vector<Control*> targets_;
    bool* dragFlag_;
    Control* source_ = nullptr;
    std::unique_ptr<DragObject> object_;
    int finished_ = Running;
    int hovered_ = -1;
    Timer* dwellTimer_;
};

}  // namespace gui
