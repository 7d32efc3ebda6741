#include "gui/Control.h"

#include <algorithm>
#include <cmath>
#include <cstdlib>

#include "gui/RootControl.h"
#include "gui/UserInterface.h"

namespace gui {

Control::Control(UserInterface* ui) : Component(ui) {}

Control::~Control() {
    while (!children_.empty()) children_.back()->parent = nullptr;
    if (!isUiDestroying()) {
        RootControl* r = root();
        if (r && static_cast<Control*>(r) != this) {
            if (captureState_ != NoCapture) r->setCapture(nullptr);
            r->forgetWheelControl(this);
        }
    }
    clearing_ = true;
    parent = nullptr;
}

RootControl* Control::root() const {
    UserInterface* ui = userInterface();
    return ui ? ui->getRootControl() : nullptr;
}

bool Control::isUiDestroying() const {
    UserInterface* ui = userInterface();
    return !ui || ui->isDestroying();
}

void Control::releaseCaptureThroughRoot() {
    if (isUiDestroying()) return;
    if (RootControl* r = root()) r->setCapture(nullptr);
}

void Control::propertyChanged(AbstractProperty* property) {
    if (property == &bounds) {
        const Rect old = cachedBounds_;
        const Rect now = bounds.get();
        beginUpdate();
        invalidate(localRect_);
        localRect_ = {0, 0, now.width(), now.height()};
        if (!dirty_.isEmpty()) dirty_ = dirty_.movedBy(old.left - now.left, old.top - now.top);
        cachedBounds_ = now;
        invalidate(localRect_);
        if (old.width() != now.width() || old.height() != now.height()) {
            layoutChildren(old.width(), old.height());
            resized();
        }
        tellParentAndListeners(BoundsChanged);
        endUpdate();
    } else if (property == &opacity) {
        if (visible) {
            dirty_ = localRect_;
            requestUpdate();
        }
        tellParentAndListeners(OpacityChanged);
    } else if (property == &visible) {
        if (opacity > 0) {
            dirty_ = localRect_;
            requestUpdate();
        }
        tellParentAndListeners(VisibilityChanged);
    } else if (property == &opaque) {
        tellParentAndListeners(OpaqueChanged);
    } else if (property == &parent) {
        if (currentParent_) currentParent_->removeChild(this);
        currentParent_ = parent.get();
        if (currentParent_) currentParent_->addChild(this);
        tellListeners(ParentChanged);
    }
}

void Control::tellListeners(int kind) {
    for (size_t i = 0; i < listeners_.size(); ++i) {
        if (auto* c = dynamic_cast<Control*>(listeners_[i])) c->childChanged(this, kind);
    }
}

void Control::tellParentAndListeners(int kind) {
    if (currentParent_) currentParent_->childChanged(this, kind);
    tellListeners(kind);
}

void Control::linkRemoved(Component* component) {
    std::erase(listeners_, component);
}

void Control::addListener(Component* listener) {
    if (!listener || std::find(listeners_.begin(), listeners_.end(), listener) != listeners_.end()) return;
    listeners_.push_back(listener);
    link(listener);
}

void Control::addChild(Control* child) {
    if (insertionIndex_ < 0 || insertionIndex_ >= static_cast<int>(children_.size()))
        children_.push_back(child);
    else
        children_.insert(children_.begin() + insertionIndex_, child);
    if (child->opaque) opaqueChildren_.push_back(child);
    invalidate(child->cachedBounds_);
    if (child->hoverTarget_) hoverTarget_ = child;
    childChanged(child, ChildAdded);
}

void Control::removeChild(Control* child) {
    if (clearing_) return;
    std::erase(children_, child);
    std::erase(opaqueChildren_, child);
    if (hoverTarget_ == child) hoverTarget_ = this;
    if (focusChild_ == child) focusChild_ = nullptr;
    invalidate(child->cachedBounds_);
    childChanged(child, ChildRemoved);
}

void Control::bringToFront(Control* child) {
    auto it = std::find(children_.begin(), children_.end(), child);
    if (it == children_.end()) return;
    children_.erase(it);
    children_.push_back(child);
    child->invalidateAll();
}

namespace {

// Hears which of the components linked to it go away.
class GoneWatch : public Component {
public:
    explicit GoneWatch(UserInterface* ui) : Component(ui) {}
    void linkRemoved(Component* component) override { gone.push_back(component); }
    bool isGone(const Component* component) const {
        return std::find(gone.begin(), gone.end(), component) != gone.end();
    }
    std::vector<const Component*> gone;
};

// A control goes before its children, so that its destructor can still release what it holds on
// them (bindings, handlers); the children it leaves behind go after it, the same way.
void deleteFromTop(Control* control) {
    const std::vector<Control*> children = control->children();
    GoneWatch watch(control->userInterface());
    for (Control* c : children) watch.link(c);
    delete control;
    for (Control* c : children)
        if (!watch.isGone(c)) deleteFromTop(c);
}

}  // namespace

void Control::deleteAllChildren() {
    clearing_ = true;
    while (!children_.empty()) {
        Control* child = children_.back();
        std::erase(opaqueChildren_, child);
        if (hoverTarget_ == child) hoverTarget_ = this;
        if (focusChild_ == child) focusChild_ = nullptr;
        std::erase(children_, child);
        deleteFromTop(child);
    }
    clearing_ = false;
    invalidateAll();
    childChanged(nullptr, ChildRemoved);
}

void Control::layoutChildren(int oldWidth, int oldHeight) {
    const int dW = localRect_.right - oldWidth;
    const int dH = localRect_.bottom - oldHeight;
    // Copy: a child's bounds change may reorder nothing, but handlers may attach or detach.
    const std::vector<Control*> kids = children_;
    for (Control* child : kids) {
        const int f = child->layoutFlags;
        if (f == (AttachLeft | AttachTop)) continue;
        Rect b = child->bounds.get();
        if (f & AttachRight) {
            b.right += dW;
            if (!(f & AttachLeft)) b.left += dW;
        } else if (!(f & AttachLeft)) {
            b.left += dW / 2;
            b.right += dW / 2;
        }
        if (f & AttachBottom) {
            b.bottom += dH;
            if (!(f & AttachTop)) b.top += dH;
        } else if (!(f & AttachTop)) {
            b.top += dH / 2;
            b.bottom += dH / 2;
        }
        child->bounds = b;
    }
}

void Control::update() {
    fireDeferredNotifications();
    if (!dirty_.isEmpty()) {
        const Rect r = dirty_;
        dirty_ = {};
        invalidateInParent(r);
    }
}

void Control::invalidate(const Rect& rect) {
    if (!visible || opacity <= 0) return;
    const Rect r = rect.intersection(localRect_);
    if (!r.isEmpty()) dirty_ = dirty_.united(r);
    requestUpdate();
}

void Control::invalidateInParent(const Rect& rect) {
    if (currentParent_) currentParent_->invalidate(rect.movedBy(cachedBounds_.left, cachedBounds_.top));
}

Control* Control::childAt(Point point) const {
    for (size_t i = children_.size(); i > 0; --i) {
        Control* c = children_[i - 1];
        if (c->contains(point - c->cachedBounds_.topLeft())) return c;
    }
    return nullptr;
}

bool Control::contains(Point point) const {
    if (!visible || !interactive || !localRect_.contains(point)) return false;
    return hitThreshold * 255 < opacity * hitAlpha(point);
}

bool Control::isShowing() const {
    const UserInterface* ui = userInterface();
    Rect r = localRect_;
    const Control* c = this;
    for (;;) {
        if (!c->visible || c->opacity <= 0 || r.isEmpty()) return false;
        const Control* p = c->currentParent_;
        if (!p) break;
        r = r.movedBy(c->cachedBounds_.left, c->cachedBounds_.top).intersection(p->localRect_);
        c = p;
    }
    // A tree that is not attached to the window's root is not on screen.
    return !ui || !ui->getRootControl() || c == static_cast<const Control*>(ui->getRootControl());
}

bool Control::isPointShowing(Point point) const {
    const UserInterface* ui = userInterface();
    const Control* c = this;
    for (;;) {
        if (!c->visible || c->opacity <= 0 || !c->localRect_.contains(point)) return false;
        const Control* p = c->currentParent_;
        if (!p) break;
        point = point + c->cachedBounds_.topLeft();
        c = p;
    }
    return !ui || !ui->getRootControl() || c == static_cast<const Control*>(ui->getRootControl());
}

Point Control::toRoot(Point point) const {
    for (const Control* c = this; c && c->currentParent_; c = c->currentParent_)
        point = point + c->cachedBounds_.topLeft();
    return point;
}

Point Control::centreInRoot() const {
    return toRoot({localRect_.right / 2, localRect_.bottom / 2});
}

// Default behaviour of the virtual operations.

void Control::cancelMouse() {
    mouseUp(0, {-32, 0}, 0);
}

void Control::clicked() {
    clickEvent.fire(this);
}

void Control::dragStateChanged(int) {}

Rect Control::getLocalBounds() const {
    return localRect_;
}

void Control::paintInState(Canvas& canvas, int) {
    paint(canvas);
}

void Control::rightClicked() {
    rightClickEvent.fire(this);
}

void Control::doubleClicked(int, Point, int) {
    doubleClickEvent.fire(this);
}

int Control::hitAlpha(Point) const {
    return 255;
}

void Control::mouseDown(int button, Point point, int flags) {
    lastMousePosition_ = point;
    if (button == 0) {
        if (movable) {
            moving_ = true;
            pressPosition_ = point;
        }
        if ((flags & DoubleClick) && doubleClickEnabled)
            doubleClicked(button, point, flags);
        else
            clickPending_ = true;
    } else if (button == 1) {
        rightClickPending_ = true;
    }
    mouseDownEvent.fire(this);
}

void Control::mouseEntered() {
    mouseEnterEvent.fire(this);
}

void Control::mouseExited() {
    mouseExitEvent.fire(this);
}

void Control::mouseMove(Point point, int) {
    if (!moving_ || !currentParent_) return;
    const Rect& b = cachedBounds_;
    const int pw = currentParent_->width();
    const int ph = currentParent_->height();
    const int dx =
        std::clamp(point.x - pressPosition_.x, -b.left - pressPosition_.x, pw - b.left - pressPosition_.x);
    const int dy =
        std::clamp(point.y - pressPosition_.y, -b.top - pressPosition_.y, ph - b.top - pressPosition_.y);
    bounds = b.movedBy(dx, dy);
}

void Control::mouseUp(int, Point point, int) {
    moving_ = false;
    lastMousePosition_ = point;
    // Take the pending flags first: a click handler may delete this control.
    const bool click = clickPending_;
    const bool rightClick = rightClickPending_;
    clickPending_ = false;
    rightClickPending_ = false;
    mouseUpEvent.fire(this);
    if (!contains(point)) return;
    if (click)
        clicked();
    else if (rightClick)
        rightClicked();
}

bool Control::wheel(int phase, Point, int flags, float speedX, float speedY, float pixelsX, float pixelsY) {
    if (phase != WheelChange) return false;
    if (std::fabs(speedX) > kWheelEpsilon && wheelStep(flags, speedX, 0)) return true;
    if (std::fabs(speedY) > kWheelEpsilon && wheelStep(flags, speedY, 1)) return true;
    bool handled = false;
    if (std::fabs(pixelsX) > kWheelEpsilon) handled = wheelScroll(flags, pixelsX, 0) || handled;
    if (std::fabs(pixelsY) > kWheelEpsilon) handled = wheelScroll(flags, pixelsY, 1) || handled;
    return handled;
}

bool Control::wheelStep(int, float, int) {
    return false;
}

bool Control::wheelScroll(int, float, int) {
    return false;
}

void Control::childChanged(Control* source, int kind) {
    if (kind != OpaqueChanged || !source) return;
    std::erase(opaqueChildren_, source);
    if (source->opaque) opaqueChildren_.push_back(source);
}

void Control::paint(Canvas&) {}

void Control::resized() {}

void Control::setFocus(Control* control) {
    focusChild_ = control;
    if (currentParent_) currentParent_->setFocus(this);
}

// Input dispatch.

void Control::dispatchMouseMove(Point point, int flags) {
    if (captureState_ == WheelCapture) {
        const Point r = toRoot(point);
        if (std::abs(r.x - pressPosition_.x) > 4 || std::abs(r.y - pressPosition_.y) > 4)
            releaseCaptureThroughRoot();
    }
    if (captureState_ == NoCapture) {
        if (Control* child = childAt(point)) {
            setHover(child);
            child->dispatchMouseMove(point - child->cachedBounds_.topLeft(), flags);
            return;
        }
    }
    setHover(this);
    mouseMove(point, flags);
}

void Control::dispatchMouseDown(int button, Point point, int flags) {
    if (captureState_ == WheelCapture) releaseCaptureThroughRoot();
    if (Control* child = childAt(point)) {
        child->dispatchMouseDown(button, point - child->cachedBounds_.topLeft(), flags);
        return;
    }
    if (button == 0) {
        setFocus(this);
        if (captureState_ == NoCapture && !isUiDestroying())
            if (RootControl* r = root()) r->setCapture(this);
    }
    if (UserInterface* ui = userInterface(); ui && ui->hintsEnabled()) ui->clearHint();
    mouseDown(button, point, flags);
}

void Control::dispatchMouseUp(int button, Point point, int flags) {
    if (captureState_ == NoCapture) {
        if (Control* child = childAt(point)) {
            child->dispatchMouseUp(button, point - child->cachedBounds_.topLeft(), flags);
            return;
        }
    }
    if (button == 0 && captureState_ != NoCapture) releaseCaptureThroughRoot();
    mouseUp(button, point, flags);
}

bool Control::dispatchWheel(int phase, Point point, int flags, float speedX, float speedY, float pixelsX,
                            float pixelsY) {
    if (captureState_ == NoCapture) {
        if (Control* child = childAt(point)) {
            if (child->dispatchWheel(phase, point - child->cachedBounds_.topLeft(), flags, speedX, speedY,
                                     pixelsX, pixelsY))
                return true;
        }
    }
    const bool handled = wheel(phase, point, flags, speedX, speedY, pixelsX, pixelsY);
    if (handled && phase == WheelChange && !isUiDestroying()) {
        if (RootControl* r = root()) r->wheelHandledBy(this);
    }
    if (handled && phase != WheelEnd) {
        if (captureState_ == NoCapture && hoverTarget_ && !isUiDestroying()) {
            if (RootControl* r = root()) {
                r->setCapture(this);
                captureState_ = WheelCapture;
                pressPosition_ = toRoot(point);
            }
        }
        if (UserInterface* ui = userInterface(); ui && ui->hintsEnabled()) ui->clearHint();
    }
    return handled;
}

void Control::setHover(Control* target) {
    if (target == hoverTarget_) return;
    Control* old = hoverTarget_;
    hoverTarget_ = target;
    if (old && old != this) old->setHover(nullptr);
    UserInterface* ui = userInterface();
    if (!target) {
        if (ui && !hint.get().empty()) ui->clearHint();
        mouseExited();
        hoverChangedEvent.fire(this);
    } else if (!old) {
        mouseEntered();
        if (ui && !hint.get().empty() && ui->hintsEnabled()) ui->setHint(hint);
        hoverChangedEvent.fire(this);
    }
}

void Control::paintTree(Canvas& canvas) {
    const Rect r = localRect_.intersection(canvas.clip());
    if (r.isEmpty()) return;
    canvas.setOpacity(opacity * canvas.opacity() / 255);

    // Opaque children that cover a full-height or full-width strip at an edge of the area hide
    // that strip from this control's own paint.
    Rect v = r;
    for (Control* child : opaqueChildren_) {
        if (!child->visible || child->opacity != 255) continue;
        const Rect i = v.intersection(child->cachedBounds_);
        if (i.isEmpty()) continue;
        if (i.top == v.top && i.bottom == v.bottom) {
            if (i.left == v.left)
                v.left = i.right;
            else if (i.right == v.right)
                v.right = i.left;
        } else if (i.left == v.left && i.right == v.right) {
            if (i.top == v.top)
                v.top = i.bottom;
            else if (i.bottom == v.bottom)
                v.bottom = i.top;
        }
    }
    if (!v.isEmpty()) {
        canvas.setClip(v);
        paint(canvas);
    }

    canvas.setClip(r);
    for (size_t k = 0; k < children_.size(); ++k) {
        Control* child = children_[k];
        if (!child->visible || child->opacity <= 0) continue;
        const Canvas::State saved = canvas.saveState();
        const Point at = child->cachedBounds_.topLeft();
        canvas.setClip(canvas.clip().movedBy(-at.x, -at.y));
        canvas.setOrigin(canvas.origin() + at);
        child->paintTree(canvas);
        canvas.restoreState(saved);
    }
}

}  // namespace gui
