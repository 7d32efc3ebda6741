#include "gui/UserInterface.h"

#include <algorithm>

#include "gui/Bitmap.h"
#include "gui/Component.h"
#include "gui/RootControl.h"
#include "gui/Timer.h"

namespace gui {

UserInterface::UserInterface() : queue_(new EventQueue), uiThread_(std::this_thread::get_id()) {
    queue_->owner = this;
}

UserInterface::~UserInterface() {
    destroyComponents();
    background_.reset();
    queue_->owner = nullptr;
    if (--queue_->referenceCount == 0) delete queue_;
}

void UserInterface::destroyComponents() {
    destroying_ = true;
    // Destructors set their own entries to none; entries added meanwhile are visited too.
    for (size_t i = 0; i < components_.size(); ++i) {
        if (Component* c = components_[i]) delete c;
    }
    components_.clear();
    hintTimer_ = nullptr;
    frameTimers_.clear();
}

void UserInterface::registerComponent(Component* component) {
    components_.push_back(component);
}

void UserInterface::unregisterComponent(Component* component) {
    {
        std::lock_guard<std::mutex> lock(deferredMutex_);
        std::erase_if(deferred_, [component](const DeferredCall& d) { return d.component == component; });
    }
    if (component == hintTimer_) hintTimer_ = nullptr;
    auto it = std::find(components_.begin(), components_.end(), component);
    if (it == components_.end()) return;
    if (destroying_)
        *it = nullptr;
    else
        components_.erase(it);
}

std::string UserInterface::modifierName(int flag) const {
    switch (flag) {
        case 1:
            return "Shift";
        case 2:
            return "Alt";
        case 4:
            return "Ctrl";
        default:
            return std::string();
    }
}

std::string UserInterface::modifiersText(int flags) const {
    std::string text;
    for (int flag : {4, 1, 2, 128}) {
        if (!(flags & flag)) continue;
        if (!text.empty()) text += "+";
        text += modifierName(flag);
    }
    return text;
}

bool UserInterface::postEvent(int32_t code, int32_t value, bool parameterFifo, bool mayGrow) {
    const Event e{code, value};
    LockFreeFifo<Event>& fifo = parameterFifo ? queue_->parameter : queue_->general;
    return mayGrow ? fifo.push(e) : fifo.pushWithoutGrowing(e);
}

void UserInterface::postDeferred(Component* component, int code, int value) {
    {
        std::lock_guard<std::mutex> lock(deferredMutex_);
        deferred_.push_back({component, code, value});
    }
    postEvent(kDeferredCallCode, 0);
}

size_t UserInterface::pendingDeferredCalls() const {
    std::lock_guard<std::mutex> lock(deferredMutex_);
    return deferred_.size();
}

void UserInterface::processEvents() {
    EventQueue* q = queue_;
    ++q->referenceCount;
    drain(q, q->parameter);
    drain(q, q->general);
    if (--q->referenceCount == 0) delete q;
}

void UserInterface::drain(EventQueue* q, LockFreeFifo<Event>& fifo) {
    Event e;
    while (q->referenceCount.load() >= 2 && fifo.pop(e)) {
        if (e.code == kDeferredCallCode) {
            runDeferredCalls(q);
            continue;
        }
        for (size_t i = q->listeners.size(); i > 0; --i) {
            if (!q->owner.load()) return;
            if (i <= q->listeners.size()) q->listeners[i - 1]->eventReceived(e.code, e.value);
        }
    }
}

void UserInterface::runDeferredCalls(EventQueue* q) {
    for (;;) {
        UserInterface* ui = q->owner.load();
        if (!ui) return;
        DeferredCall call;
        {
            std::lock_guard<std::mutex> lock(ui->deferredMutex_);
            if (ui->deferred_.empty()) return;
            call = ui->deferred_.front();
            ui->deferred_.pop_front();
        }
        call.component->deferredCall(call.code, call.value);
    }
}

void UserInterface::addListener(Listener* listener) {
    if (std::find(queue_->listeners.begin(), queue_->listeners.end(), listener) == queue_->listeners.end())
        queue_->listeners.push_back(listener);
}

void UserInterface::removeListener(Listener* listener) {
    std::erase(queue_->listeners, listener);
}

void UserInterface::setHint(const std::string& text) {
    if (!hintTimer_) {
        if (destroying_) return;
        hintTimer_ = createTimer();
        if (!hintTimer_) return;
        hintTimer_->interval = kHintDelayMs;
        hintTimer_->firedEvent.setOwnerHandler(this, &UserInterface::hintTimerFired);
    }
    if (!text.empty()) {
        hintText_ = text;
        hintTimer_->running = false;
        hintTimer_->running = true;
        return;
    }
    hintTimer_->running = false;
    if (hintText_.empty()) return;
    hintText_.clear();
    const std::vector<Listener*> listeners = queue_->listeners;
    for (size_t i = listeners.size(); i > 0; --i) listeners[i - 1]->showHint(hintText_);
}

void UserInterface::hintTimerFired(void*) {
    hintTimer_->running = false;
    const std::vector<Listener*> listeners = queue_->listeners;
    for (size_t i = listeners.size(); i > 0; --i) listeners[i - 1]->showHint(hintText_);
}

bool UserInterface::setBackgroundImage(const uint8_t* data, size_t size) {
    std::unique_ptr<Bitmap> decoded = createBitmap();
    if (!decoded || !decoded->load(data, size)) return false;
    RootControl* root = getRootControl();
    const int W = root ? root->width() : decoded->width();
    const int H = root ? root->height() : decoded->height();
    if (decoded->width() == W && decoded->height() == H) {
        background_ = std::move(decoded);
        return true;
    }
    std::unique_ptr<Bitmap> fitted = background_ ? std::move(background_) : createBitmap();
    fitted->setSize(W, H);
    Canvas& canvas = fitted->canvas();
    canvas.drawBitmap(*decoded, decoded->bounds(), {0, 0});
    // Fill the width by repeating the image's rightmost columns. An image less than half as wide
    // as the root repeats its whole width as often as needed.
    const int w = decoded->width();
    for (int x = w; w > 0 && x < W;) {
        const int n = std::min(w, W - x);
        canvas.drawBitmap(*decoded, Rect{x, 0, x + n, decoded->height()}, {w - n, 0});
        x += n;
    }
    fitted->requestUpdate();
    background_ = std::move(fitted);
    return true;
}

void UserInterface::addFrameTimer(Timer* timer) {
    if (std::find(frameTimers_.begin(), frameTimers_.end(), timer) == frameTimers_.end())
        frameTimers_.push_back(timer);
}

void UserInterface::removeFrameTimer(Timer* timer) {
    std::erase(frameTimers_, timer);
}

void UserInterface::tickFrameTimers() {
    const std::vector<Timer*> timers = frameTimers_;
    for (Timer* t : timers) {
        if (std::find(frameTimers_.begin(), frameTimers_.end(), t) != frameTimers_.end()) t->fire();
    }
}

}  // namespace gui
