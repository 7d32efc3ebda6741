// The value model: range rules, normalized positions, the edit protocol with its dry run, link
// groups, and the modifier map's two tables.

#include <cmath>

#include "ValueControlFixture.h"

namespace gui::test {
namespace {

class Plain : public ValueControl {
public:
    using ValueControl::editTo;
    using ValueControl::ValueControl;
};

class ValueControlTest : public ValueControlFixture {
protected:
    Plain* control(int minimum, int maximum, int value) {
        auto* c = new Plain(ui.get());
        c->maximum = maximum;
        c->minimum = minimum;
        c->value = value;
        return c;
    }
};

TEST_F(ValueControlTest, ModifierTables) {
    struct Case {
        bool hostTable;
        int flags;
        int actions;
    };
    const int shift = Control::Shift, alt = Control::Alt, ctrl = Control::Ctrl;
    const Case cases[] = {
        {false, ctrl, ModifierMap::Reset},
        {false, shift, ModifierMap::Fine},
        {false, alt, ModifierMap::Linked},
        {false, shift | alt, ModifierMap::Fine | ModifierMap::Linked},
        {false, ctrl | shift, 0},
        {false, ctrl | Control::LeftButton | Control::DoubleClick,
         ModifierMap::Reset},  // buttons don't count
        {false, ctrl | Control::HostModifier, 0},
        {false, 0, 0},
        {true, alt, ModifierMap::Reset},
        {true, ctrl, ModifierMap::Fine},
        {true, shift, ModifierMap::Linked},
        {true, ctrl | shift, ModifierMap::Fine | ModifierMap::Linked},
        {true, shift | alt, 0},
        {true, shift | Control::HostModifier, 0},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(std::to_string(c.hostTable) + " " + std::to_string(c.flags));
        ModifierMap::useDefaults();
        if (c.hostTable) ModifierMap::useHostShortcuts();
        EXPECT_EQ(ModifierMap::lookupModifierAction(c.flags), c.actions);
    }
}

TEST_F(ValueControlTest, RangeRulesPushTheOtherLimitAndClampTheValue) {
    Plain* c = control(0, 100, 50);
    c->maximum = -5;  // at or below the minimum: the minimum gives way
    EXPECT_EQ(c->minimum, -6);
    EXPECT_EQ(c->value, -5);
    c->minimum = 10;  // at or above the maximum: the maximum gives way
    EXPECT_EQ(c->maximum, 11);
    EXPECT_EQ(c->value, 10);
    EXPECT_EQ(c->accumulatedValue(), 10);
    c->value = 99;
    EXPECT_EQ(c->value, 11);
}

TEST_F(ValueControlTest, NormalizedPositionsRoundToTheNearestStep) {
    Plain* c = control(10, 13, 10);
    const std::pair<double, int> cases[] = {{0.0, 10}, {0.15, 10}, {0.2, 11}, {0.4, 11}, {0.6, 12},
                                            {0.9, 13}, {1.0, 13},  {1.5, 13}, {-0.5, 10}};
    for (auto [x, v] : cases) EXPECT_EQ(c->fromNormalized(x), v) << x;
    c->value = 12;
    EXPECT_DOUBLE_EQ(c->toNormalized(), 2.0 / 3.0);
    // A mapped control reads through its mappings.
    c->setMappings([](double x) { return x * x; }, [](double) { return 0.25; });
    EXPECT_EQ(c->fromNormalized(0.5), 11);
    EXPECT_DOUBLE_EQ(c->toNormalized(), 0.25);
}

TEST_F(ValueControlTest, DryRunKeepsTheAccumulatorAtALimitUnlessALinkedParameterMoves) {
    Plain* c = control(0, 100, 95);
    EditRecorder recorder;
    c->setListener(&recorder);
    c->edit(ValueControl::Begin, 0);
    EXPECT_EQ(c->edit(ValueControl::Change, 20), 5);
    EXPECT_EQ(c->value, 100);
    EXPECT_EQ(c->edit(ValueControl::Change, 20), 0);
    EXPECT_EQ(c->accumulatedValue(), 100);
    c->edit(ValueControl::Change, -3);
    EXPECT_EQ(c->value, 97);
    // A linked parameter that can still move lets the accumulator pass the end.
    recorder.linkedChange = 7;
    c->edit(ValueControl::Change, 10);
    EXPECT_EQ(c->value, 100);
    EXPECT_EQ(c->accumulatedValue(), 104);  // limited to the linked change of 7
    c->edit(ValueControl::End, 0);
    EXPECT_EQ(c->accumulatedValue(), 100);
    EXPECT_EQ(recorder.count(0), 1);
    EXPECT_EQ(recorder.count(2), 1);
}

TEST_F(ValueControlTest, MappedGroupsMoveThroughNormalizedPositionsAndResetsLandOnTheSource) {
    Plain* a = control(0, 4096, 1024);
    Plain* b = control(0, 100, 50);
    a->joinGroup(b);
    // b's value follows the square of its position; positions move together.
    b->setMappings([](double x) { return x * x; }, [](double v) { return std::sqrt(v / 100.0); });
    a->updateLinkMode(Control::Alt);
    a->edit(ValueControl::Begin, 0);
    EXPECT_TRUE(b->isEditing());
    a->edit(ValueControl::Change, 1024);  // a: 0.25 -> 0.5 of its range
    // b: position sqrt(0.5) + 0.25 = 0.957, value 100 x 0.957^2 = 91.6
    EXPECT_EQ(b->value, 92);
    // A reset lands every member on the source's position.
    a->editTo(3072);
    EXPECT_EQ(b->value, b->fromNormalized(0.75));
    a->edit(ValueControl::End, 0);
    EXPECT_FALSE(b->isEditing());
}

TEST_F(ValueControlTest, LinkedEditingReleasedInsideAnEditEndsTheMembersEdits) {
    Plain* a = control(0, 1000, 500);
    Plain* b = control(0, 1000, 500);
    a->joinGroup(b);
    a->edit(ValueControl::Begin, 0);
    a->updateLinkMode(Control::Alt);
    a->edit(ValueControl::Change, 10);
    EXPECT_EQ(b->value, 510);
    EXPECT_TRUE(b->isEditing());
    a->updateLinkMode(0);
    a->edit(ValueControl::Change, 10);
    EXPECT_EQ(a->value, 520);
    EXPECT_EQ(b->value, 510);
    EXPECT_FALSE(b->isEditing());
    a->edit(ValueControl::End, 0);
}

TEST_F(ValueControlTest, GroupsMergeAndAGroupOfOneDissolves) {
    Plain* a = control(0, 10, 0);
    Plain* b = control(0, 10, 0);
    Plain* c = control(0, 10, 0);
    Plain* d = control(0, 10, 0);
    a->joinGroup(b);
    c->joinGroup(d);
    b->joinGroup(c);
    EXPECT_EQ(a->groupMembers().size(), 4u);
    EXPECT_EQ(d->groupMembers().size(), 4u);
    a->leaveGroup();
    b->leaveGroup();
    c->leaveGroup();
    EXPECT_TRUE(d->groupMembers().empty());
    delete b;
    EXPECT_TRUE(a->groupMembers().empty());
}

}  // namespace
}  // namespace gui::test
