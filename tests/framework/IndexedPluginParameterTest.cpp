#include <gtest/gtest.h>

#include <cmath>

#include "AudioThreadGuard.h"
#include "FakeParameterOwner.h"
#include "framework/IndexedPluginParameter.h"
#include "framework/PropPluginParameter.h"
#include "framework/ToggleFloatPluginParameter.h"
#include "wave/Environment.h"
#include "wave/SmoothedValue.h"

namespace {

enum class Routing { Serial = 0, Parallel = 1, PerChannel = 2 };

struct CountingPropertyOwner : PropertyOwner {
    int changes = 0;
    void propertyChanged(AbstractProperty*) override { ++changes; }
};

}  // namespace

TEST(IndexedPluginParameterTest, NormalizedValuesRoundHalfUpToTheNearestIndex) {
    FakeParameterOwner owner;
    struct Case {
        int minimum, maximum;
        float normalized;
        float expected;
    };
    const Case cases[] = {
        {0, 2, 0.5f, 1.0f},   {0, 3, 0.5f, 2.0f},  {0, 3, 0.49f, 1.0f}, {0, 3, 0.0f, 0.0f},
        {0, 3, 1.0f, 3.0f},   {0, 3, 1.7f, 3.0f},  {0, 3, -0.4f, 0.0f}, {1, 16, 0.0f, 1.0f},
        {1, 16, 1.0f, 16.0f}, {-5, 5, 0.5f, 0.0f}, {4, 4, 0.7f, 4.0f},  {0, 1, std::nanf(""), 0.0f},
    };
    for (const Case& c : cases) {
        IndexedPluginParameter<int> p(&owner, "P");
        p.setIndexRange(c.minimum, c.maximum, c.minimum);
        EXPECT_FLOAT_EQ(p.normalizedToPlain(c.normalized), c.expected)
            << c.minimum << ".." << c.maximum << " at " << c.normalized;
        if (c.maximum > c.minimum) {
            for (int i = c.minimum; i <= c.maximum; ++i)
                EXPECT_FLOAT_EQ(p.normalizedToPlain(p.plainToNormalized(float(i))), float(i));
        }
    }
}

TEST(IndexedPluginParameterTest, ItemNamesMatchExactlyThenIgnoringCaseAndNumbersMustLieInRange) {
    FakeParameterOwner owner;
    IndexedPluginParameter<bool> invert(&owner, "Invert");
    invert.setIndexRange(0, 1, 0);
    invert.setItemNames("Normal,Inverted");
    EXPECT_FALSE(invert.isNumeric());
    EXPECT_EQ(invert.plainToText(1.0f), "Inverted");

    IndexedPluginParameter<int> mode(&owner, "Mode");
    mode.setIndexRange(0, 2, 0);
    mode.setItemNames("Soft,SOFT,soft ");  // exact matches win over case-blind ones

    struct Case {
        IndexedPluginParameter<bool>* b;
        IndexedPluginParameter<int>* i;
        const char* text;
        bool accepted;
        float expected;
    };
    const Case cases[] = {
        {&invert, nullptr, "Inverted", true, 1.0f}, {&invert, nullptr, "inverted", true, 1.0f},
        {&invert, nullptr, "NORMAL", true, 0.0f},   {&invert, nullptr, "1", true, 1.0f},
        {&invert, nullptr, " 0 ", true, 0.0f},      {&invert, nullptr, "2", false, 0.0f},
        {&invert, nullptr, "-1", false, 0.0f},      {&invert, nullptr, "Invert", false, 0.0f},
        {&invert, nullptr, "", false, 0.0f},        {nullptr, &mode, "SOFT", true, 1.0f},
        {nullptr, &mode, "sofT", true, 0.0f},       {nullptr, &mode, "soft ", true, 2.0f},
        {nullptr, &mode, "0x1", true, 0.0f},        {nullptr, &mode, "99999999999", false, 0.0f},
    };
    for (const Case& c : cases) {
        AbstractPluginParameter* p = c.b ? static_cast<AbstractPluginParameter*>(c.b) : c.i;
        float plain = 42.0f;
        EXPECT_EQ(p->textToPlain(c.text, plain), c.accepted) << c.text;
        EXPECT_FLOAT_EQ(plain, c.accepted ? c.expected : p->value()) << c.text;
    }
}

