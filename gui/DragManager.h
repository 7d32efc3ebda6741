#pragma once

#include <memory>
#include <vector>

#include "gui/Point.h"

namespace gui {

class Control;
class DragObject;
class DragStage;

// The drop targets of one editor and the flag that says a drag runs. Items whose trailing flag is
// clear stand before every trailing item, each group in the order added. UI thread.
class DragManager {
public:
    // The editor: it creates the stage for a drag from a source.
    class Listener {
    public:
        virtual ~Listener() = default;
        virtual DragStage* createDragStage(Control* source) = 0;
    };

    struct DragItem {
        Control* control;
        bool hoverOnly;
        bool trailing;
    };

    void setListener(Listener* listener) { listener_ = listener; }
    Listener* listener() const { return listener_; }

    void addDragItem(Control* control, bool hoverOnly, bool trailing);
    // Removes every entry of the control.
    void removeDragItem(Control* control);
    const std::vector<DragItem>& dragItems() const { return items_; }
    std::vector<Control*> targets() const;

    bool isDragging() const { return dragging_; }
    bool* dragFlag() { return &dragging_; }

    // Asks the listener for a stage and begins the drag; answers the stage, or none.
    DragStage* startDrag(Control* source, std::unique_ptr<DragObject> object, int flags);

private:
    bool dragging_ = false;
    Listener* listener_ = nullptr;
    std::vector<DragItem> items_;
};

}  // namespace gui
