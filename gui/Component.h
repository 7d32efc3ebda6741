#pragma once

#include <vector>

#include "core/Property.h"

namespace gui {

class UserInterface;

// Base of every toolkit object that belongs to one user interface. Construction registers the
// component with its user interface; destruction dissolves its links (telling each linked
// component) and unregisters it, which also discards deferred calls addressed to it. UI thread.
class Component : public PropertyOwner {
public:
    explicit Component(UserInterface* ui);
    ~Component() override;
    Component(const Component&) = delete;
    Component& operator=(const Component&) = delete;

    void propertyChanged(AbstractProperty*) override {}
    // Delivered on the UI thread for a call posted with UserInterface::postDeferred.
    virtual void deferredCall(int code, int value);
    // The linked component is going away.
    virtual void linkRemoved(Component* component);

    UserInterface* userInterface() const { return ui_; }

    // Links the two components so that either one's destruction tells the other.
    void link(Component* other);
    const std::vector<Component*>& links() const { return links_; }

private:
    UserInterface* ui_;
    std::vector<Component*> links_;
};

}  // namespace gui
