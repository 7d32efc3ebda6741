#include "core/NotifyEvent.h"

#include <algorithm>

void NotifyEvent::removeHandlers(const void* object) {
    std::erase_if(handlers_, [object](const std::unique_ptr<Handler>& h) { return h->refersTo(object); });
}

void NotifyEvent::fire(void* sender) const {
    if (owner_) owner_->call(sender);
    // A handler may remove handlers while we walk, so re-check the bound on every step.
    for (size_t i = handlers_.size(); i > 0; --i) {
        if (i > handlers_.size()) continue;
        handlers_[i - 1]->call(sender);
    }
}
