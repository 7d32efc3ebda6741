#include <gtest/gtest.h>

#include <vector>

#include "core/NotifyEvent.h"
#include "core/Property.h"

namespace {
struct Owner : PropertyOwner {
    std::vector<AbstractProperty*> changed;
    void propertyChanged(AbstractProperty* p) override { changed.push_back(p); }
};
}  // namespace

TEST(Property, NotifiesOwnerOnlyOnRealChanges) {
    Owner owner;
    Property<int> p(&owner, 3);
    p = 3;
    EXPECT_TRUE(owner.changed.empty());
    p = 4;
    EXPECT_EQ(p.get(), 4);
    EXPECT_EQ(owner.changed, std::vector<AbstractProperty*>{&p});
}

TEST(Property, LimitedPropertyKeepsItsValueInsideTheLimits) {
    Owner owner;
    LimitedProperty<int> p(&owner, 9, 0, 4);
    EXPECT_EQ(p.get(), 4);
    p = -3;
    EXPECT_EQ(p.get(), 0);
    p = -5;  // still 0: no change, no notification
    EXPECT_EQ(owner.changed.size(), 1u);
    p = 3;
    p.setLimits(0, 2);
    EXPECT_EQ(p.get(), 2);
    EXPECT_EQ(owner.changed.size(), 3u);
}

TEST(NotifyEvent, OwnerFirstThenHandlersFromLastToFirst) {
    struct Target {
        std::vector<int> calls;
        void* sender = nullptr;
        void owner(void* s) {
            calls.push_back(0);
            sender = s;
        }
        void a(void*) { calls.push_back(1); }
        void b(void*) { calls.push_back(2); }
    } target, other;
    NotifyEvent event;
    event.setOwnerHandler(&target, &Target::owner);
    event.addHandler(&target, &Target::a);
    event.addHandler(&other, &Target::a);
    event.addHandler(&target, &Target::b);
    int sender;
    event.fire(&sender);
    EXPECT_EQ(target.calls, (std::vector<int>{0, 2, 1}));
    EXPECT_EQ(other.calls, std::vector<int>{1});
    EXPECT_EQ(target.sender, &sender);
    event.removeHandlers(&other);
    event.fire(nullptr);
    EXPECT_EQ(other.calls.size(), 1u);
}
