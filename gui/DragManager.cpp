#include "gui/DragManager.h"

#include <algorithm>

#include "gui/DragStage.h"

namespace gui {

void DragManager::addDragItem(Control* control, bool hoverOnly, bool trailing) {
    const DragItem item{control, hoverOnly, trailing};
    if (trailing) {
        items_.push_back(item);
        return;
    }
    auto firstTrailing =
        std::partition_point(items_.begin(), items_.end(), [](const DragItem& d) { return !d.trailing; });
    items_.insert(firstTrailing, item);
}

void DragManager::removeDragItem(Control* control) {
    std::erase_if(items_, [control](const DragItem& d) { return d.control == control; });
}

std::vector<Control*> DragManager::targets() const {
    std::vector<Control*> out;
    out.reserve(items_.size());
    for (const DragItem& d : items_) out.push_back(d.control);
    return out;
}

DragStage* DragManager::startDrag(Control* source, std::unique_ptr<DragObject> object, int flags) {
    if (!listener_) return nullptr;
    DragStage* stage = listener_->createDragStage(source);
    if (stage) stage->begin(source, std::move(object), flags);
    return stage;
}

}  // namespace gui
