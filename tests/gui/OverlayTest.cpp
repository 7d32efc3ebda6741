#include "GuiFixture.h"
#include "gui/DragManager.h"
#include "gui/DragStage.h"
#include "gui/Overlay.h"

namespace gui::test {
namespace {

// A target that records the drag states it is told and the highlight state it is painted in.
class Target : public Probe {
public:
    using Probe::Probe;
    std::vector<int> states;
    std::vector<int> painted;
    void dragStateChanged(int state) override { states.push_back(state); }
    void paintInState(Canvas& canvas, int state) override {
        painted.push_back(state);
        Probe::paintInState(canvas, state);
    }
};

class OverlayTest : public GuiFixture {
protected:
    Animator animator{ui.get()};
    void SetUp() override {
        animator.rate = 100;
        animator.enabled = true;
    }
    // Animated controls still alive go with the user interface, before the animator they use.
    void TearDown() override { ui.reset(); }
    Target* target(const std::string& name, Rect r) {
        auto* t = new Target(ui.get(), name, &log);
        t->bounds = r;
        t->parent = &root();
        return t;
    }
};

TEST_F(OverlayTest, ShowFadesInAndHideFadesOutThenDeletes) {
    auto* overlay = new Overlay(ui.get());
    overlay->animator = &animator;
    overlay->show();
    EXPECT_EQ(overlay->parent.get(), &root());
    EXPECT_EQ(overlay->bounds.get(), root().localRect());
    EXPECT_EQ(overlay->opacity, 1);
    system.advance(160);
    EXPECT_EQ(overlay->opacity, 255);
    const size_t before = ui->components().size();
    overlay->hide();
    system.advance(300);  // the fade ends, the deferred deletion runs at the next housekeeping tick
    EXPECT_EQ(ui->components().size(), before - 1);
    EXPECT_TRUE(root().children().empty());
}

TEST_F(OverlayTest, WithoutAnimatorShowIsImmediateAndHideDeletesAtOnce) {
    auto* overlay = new Overlay(ui.get());
    overlay->show();
    EXPECT_EQ(overlay->opacity, 255);
    overlay->hide();
    EXPECT_EQ(overlay->opacity, 0);
    ui->processEvents();
    EXPECT_TRUE(root().children().empty());
}

TEST_F(OverlayTest, CatchesClicksFromItsFirstFrameUntilItIsGone) {
    probe("below", {20, 20, 80, 80});
    struct Case {
        uint32_t ms;  // since show
        bool belowUsualThreshold;
    };
    // The fade-in starts at an opacity of 1; a click at any moment of it belongs to the overlay.
    for (const Case c : {Case{0, true}, Case{20, true}, Case{75, true}, Case{149, false}, Case{200, false}}) {
        auto* overlay = new Overlay(ui.get());
        overlay->animator = &animator;
        overlay->show();
        system.advance(c.ms);
        EXPECT_EQ(overlay->opacity < 240, c.belowUsualThreshold) << c.ms << " ms: " << overlay->opacity;
        window().click(50, 50);
        EXPECT_EQ(takeLog(), Log{}) << c.ms << " ms";
        overlay->hide();
        system.advance(1000);  // deleted, and no double-click with the next case
        ASSERT_TRUE(root().children().size() == 1) << c.ms << " ms";
    }
    // Once it is gone the control below has the mouse again.
    window().click(50, 50);
    EXPECT_EQ(takeLog(), (Log{"below:enter", "below:down0@30,30", "below:up0@30,30", "below:click"}));
}

TEST_F(OverlayTest, PaintsDimmingThenHighlightsOnTop) {
    Target* t = target("t", {20, 20, 40, 40});
    auto* overlay = new Overlay(ui.get());
    overlay->colour = Rgba{0, 0, 0, 255};
    overlay->addHighlight(t);
    overlay->show();
    system.pump();
    EXPECT_EQ(t->painted, (std::vector<int>{1}));
    EXPECT_EQ(t->paintClips.back(), (Rect{0, 0, 20, 20}));
    EXPECT_EQ(window().snapshot().colourAt(5, 5), (Rgba{0, 0, 0, 255}));
    t->visible = false;  // a control that does not show is not highlighted
    system.pump();
    EXPECT_EQ(t->painted.size(), 1u);
}

TEST_F(OverlayTest, TargetAtTakesTheLastShowingInteractiveHit) {
    Target* a = target("a", {0, 0, 50, 50});
    Target* b = target("b", {25, 25, 75, 75});
    auto* overlay = new Overlay(ui.get());
    overlay->addHighlight(a);
    overlay->addHighlight(b);
    overlay->show();
    EXPECT_EQ(overlay->targetAt({30, 30}), 1);
    EXPECT_EQ(overlay->targetAt({10, 10}), 0);
    EXPECT_EQ(overlay->targetAt({150, 90}), -1);
    b->interactive = false;
    EXPECT_EQ(overlay->targetAt({30, 30}), 0);
    delete a;  // its slot empties, the indices of the others stay
    EXPECT_EQ(overlay->targetAt({10, 10}), -1);
    EXPECT_EQ(overlay->highlights().size(), 2u);
}

class DragTest : public OverlayTest {
protected:
    DragManager manager;
    Probe* source = nullptr;
    Target* first = nullptr;
    Target* second = nullptr;

