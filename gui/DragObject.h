#pragma once

namespace gui {

// What is being dragged; the product derives the concrete payload.
class DragObject {
public:
    virtual ~DragObject() = default;
};

}  // namespace gui
