#include "GuiFixture.h"
#include "gui/AnimatedControl.h"
#include "gui/Animation.h"
#include "gui/Animator.h"
#include "gui/Timer.h"
#include "gui/ValueAnimation.h"

namespace gui::test {
namespace {

class AnimatorTest : public GuiFixture {
protected:
    Animator animator{ui.get()};
    void SetUp() override {
        animator.rate = 100;  // a tick every 10 ms
        animator.enabled = true;
    }
    // Animated controls still alive go with the user interface, before the animator they use.
    void TearDown() override { ui.reset(); }
};

TEST(AnimationCurveTest, CurvesRunFromZeroToOneAndBendAsNamed) {
    for (int curve : {0, 1, 2, 3}) {
        EXPECT_NEAR(Animation::ease(curve, 0.0f), 0.0f, 1e-6f) << curve;
        EXPECT_NEAR(Animation::ease(curve, 1.0f), 1.0f, 1e-5f) << curve;
        float last = -1;
        for (float c = 0; c <= 1.0f; c += 0.05f) {
            EXPECT_GT(Animation::ease(curve, c), last);  // strictly rising
            last = Animation::ease(curve, c);
        }
    }
    EXPECT_FLOAT_EQ(Animation::ease(1, 0.5f), 0.5f);
    EXPECT_LT(Animation::ease(2, 0.5f), 0.5f);  // ease in starts slowly
    EXPECT_GT(Animation::ease(3, 0.5f), 0.5f);  // ease out ends slowly
}

TEST_F(AnimatorTest, TimerFollowsEnabledAndRate) {
    EXPECT_TRUE(animator.timer()->running);
    EXPECT_TRUE(animator.timer()->frameSynchronized);
    EXPECT_EQ(animator.timer()->interval, 10);
    animator.rate = 25;
    EXPECT_EQ(animator.timer()->interval, 40);
    animator.enabled = false;
    EXPECT_FALSE(animator.timer()->running);
}

TEST_F(AnimatorTest, FadeReachesItsEndFiresFinishedAndDeletesItself) {
    Probe* c = probe("c", {0, 0, 10, 10});
    auto* fade = new FadeAnimation(&animator, c, 55);
    int finished = 0;
    struct F {
        int* n;
        void done(void*) { ++*n; }
    } f{&finished};
    fade->finishedEvent.addHandler(&f, &F::done);
    system.advance(100);
    EXPECT_NEAR(c->opacity, 155, 12);  // halfway (within one tick)
    EXPECT_EQ(finished, 0);
    system.advance(110);
    EXPECT_EQ(c->opacity, 55);
    EXPECT_EQ(finished, 1);
    EXPECT_EQ(animator.activeCount(), 0);
}

TEST_F(AnimatorTest, SecondFadeOfTheSameControlReplacesTheFirstWithoutAJump) {
    Probe* c = probe("c", {0, 0, 10, 10});
    new FadeAnimation(&animator, c, 0);
    system.advance(100);
    const int reached = c->opacity;
    ASSERT_GT(reached, 100);
    ASSERT_LT(reached, 155);
    auto* second = new FadeAnimation(&animator, c, 255);
    EXPECT_EQ(animator.activeCount(), 1);
    EXPECT_TRUE(animator.isActive(second));
    system.advance(10);
    EXPECT_GE(c->opacity, reached);  // continues from where the first stopped
    EXPECT_LE(c->opacity, reached + 10);
    system.advance(200);
    EXPECT_EQ(c->opacity, 255);
}

TEST_F(AnimatorTest, ValueAnimationsMoveIntsFloatsAndLimitedProperties) {
    Probe* c = probe("c", {0, 0, 10, 10});
    int plain = 0;
    float f = 1.0f;
    LimitedProperty<int> limited(nullptr, 0, 0, 50);
    auto* a = new ValueAnimation<int, int>(&animator, &plain, 0, 100, c);
    a->curve = Animation::Smooth;
    new ValueAnimation<float, float>(&animator, &f, 1.0f, 0.0f);
    new ValueAnimation<int, LimitedProperty<int>>(&animator, &limited, 0, 100);
    c->passedUp.clear();
    system.advance(100);
    EXPECT_NEAR(plain, 50, 10);
    EXPECT_FALSE(c->passedUp.empty());  // the control was invalidated
    EXPECT_NEAR(f, 0.5f, 0.1f);
    EXPECT_EQ(limited.get(), 50);  // clamped once past the limit
    system.advance(200);
    EXPECT_EQ(plain, 100);
    EXPECT_EQ(f, 0.0f);
    EXPECT_EQ(animator.activeCount(), 0);
}

TEST_F(AnimatorTest, DestroyingAnAnimatedControlRemovesItsAnimations) {
    auto* c = new AnimatedControl(ui.get());
    c->animator = &animator;
    c->bounds = {0, 0, 10, 10};
    c->parent = &root();
    new FadeAnimation(&animator, c, 0);
    int other = 0;
    new ValueAnimation<int, int>(&animator, &other, 0, 10, c);
    EXPECT_EQ(animator.activeCount(), 2);
    delete c;
    EXPECT_EQ(animator.activeCount(), 0);
    system.advance(300);  // nothing touches the deleted control
}

TEST_F(AnimatorTest, ChangesMadeDuringATickWaitForItsEnd) {
    Probe* c = probe("c", {0, 0, 10, 10});
    int value = 0;
    // When the short animation finishes it deletes the control's fade and starts another one.
    struct Chain {
        Animator* animator;
        Control* control;
        int* value;
        void finished(void*) {
            animator->removeAllOf(control);
            new ValueAnimation<int, int>(animator, value, 100, 200);
        }
    } chain{&animator, c, &value};
    auto* first = new ValueAnimation<int, int>(&animator, &value, 0, 100);
    first->duration = 20;
    first->finishedEvent.addHandler(&chain, &Chain::finished);
    new FadeAnimation(&animator, c, 0);
    system.advance(30);
    EXPECT_EQ(animator.activeCount(), 1);
    const int opacityAfter = c->opacity;
    system.advance(300);
    EXPECT_EQ(value, 200);
    EXPECT_EQ(c->opacity, opacityAfter);  // the fade was removed
}

TEST_F(AnimatorTest, DestroyingTheInterfaceFirstLeavesTheAnimatorSafe) {
    auto* animatorOnHeap = new Animator(ui.get());
    Probe* c = probe("c", {0, 0, 10, 10});
    new FadeAnimation(animatorOnHeap, c, 0);
    ui.reset();
    // The animator forgot the timer the user interface destroyed, so deleting it touches no freed
    // memory (which AddressSanitizer would report).
    EXPECT_EQ(animatorOnHeap->timer(), nullptr);
    delete animatorOnHeap;
}

}  // namespace
}  // namespace gui::test