    struct Stage : DragStage {
        using DragStage::DragStage;
        bool accept = false;
        std::vector<int> kinds;
        bool targetEvent(int kind, Point p, int flags) override {
            kinds.push_back(kind);
            if (kind == TargetDrop) return accept && hoveredTarget() >= 0;
            return DragStage::targetEvent(kind, p, flags);
        }
    };
    struct Editor : DragManager::Listener {
        UserInterface* ui;
        DragManager* manager;
        Animator* animator;
        Stage* last = nullptr;
        DragStage* createDragStage(Control*) override {
            last = new Stage(ui, manager->targets(), manager->dragFlag());
            last->animator = animator;
            return last;
        }
    } editor;

    void SetUp() override {
        OverlayTest::SetUp();
        source = probe("source", {0, 0, 20, 20});
        first = target("first", {50, 0, 90, 40});
        second = target("second", {100, 0, 140, 40});
        manager.addDragItem(first, false, false);
        manager.addDragItem(second, false, false);
        editor.ui = ui.get();
        editor.manager = &manager;
        editor.animator = &animator;
        manager.setListener(&editor);
        // The user presses on the source and starts dragging.
        window().moveMouse(10, 10);
        window().pressButton(0, 10, 10);
        window().moveMouse(15, 10, native::ButtonLeft);
        takeLog();
        manager.startDrag(source, std::make_unique<DragObject>(), 0);
    }
};

TEST_F(DragTest, BeginEndsTheSourcePressAndTakesTheMouse) {
    EXPECT_TRUE(manager.isDragging());
    EXPECT_EQ(takeLog(), (Log{"source:up0@-1,-1"}));  // no click
    EXPECT_EQ(root().captureControl(), editor.last);
    EXPECT_EQ(first->states, (std::vector<int>{3}));
    EXPECT_EQ(second->states, (std::vector<int>{3}));
}

TEST_F(DragTest, HoveringTellsEnterLeaveAndDwell) {
    window().moveMouse(60, 10, native::ButtonLeft);
    EXPECT_EQ(editor.last->hoveredTarget(), 0);
    system.advance(399);
    EXPECT_EQ(first->states, (std::vector<int>{3, 0}));
    system.advance(1);
    EXPECT_EQ(first->states, (std::vector<int>{3, 0, 2}));
    window().moveMouse(110, 10, native::ButtonLeft);
    EXPECT_EQ(first->states, (std::vector<int>{3, 0, 2, 1}));
    EXPECT_EQ(second->states, (std::vector<int>{3, 0}));
    EXPECT_EQ(editor.last->highlightState(1), 2);
    EXPECT_EQ(editor.last->highlightState(0), 1);
    system.advance(200);
    window().moveMouse(180, 10, native::ButtonLeft);  // onto no target before the dwell
    EXPECT_EQ(second->states, (std::vector<int>{3, 0, 1}));
    system.advance(500);
    EXPECT_EQ(second->states, (std::vector<int>{3, 0, 1}));
}

TEST_F(DragTest, ReleaseOverNoTargetCancelsAndStillEndsEveryTarget) {
    window().moveMouse(180, 80, native::ButtonLeft);
    Stage* stage = editor.last;
    stage->accept = true;
    window().releaseButton(0, 180, 80);
    EXPECT_EQ(stage->finished(), DragStage::Cancelled);
    EXPECT_FALSE(manager.isDragging());
    EXPECT_EQ(first->states.back(), 4);
    EXPECT_EQ(second->states.back(), 4);
    EXPECT_EQ(root().captureControl(), nullptr);
    system.advance(50);  // deleted through a deferred call
    EXPECT_EQ(std::count(root().children().begin(), root().children().end(), stage), 0);
}

TEST_F(DragTest, AcceptedReleaseOverATargetDrops) {
    window().moveMouse(60, 10, native::ButtonLeft);
    Stage* stage = editor.last;
    stage->accept = true;
    window().releaseButton(0, 60, 10);
    EXPECT_EQ(stage->finished(), DragStage::Dropped);
    EXPECT_EQ(stage->kinds, (std::vector<int>{0, 3}));
    EXPECT_EQ(first->states, (std::vector<int>{3, 0, 4}));
    window().moveMouse(110, 10);  // ignored once finished
    EXPECT_EQ(stage->kinds.size(), 2u);
}

TEST(DragManagerTest, LeadingItemsStayBeforeTrailingOnes) {
    DragManager manager;
    Control* c[6];
    for (int i = 0; i < 6; ++i) c[i] = reinterpret_cast<Control*>(static_cast<uintptr_t>(16 * (i + 1)));
    manager.addDragItem(c[0], false, true);
    manager.addDragItem(c[1], false, false);
    manager.addDragItem(c[2], true, true);
    manager.addDragItem(c[3], false, false);
    manager.addDragItem(c[4], false, false);
    manager.addDragItem(c[1], true, true);
    EXPECT_EQ(manager.targets(), (std::vector<Control*>{c[1], c[3], c[4], c[0], c[2], c[1]}));
    manager.removeDragItem(c[1]);
    EXPECT_EQ(manager.targets(), (std::vector<Control*>{c[3], c[4], c[0], c[2]}));
    EXPECT_TRUE(manager.dragItems()[3].hoverOnly);
}

}  // namespace
}  // namespace gui::test
