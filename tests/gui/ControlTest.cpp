#include "GuiFixture.h"
#include "gui/Control.h"
#include "gui/Dialog.h"

namespace gui::test {
namespace {

class ControlTest : public GuiFixture {};

TEST_F(ControlTest, MovingAControlPassesOneRectangleCoveringOldAndNewPosition) {
    Probe* parent = probe("parent", {0, 0, 100, 80});
    Probe* child = probe("child", Rect::ofSize(10, 10, 20, 20), parent);
    parent->passedUp.clear();
    child->setX(20);
    ASSERT_EQ(parent->passedUp.size(), 1u);
    EXPECT_EQ(parent->passedUp[0], (Rect{10, 10, 40, 30}));
    EXPECT_EQ(child->localRect(), (Rect{0, 0, 20, 20}));
}

TEST_F(ControlTest, UpdateBracketMergesInvalidationsIntoOne) {
    Probe* parent = probe("parent", {0, 0, 100, 80});
    Probe* child = probe("child", Rect::ofSize(10, 10, 20, 20), parent);
    parent->passedUp.clear();
    child->passedUp.clear();
    child->beginUpdate();
    child->invalidate({0, 0, 5, 5});
    child->invalidate({10, 10, 15, 15});
    child->invalidate({-5, -5, 100, 3});  // clipped to the local rectangle
    EXPECT_TRUE(child->passedUp.empty());
    child->endUpdate();
    ASSERT_EQ(child->passedUp.size(), 1u);
    EXPECT_EQ(child->passedUp[0], (Rect{0, 0, 20, 15}));
    EXPECT_EQ(parent->passedUp.back(), (Rect{10, 10, 30, 25}));
}

TEST_F(ControlTest, HiddenOrTransparentControlsDoNotInvalidate) {
    Probe* c = probe("c", {0, 0, 50, 50});
    c->visible = false;
    c->passedUp.clear();
    c->invalidateAll();
    c->visible = true;
    c->opacity = 0;
    c->passedUp.clear();
    c->invalidateAll();
    EXPECT_TRUE(c->passedUp.empty());
}

TEST_F(ControlTest, ChildrenFollowParentResizeByLayoutFlags) {
    struct Case {
        int flags;
        Rect expected;
    };
    // Parent grows from 100 x 60 to 111 x 73; the child starts at (20, 10, 40, 30).
    const Case cases[] = {
        {0, {25, 16, 45, 36}},      // centred: half of 11 and of 13, truncated
        {1 | 4, {20, 16, 51, 36}},  // stretches horizontally
        {4, {31, 16, 51, 36}},      // follows the right edge
        {1, {20, 16, 40, 36}},      // left only: stays horizontally
        {3, {20, 10, 40, 30}},      // the default: no change at all
        {1 | 2 | 4 | 8, {20, 10, 51, 43}},
        {1 | 8, {20, 23, 40, 43}},
    };
    for (const Case& c : cases) {
        Probe* parent = probe("p", {0, 0, 100, 60});
        Probe* child = probe("c", {20, 10, 40, 30}, parent);
        child->layoutFlags = c.flags;
        parent->setSize(111, 73);
        EXPECT_EQ(child->bounds.get(), c.expected) << "flags " << c.flags;
        delete child;
        delete parent;
    }
}

TEST_F(ControlTest, HitTestFollowsOpacityAlphaAndThreshold) {
    struct Case {
        int opacity;
        int alpha;
        int threshold;
        bool hit;
    };
    const Case cases[] = {
        {255, 255, 240, true}, {241, 255, 240, true},  {240, 255, 240, false},
        {255, 241, 240, true}, {255, 240, 240, false}, {255, 0, 0, false},
        {255, 1, 0, true},     {128, 128, 64, true},   {0, 255, 0, false},
    };
    Probe* c = probe("c", {10, 10, 30, 30});
    for (const Case& k : cases) {
        c->opacity = k.opacity;
        c->alpha = k.alpha;
        c->hitThreshold = k.threshold;
        EXPECT_EQ(c->contains({5, 5}), k.hit) << k.opacity << " " << k.alpha << " " << k.threshold;
        EXPECT_EQ(root().childAt({15, 15}) == c, k.hit);
    }
    c->opacity = 255;
    c->alpha = 255;
    c->hitThreshold = 240;
    EXPECT_FALSE(c->contains({20, 5}));  // outside the local rectangle
    c->interactive = false;
    EXPECT_FALSE(c->contains({5, 5}));
}

TEST_F(ControlTest, ChildAtFindsTopmostHitChild) {
    Probe* a = probe("a", {0, 0, 50, 50});
    Probe* b = probe("b", {25, 25, 75, 75});
    EXPECT_EQ(root().childAt({30, 30}), b);
    root().bringToFront(a);
    EXPECT_EQ(root().childAt({30, 30}), a);
    a->visible = false;
    EXPECT_EQ(root().childAt({30, 30}), b);
    EXPECT_EQ(root().childAt({100, 90}), nullptr);
}

TEST_F(ControlTest, InsertionIndexPlacesNewChildBelowOthers) {
    Probe* a = probe("a", {0, 0, 10, 10});
    root().setInsertionIndex(0);
    Probe* b = probe("b", {0, 0, 10, 10});
    root().setInsertionIndex(-1);
    ASSERT_EQ(root().children().size(), 2u);
    EXPECT_EQ(root().children()[0], b);
    EXPECT_EQ(root().children()[1], a);
}

TEST_F(ControlTest, PaintsParentsFirstSiblingsInOrderClippedToAncestors) {
    Probe* a = probe("a", {10, 10, 60, 60});
    Probe* inner = probe("inner", {40, 40, 100, 100}, a);  // sticks out of a
    Probe* b = probe("b", {50, 0, 90, 30});
    for (Probe* p : {a, inner, b}) p->logPaint = true;
    takeLog();
    Canvas canvas;
    canvas.setClip(root().localRect());
    root().paintTree(canvas);
    EXPECT_EQ(takeLog(), (Log{"a:paint", "inner:paint", "b:paint"}));
    EXPECT_EQ(inner->paintClips.back(), (Rect{0, 0, 10, 10}));  // the part inside a
    EXPECT_EQ(a->paintClips.back(), (Rect{0, 0, 50, 50}));

    // A partial repaint reaches only the controls it touches.
    canvas.setClip({0, 0, 20, 20});
    root().paintTree(canvas);
    EXPECT_EQ(takeLog(), (Log{"a:paint"}));
    EXPECT_EQ(a->paintClips.back(), (Rect{0, 0, 10, 10}));
}

TEST_F(ControlTest, OpaqueChildrenCutEdgeStripsFromParentPaint) {
    struct Case {
        Rect child;
        Rect parentClip;
    };
    const Case cases[] = {
        {{0, 0, 30, 60}, {30, 0, 90, 60}},   // left third, full height
        {{60, 0, 90, 60}, {0, 0, 60, 60}},   // right third
        {{0, 0, 90, 20}, {0, 20, 90, 60}},   // top band
        {{0, 40, 90, 60}, {0, 0, 90, 40}},   // bottom band
        {{30, 0, 60, 60}, {0, 0, 90, 60}},   // middle strip: nothing
        {{10, 10, 30, 30}, {0, 0, 90, 60}},  // island: nothing
    };
    for (const Case& c : cases) {
        Probe* parent = probe("p", {0, 0, 90, 60});
        Probe* child = probe("c", c.child, parent);
        child->opaque = true;
        Canvas canvas;
        canvas.setClip(root().localRect());
        root().paintTree(canvas);
        ASSERT_FALSE(parent->paintClips.empty());
        EXPECT_EQ(parent->paintClips.back(), c.parentClip);
        child->opaque = false;
        parent->paintClips.clear();
        root().paintTree(canvas);
        EXPECT_EQ(parent->paintClips.back(), (Rect{0, 0, 90, 60}));
        delete child;
        delete parent;
    }
}

TEST_F(ControlTest, IsShowingNeedsVisibleOpaqueAncestorsAndOverlap) {
    Probe* a = probe("a", {10, 10, 60, 60});
    Probe* b = probe("b", {10, 10, 20, 20}, a);
    EXPECT_TRUE(b->isShowing());
    EXPECT_TRUE(b->isPointShowing({5, 5}));
    EXPECT_FALSE(b->isPointShowing({15, 5}));
    a->opacity = 0;
    EXPECT_FALSE(b->isShowing());
    a->opacity = 255;
    a->visible = false;
    EXPECT_FALSE(b->isShowing());
    a->visible = true;
    b->setPosition({60, 0});  // entirely outside a
    EXPECT_FALSE(b->isShowing());
    b->setPosition({45, 0});
    EXPECT_TRUE(b->isShowing());
    a->parent = nullptr;  // not in the window any more
    EXPECT_FALSE(b->isShowing());
}

TEST_F(ControlTest, RootCoordinatesAddEveryAncestorBelowRoot) {
    Probe* a = probe("a", {10, 20, 110, 90});
    Probe* b = probe("b", {5, 7, 25, 17}, a);
    EXPECT_EQ(b->toRoot({1, 1}), (Point{16, 28}));
    EXPECT_EQ(b->centreInRoot(), (Point{25, 32}));
}

TEST_F(ControlTest, DeleteAllChildrenDeletesEachControlBeforeItsChildren) {
    Probe* a = probe("a", {0, 0, 50, 50});
    Probe* b = probe("b", {0, 0, 10, 10}, a);
    Probe* c = probe("c", {0, 0, 5, 5}, b);
    Probe* d = probe("d", {20, 20, 30, 30}, a);
    (void)c;
    (void)d;
    std::vector<Control*> destroyed;
    struct Watcher : Component {
        Watcher(UserInterface* ui, std::vector<Control*>* out) : Component(ui), out(out) {}
        void linkRemoved(Component* c) override { out->push_back(static_cast<Control*>(c)); }
        std::vector<Control*>* out;
    } watcher(ui.get(), &destroyed);
    for (Control* x : {static_cast<Control*>(b), static_cast<Control*>(c), static_cast<Control*>(d)})
        watcher.link(x);
    a->deleteAllChildren();
    EXPECT_TRUE(a->children().empty());
    ASSERT_EQ(destroyed.size(), 3u);
    // The topmost child first; b goes before its own child, so that b's destructor can still
    // release what it holds on c.
    EXPECT_EQ(destroyed[0], d);
    EXPECT_EQ(destroyed[1], b);
    EXPECT_EQ(destroyed[2], c);
}

TEST_F(ControlTest, DialogCoversWindowAndOwnsItsChildren) {
    auto* dialog = new Dialog(ui.get());
    EXPECT_EQ(dialog->bounds.get(), root().localRect());
    EXPECT_EQ(dialog->parent.get(), &root());
    Probe* child = probe("child", {0, 0, 10, 10}, dialog);
    probe("grandchild", {0, 0, 5, 5}, child);
    const size_t before = ui->components().size();
    delete dialog;
    EXPECT_EQ(ui->components().size(), before - 3);
    EXPECT_TRUE(root().children().empty());
}

TEST_F(ControlTest, ListenersHearChangesAndLinksDissolveBothWays) {
    Probe* watched = probe("watched", {0, 0, 10, 10});
    struct Listener : Control {
        using Control::Control;
        std::vector<int> kinds;
        void childChanged(Control* source, int kind) override {
            if (source) kinds.push_back(kind);
        }
    };
    auto* listener = new Listener(ui.get());
    watched->addListener(listener);
    watched->addListener(listener);  // added once
    watched->setX(5);
    watched->opacity = 100;
    watched->visible = false;
    EXPECT_EQ(listener->kinds, (std::vector<int>{4, 5, 3}));
    delete listener;
    EXPECT_TRUE(watched->listeners().empty());
    watched->setX(6);  // nobody to tell, nothing dangling
    EXPECT_TRUE(watched->links().empty());
}

TEST_F(ControlTest, MovableControlIsDraggedButKeepsThePressInsideItsParent) {
    Probe* m = probe("m", {10, 10, 30, 30});
    m->movable = true;
    window().moveMouse(15, 15);
    window().pressButton(0, 15, 15);
    window().moveMouse(40, 25, native::ButtonLeft);
    EXPECT_EQ(m->bounds.get(), (Rect{35, 20, 55, 40}));
    window().moveMouse(400, -50, native::ButtonLeft);  // far outside the window (captured)
    EXPECT_EQ(m->bounds.get(), (Rect{195, -5, 215, 15}));
    window().releaseButton(0, 400, -50);
    EXPECT_FALSE(m->isMoving());
}

}  // namespace
}  // namespace gui::test
