#pragma once

#include <string>
#include <vector>

#include "core/FloatEpsilon.h"
#include "core/NotifyEvent.h"
#include "core/Property.h"
#include "gui/Canvas.h"
#include "gui/Component.h"
#include "gui/Point.h"
#include "gui/Rect.h"
#include "gui/UpdatedObject.h"

namespace gui {

class RootControl;

// A lightweight control in the tree under one root control: geometry, layout, invalidation,
// painting, hit testing and the mouse, wheel, hover, capture, focus and hint protocols. Children
// are not owned (except by a dialog); a control is attached by setting its parent property.
// Everything here runs on the UI thread.
class Control : public Component, public UpdatedObject {
public:
    // Layout flags: which of the parent's edges the control follows when the parent is resized.
    enum LayoutFlag { AttachLeft = 1, AttachTop = 2, AttachRight = 4, AttachBottom = 8 };
    // Modifier flags that accompany every mouse and wheel event.
    enum Modifier {
        Shift = 1,
        Alt = 2,
        Ctrl = 4,
        LeftButton = 8,
        RightButton = 16,
        MiddleButton = 32,
        DoubleClick = 64,
        HostModifier = 128,
        SystemKey = 256
    };
    enum ChangeKind {
        ChildAdded = 0,
        ChildRemoved = 1,
        ParentChanged = 2,
        VisibilityChanged = 3,
        BoundsChanged = 4,
        OpacityChanged = 5,
        OpaqueChanged = 6
    };
    enum CaptureState { NoCapture = 0, MouseCapture = 1, WheelCapture = 2 };
    enum WheelPhase { WheelBegin = 0, WheelChange = 1, WheelEnd = 2 };
    enum DragState { DragEntered = 0, DragLeft = 1, DragDwelled = 2, DragStarted = 3, DragEnded = 4 };

    // Wheel components at or below this magnitude count as zero.
    static constexpr float kWheelEpsilon = kFloatEpsilon;

    explicit Control(UserInterface* ui);
    ~Control() override;

    int layoutFlags = AttachLeft | AttachTop;
    bool movable = false;
    Property<Rect> bounds{this};
    Property<bool> interactive{this, true};
    bool doubleClickEnabled = true;
    Property<std::string> hint{this};
    Property<bool> opaque{this, false};
    LimitedProperty<int> opacity{this, 255, 0, 255};
    int hitThreshold = 240;
    Property<Control*> parent{this, nullptr};
    Property<bool> visible{this, true};

    NotifyEvent clickEvent;
    NotifyEvent doubleClickEvent;
    NotifyEvent mouseDownEvent;
    NotifyEvent mouseEnterEvent;
    NotifyEvent mouseExitEvent;
    NotifyEvent mouseUpEvent;
    NotifyEvent rightClickEvent;

    void propertyChanged(AbstractProperty* property) override;
    void linkRemoved(Component* component) override;

    virtual void cancelMouse();
    virtual void clicked();
    virtual void dragStateChanged(int state);
    virtual Rect getLocalBounds() const;
    virtual void paintInState(Canvas& canvas, int state);
    virtual void rightClicked();
    virtual void doubleClicked(int button, Point point, int flags);
    virtual int hitAlpha(Point point) const;
    virtual void mouseDown(int button, Point point, int flags);
    virtual void mouseEntered();
    virtual void mouseExited();
    virtual void mouseMove(Point point, int flags);
    virtual void mouseUp(int button, Point point, int flags);
    virtual bool wheel(int phase, Point point, int flags, float speedX, float speedY, float pixelsX,
                       float pixelsY);
    virtual bool wheelStep(int flags, float value, int axis);
    virtual bool wheelScroll(int flags, float pixels, int axis);
    virtual void childChanged(Control* source, int kind);
    virtual void paint(Canvas& canvas);
    virtual void resized();
    virtual void setFocus(Control* control);
    virtual void invalidateInParent(const Rect& rect);

    // Geometry; each sets the bounds property.
    void setBounds(int x, int y, int width, int height) { bounds = Rect::ofSize(x, y, width, height); }
    void setPosition(Point p) { setBounds(p.x, p.y, width(), height()); }
    void setSize(int width, int height) { setBounds(bounds.get().left, bounds.get().top, width, height); }
    void setX(int x) { setBounds(x, bounds.get().top, width(), height()); }
    void setY(int y) { setBounds(bounds.get().left, y, width(), height()); }

    const Rect& localRect() const { return localRect_; }
    int width() const { return localRect_.right; }
    int height() const { return localRect_.bottom; }

    // Tree.
    const std::vector<Control*>& children() const { return children_; }
    const std::vector<Control*>& opaqueChildren() const { return opaqueChildren_; }
    // Where the next attached child goes in the z-order; -1 puts it on top.
    void setInsertionIndex(int index) { insertionIndex_ = index; }
    void bringToFront(Control* child);
    // Deletes every child, each before its own children (which it may still release in its
    // destructor); children must have been created with new.
    void deleteAllChildren();

    void invalidate(const Rect& rect);
    void invalidateAll() { invalidate(localRect_); }
    const Rect& dirtyRect() const { return dirty_; }

    // The topmost child hit at the point, or none.
    Control* childAt(Point point) const;
    // Whether the control itself is hit at the point (visible, interactive, inside, solid enough).
    bool contains(Point point) const;
    bool isShowing() const;
    bool isPointShowing(Point point) const;
    Point toRoot(Point point) const;
    Point centreInRoot() const;

    // Tells the component about this control's changes through childChanged; linked both ways.
    void addListener(Component* listener);
    const std::vector<Component*>& listeners() const { return listeners_; }

    Control* focusChild() const { return focusChild_; }
    Control* hoverTarget() const { return hoverTarget_; }
    // Sender = the control: the pointer came over it or left it (hoverTarget tells which).
    NotifyEvent hoverChangedEvent;
    int captureState() const { return captureState_; }
    bool isMoving() const { return moving_; }
    RootControl* root() const;

    // Input dispatch down the tree; points in this control's coordinates.
    void dispatchMouseMove(Point point, int flags);
    void dispatchMouseDown(int button, Point point, int flags);
    void dispatchMouseUp(int button, Point point, int flags);
    bool dispatchWheel(int phase, Point point, int flags, float speedX, float speedY, float pixelsX,
                       float pixelsY);
    void setHover(Control* target);
    // Paints this control and its children; the canvas clip and origin are in this control's
    // coordinates and its opacity is that of the parent chain.
    void paintTree(Canvas& canvas);

protected:
    void update() override;
    bool isUiDestroying() const;
    void releaseCaptureThroughRoot();

    Point lastMousePosition_;
    // The press of a moving drag, or for a wheel capture the pointer in root coordinates.
    Point pressPosition_;

private:
    friend class RootControl;

    void addChild(Control* child);
    void removeChild(Control* child);
    void layoutChildren(int oldWidth, int oldHeight);
    void tellParentAndListeners(int kind);
    void tellListeners(int kind);

    Rect cachedBounds_;
    bool clickPending_ = false;
    Rect localRect_;
    std::vector<Control*> children_;
    bool clearing_ = false;
    Control* focusChild_ = nullptr;
    int insertionIndex_ = -1;
    int captureState_ = NoCapture;
    Control* hoverTarget_ = nullptr;
    bool moving_ = false;
    std::vector<Component*> listeners_;
    std::vector<Control*> opaqueChildren_;
    Control* currentParent_ = nullptr;
    bool rightClickPending_ = false;
    Rect dirty_;
};

}  // namespace gui