TEST(IndexedPluginParameterTest, ValueTablesMapIndicesToRawValuesBothWays) {
    FakeParameterOwner owner;
    static const int kDivisions[] = {1, 2, 4, 8, 16};
    IndexedPluginParameter<int> division(&owner, "Division");
    division.setIndexRange(0, 0, 4);
    division.setValueTable(kDivisions, 5, 1);
    EXPECT_FLOAT_EQ(division.minValue(), 1.0f);
    EXPECT_FLOAT_EQ(division.maxValue(), 5.0f);
    EXPECT_FLOAT_EQ(division.value(), 3.0f);  // raw 4 is the third entry
    EXPECT_FLOAT_EQ(division.defaultValue(), 3.0f);
    EXPECT_TRUE(division.isNumeric());

    owner.clearRecords();
    division.setValue(5.9f, 0);
    EXPECT_EQ(division.rawValue(), 16);
    ASSERT_EQ(owner.changes.size(), 1u);
    EXPECT_FLOAT_EQ(owner.changes[0].value, 5.0f);
    division.setValue(99.0f, 0);  // clamps to the same index: no report
    EXPECT_EQ(owner.changes.size(), 1u);

    // The text shows the raw value and typing a raw value selects its index.
    EXPECT_EQ(division.plainToText(2.0f), "2");
    float plain = 0.0f;
    EXPECT_TRUE(division.textToPlain("8", plain));
    EXPECT_FLOAT_EQ(plain, 4.0f);
    EXPECT_FALSE(division.textToPlain("3", plain));
    for (int i = 1; i <= 5; ++i) {
        ASSERT_TRUE(division.textToPlain(division.plainToText(float(i)), plain));
        EXPECT_FLOAT_EQ(plain, float(i));
    }
}

TEST(IndexedPluginParameterTest, SetValueTruncatesClampsAndReportsChangedIndicesOnly) {
    FakeParameterOwner owner;
    IndexedPluginParameter<Routing> routing(&owner, "Routing");
    routing.setIndexRange(0, 2, 0);
    routing.setItemNames("Serial,Parallel,Per Channel");
    owner.clearRecords();

    routing.setValue(1.99f, FromHost);
    routing.setValue(1.0f, 0);
    routing.setValue(-7.0f, 0);
    routing.setValue(std::nanf(""), 0);
    routing.setValue(1e30f, 0);
    ASSERT_EQ(owner.changes.size(), 3u);
    EXPECT_FLOAT_EQ(owner.changes[0].value, 1.0f);
    EXPECT_EQ(owner.changes[0].flags, FromHost);
    EXPECT_FLOAT_EQ(owner.changes[1].value, 0.0f);
    EXPECT_FLOAT_EQ(owner.changes[2].value, 2.0f);
    EXPECT_EQ(routing.rawValue(), Routing::PerChannel);
    EXPECT_EQ(routing.plainToText(routing.value()), "Per Channel");

    // A new range restores the default and drops the names.
    routing.setIndexRange(0, 5, 3);
    EXPECT_FLOAT_EQ(routing.value(), 3.0f);
    EXPECT_TRUE(routing.isNumeric());
    EXPECT_EQ(routing.plainToText(4.0f), "4");
}

TEST(IndexedPluginParameterTest, PropertyAndToggleParametersDriveTheEngineWithoutAllocating) {
    FakeParameterOwner owner;
    CountingPropertyOwner propertyOwner;
    Property<bool> frozen(&propertyOwner, false);
    Property<Routing> routing(&propertyOwner, Routing::Serial);

    PropPluginParameter<bool> freeze(&owner, "Freeze");
    freeze.setIndexRange(0, 1, 0);
    freeze.bind(&frozen);
    PropPluginParameter<Routing> route(&owner, "Routing");
    route.setIndexRange(0, 2, 0);
    route.bind(&routing);

    wave::Environment environment(128);
    SmoothedValue left(environment, 1.0f), right(environment, 1.0f);
    left.setRange(-1.0f, 1.0f);
    right.setRange(-1.0f, 1.0f);
    static const float kInvert[] = {1.0f, -1.0f};
    ToggleFloatPluginParameter<bool> invert(&owner, "Invert");
    invert.setIndexRange(0, 1, 0);
    invert.setFactorTable(kInvert);
    invert.bind(&left);
    invert.bind(&right);

    {
        AudioThreadGuard guard;
        freeze.applyToEngine(1.0f);
        freeze.applyToEngine(1.0f);
        route.applyToEngine(2.0f);
        invert.applyToEngine(1.0f);
        EXPECT_EQ(guard.allocations(), 0);
        if (AudioThreadGuard::countsLocks()) {
            EXPECT_EQ(guard.locks(), 0);
        }
    }
    EXPECT_TRUE(frozen.get());
    EXPECT_EQ(routing.get(), Routing::PerChannel);
    EXPECT_EQ(propertyOwner.changes, 2);
    EXPECT_FLOAT_EQ(left.target(), -1.0f);
    EXPECT_FLOAT_EQ(right.target(), -1.0f);

    // Without a table the index itself is the value.
    ToggleFloatPluginParameter<int> steps(&owner, "Steps");
    steps.setIndexRange(0, 1, 0);
    steps.bind(&left);
    steps.applyToEngine(1.0f);
    EXPECT_FLOAT_EQ(left.target(), 1.0f);
}
