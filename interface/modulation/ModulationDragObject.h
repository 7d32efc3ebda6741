#pragma once

#include "gui/DragObject.h"

// A modulation source being dragged onto a target.
class ModulationDragObject : public gui::DragObject {
public:
    explicit ModulationDragObject(int source) : source_(source) {}
    int source() const { return source_; }

private:
    int source_;
};
