#include <gtest/gtest.h>

#include "AudioThreadGuard.h"
#include "FakeParameterOwner.h"
#include "framework/FloatPluginParameter.h"
#include "framework/MidiMultiVirtualPluginParameter.h"

namespace {

struct Fixture {
    FakeParameterOwner owner;
    FloatPluginParameter a{&owner, "A"}, b{&owner, "B"}, c{&owner, "C"};
    MidiMultiVirtualPluginParameter link{owner, "Link"};

    Fixture() {
        for (FloatPluginParameter* p : {&a, &b, &c}) p->setRange(0.0f, 1.0f, 0.0f);
        a.setValue(0.2f, 0);
        b.setValue(0.4f, 0);
        c.setValue(0.9f, 0);
        for (FloatPluginParameter* p : {&a, &b, &c}) link.addMember(p);
    }
};

}  // namespace

TEST(MidiVirtualPluginParameterTest, IdentifiersStartAboveEveryParameterIndex) {
    FakeParameterOwner owner;
    MidiMultiVirtualPluginParameter first(owner, "Filter Link Freq");
    MidiMultiVirtualPluginParameter second(owner, "Filter Link Peak");
    EXPECT_EQ(first.identifier(), 0x100000);
    EXPECT_EQ(second.identifier(), 0x100001);
    EXPECT_EQ(second.name(), "Filter Link Peak");
}

TEST(MidiVirtualPluginParameterTest, GroupMovesTogetherKeepingItsSpreadAndMemberEdgesSpringBack) {
    Fixture f;
    // The first move learns the spread around the mean 0.5: -0.3, -0.1, +0.4.
    f.link.setNormalized(0.5f);
    EXPECT_NEAR(f.a.value(), 0.2f, 1e-6f);
    EXPECT_NEAR(f.c.value(), 0.9f, 1e-6f);

    // Moving up pushes C against 1; moving back returns it to its place.
    f.link.setNormalized(0.8f);
    EXPECT_NEAR(f.a.value(), 0.5f, 1e-6f);
    EXPECT_NEAR(f.b.value(), 0.7f, 1e-6f);
    EXPECT_FLOAT_EQ(f.c.value(), 1.0f);
    f.link.setNormalized(0.5f);
    EXPECT_NEAR(f.a.value(), 0.2f, 1e-6f);
    EXPECT_NEAR(f.b.value(), 0.4f, 1e-6f);
    EXPECT_NEAR(f.c.value(), 0.9f, 1e-6f);

    // A member moved on its own learns a new offset.
    f.b.setValue(0.6f, 0);
    f.link.setNormalized(0.5f);
    EXPECT_NEAR(f.b.value() - f.a.value(), 0.4f, 1e-5f);
    EXPECT_NEAR(f.c.value() - f.a.value(), 0.7f, 1e-5f);
}

TEST(MidiVirtualPluginParameterTest, MembershipKeepsOffsetsWithTheirMembersAndMovesAllocateNothing) {
    Fixture f;
    f.link.setNormalized(0.5f);
    f.link.addMember(&f.a);  // already present: moves to the end
    ASSERT_EQ(f.link.members().size(), 3u);
    EXPECT_EQ(f.link.members().back(), &f.a);
    f.link.removeMember(&f.b);
    ASSERT_EQ(f.link.members().size(), 2u);
    EXPECT_EQ(f.link.learnedOffsets().size(), 2u);
    EXPECT_EQ(f.link.observedOffsets().size(), 2u);

    {
        AudioThreadGuard guard;
        f.link.setNormalized(0.5f);
        EXPECT_EQ(guard.allocations(), 0);
    }
    // C stays 0.7 above A, whatever the bookkeeping after the membership changes.
    EXPECT_NEAR(f.c.value() - f.a.value(), 0.7f, 1e-5f);

    MidiMultiVirtualPluginParameter empty(f.owner, "Empty");
    empty.setNormalized(0.5f);  // nothing to move
}
