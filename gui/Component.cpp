#include "gui/Component.h"

#include <algorithm>

#include "gui/UserInterface.h"

namespace gui {

Component::Component(UserInterface* ui) : ui_(ui) {
    if (ui_) ui_->registerComponent(this);
}

Component::~Component() {
    while (!links_.empty()) {
        Component* linked = links_.back();
        links_.pop_back();
        auto& theirs = linked->links_;
        if (auto it = std::find(theirs.begin(), theirs.end(), this); it != theirs.end()) theirs.erase(it);
        linked->linkRemoved(this);
    }
    if (ui_) ui_->unregisterComponent(this);
}

void Component::deferredCall(int, int) {}

void Component::linkRemoved(Component*) {}

void Component::link(Component* other) {
    if (!other || other == this) return;
    links_.push_back(other);
    other->links_.push_back(this);
}

}  // namespace gui
