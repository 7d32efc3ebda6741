#include <gtest/gtest.h>

#include <cmath>
#include <functional>
#include <memory>

#include "AudioThreadGuard.h"
#include "FakeParameterOwner.h"
#include "framework/FloatParamPluginParameter.h"
#include "framework/FloatPluginParameter.h"
#include "framework/LimFloatPropPluginParameter.h"
#include "framework/ParameterUnits.h"
#include "framework/Tapers.h"
#include "wave/Environment.h"
#include "wave/SmoothedValue.h"

namespace {

void configure(FloatPluginParameter& p, float minimum, float maximum, float defaultValue,
               const FloatPluginParameterUnit* unit = nullptr) {
    p.setRange(minimum, maximum, defaultValue);
    p.setValue(defaultValue, 0);
    p.setUnit(unit);
}

struct CountingPropertyOwner : PropertyOwner {
    int changes = 0;
    void propertyChanged(AbstractProperty*) override { ++changes; }
};

}  // namespace

TEST(FloatPluginParameterTest, RegistersWithItsOwnerInConstructionOrder) {
    FakeParameterOwner owner;
    FloatPluginParameter a(&owner, "A"), b(&owner, "B");
    EXPECT_EQ(a.index(), 0);
    EXPECT_EQ(b.index(), 1);
    EXPECT_EQ(a.kind(), AbstractPluginParameter::Continuous);
    EXPECT_TRUE(a.isNumeric());
}

TEST(FloatPluginParameterTest, SetValueClampsAndReportsOnlyRealChanges) {
    FakeParameterOwner owner;
    FloatPluginParameter p(&owner, "Mix");
    configure(p, 0.0f, 1.0f, 0.25f);
    owner.clearRecords();

    p.setValue(0.25f + 1e-8f, 0);  // within the float epsilon: dropped
    EXPECT_TRUE(owner.changes.empty());

    p.setValue(7.0f, FromHost);
    ASSERT_EQ(owner.changes.size(), 1u);
    EXPECT_EQ(owner.changes[0].index, p.index());
    EXPECT_FLOAT_EQ(owner.changes[0].value, 1.0f);
    EXPECT_EQ(owner.changes[0].flags, FromHost);

    p.setValue(-3.0f, 0);
    p.setValue(std::nanf(""), 0);  // not a number: ignored
    ASSERT_EQ(owner.changes.size(), 2u);
    EXPECT_FLOAT_EQ(p.value(), 0.0f);
}

TEST(FloatPluginParameterTest, EngineRangeMapsTheRangeAfterTheTaperAndDisplayInvertsIt) {
    FakeParameterOwner owner;
    FloatPluginParameter time(&owner, "Time");
    time.setRange(0.0f, 1.0f, 0.5f);
    time.setTaper(tapers::envelopeTime, tapers::envelopeTimeInverse);
    time.setEngineRange(0.001f, 20.0f);
    time.setUnit(&SecParameterUnit::instance());
    EXPECT_FLOAT_EQ(time.engineValue(0.0f), 0.001f);
    EXPECT_FLOAT_EQ(time.engineValue(1.0f), 20.0f);
    EXPECT_NEAR(time.engineValue(0.5f), 0.001f + 0.1f * 19.999f, 1e-5f);
    for (float p : {0.0f, 0.1f, 0.37f, 0.5f, 0.93f, 1.0f})
        EXPECT_NEAR(time.displayToPlain(time.plainToDisplay(p)), p, 1e-5f);
    EXPECT_FLOAT_EQ(time.normalizedToPlain(time.plainToNormalized(0.37f)), 0.37f);
    EXPECT_EQ(time.plainToText(1.0f), "20.000 sec");

    // A falling engine range still gives the display range in order.
    FloatPluginParameter falling(&owner, "Falling");
    falling.setRange(0.0f, 1.0f, 0.0f);
    falling.setEngineRange(10.0f, -10.0f);
    EXPECT_FLOAT_EQ(falling.displayMaximum(), 10.0f);
    EXPECT_FLOAT_EQ(falling.displayMinimum(), -10.0f);
}

TEST(FloatPluginParameterTest, TextsCarryTheUnitFormat) {
    FakeParameterOwner owner;
    struct Case {
        const FloatPluginParameterUnit* unit;
        float minimum, maximum, plain;
        const char* expected;
    };
    const Case cases[] = {
        {nullptr, 0.0f, 1.0f, 0.5f, "0.500"},
        {&HzParameterUnit::instance(), 20.0f, 20000.0f, 45.5f, "45.500 Hz"},
        {&HzParameterUnit::instance(), 20.0f, 20000.0f, 12000.0f, "12000 Hz"},
        {&MsParameterUnit::instance(), 5.0f, 5000.0f, 250.0f, "250.000 ms"},
        {&SecParameterUnit::instance(), 0.0f, 10.0f, 2.5f, "2.500 sec"},
        {&DBParameterUnit::instance(), -24.0f, 24.0f, 3.0f, "+3.00 dB"},
        {&DBParameterUnit::instance(), -24.0f, 24.0f, -0.0f, "0.00 dB"},
        {&DBRangeParameterUnit::instance(), 0.0f, 48.0f, 12.5f, "12.50 dB"},
        {&OctavesParameterUnit::instance(), -2.0f, 2.0f, 0.5f, "6.000 semitones"},
        {&PercentParameterUnit::instance(), 0.0f, 100.0f, 12.344f, "12.34 %"},
    };
    for (const Case& c : cases) {
        FloatPluginParameter p(&owner, "P");
        configure(p, c.minimum, c.maximum, c.minimum, c.unit);
        EXPECT_EQ(p.plainToText(c.plain), c.expected);
    }

    // Exponential frequencies: the engine works in octaves of hertz, the display in hertz.
    FloatPluginParameter cutoff(&owner, "Cutoff");
    configure(cutoff, 0.0f, 1.0f, 0.0f, &ExpFreqParameterUnit::instance());
    cutoff.setEngineRange(std::log2(20.0f), std::log2(20480.0f));
    EXPECT_EQ(cutoff.plainToText(0.0f), "20.000 Hz");
    EXPECT_EQ(cutoff.plainToText(0.5f), "640.00 Hz");
    EXPECT_EQ(cutoff.plainToText(1.0f), "20480 Hz");
}

TEST(FloatPluginParameterTest, TypedTextIsReadWithUnitsPercentAndNegativeRanges) {
    FakeParameterOwner owner;
    struct Case {
        const FloatPluginParameterUnit* unit;
        float minimum, maximum;
        const char* text;
        bool accepted;
        float expected;
    };
    const FloatPluginParameterUnit* hz = &HzParameterUnit::instance();
    const FloatPluginParameterUnit* db = &DBParameterUnit::instance();
    const Case cases[] = {
        {nullptr, 0.0f, 1.0f, "50%", true, 0.5f},
        {nullptr, 0.0f, 1.0f, "  0.25", true, 0.25f},
        {nullptr, 0.0f, 1.0f, "250 %", true, 1.0f},  // clamped
        {nullptr, 0.0f, 1.0f, "0.3 ms", false, 0.0f},
        {nullptr, 0.0f, 1.0f, "abc", false, 0.0f},
        {nullptr, 0.0f, 1.0f, "", false, 0.0f},
        {nullptr, 0.0f, 1.0f, "nan", false, 0.0f},
        {&PercentParameterUnit::instance(), 0.0f, 100.0f, "50%", true, 50.0f},
        {&PercentParameterUnit::instance(), 0.0f, 100.0f, "50 %", true, 50.0f},
        {hz, 20.0f, 20000.0f, "2k", true, 2000.0f},
        {hz, 20.0f, 20000.0f, "2 kHz", true, 2000.0f},
        {hz, 20.0f, 20000.0f, "2 KHZ", true, 2000.0f},
        {hz, 20.0f, 20000.0f, "440 hz and more", true, 440.0f},
        {hz, 20.0f, 20000.0f, "99999", true, 20000.0f},
        {hz, 20.0f, 20000.0f, "-5 Hz", true, 20.0f},
        {hz, 20.0f, 20000.0f, "2 MHz", false, 0.0f},
        {db, -60.0f, 0.0f, "6", true, -6.0f},
        {db, -60.0f, 0.0f, "-6 dB", true, -6.0f},
        {db, -60.0f, 0.0f, "-INF dB", true, -60.0f},
        {db, -24.0f, 24.0f, "2x", true, 6.0206f},
        {db, -24.0f, 24.0f, "2*", true, 6.0206f},
        {db, -24.0f, 24.0f, "0.5 X", true, -6.0206f},
        {&MsParameterUnit::instance(), 5.0f, 5000.0f, "1.5 sec", true, 1500.0f},
        {&MsParameterUnit::instance(), 5.0f, 5000.0f, "2s", true, 2000.0f},
        {&SecParameterUnit::instance(), 0.0f, 10.0f, "250 ms", true, 0.25f},
        {&OctavesParameterUnit::instance(), -2.0f, 2.0f, "1 oct", true, 1.0f},
        {&OctavesParameterUnit::instance(), -2.0f, 2.0f, "12", true, 1.0f},
        {&OctavesParameterUnit::instance(), -2.0f, 2.0f, "-600 cents", true, -0.5f},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.text);
        FloatPluginParameter p(&owner, "P");
        configure(p, c.minimum, c.maximum, c.minimum, c.unit);
        float plain = 12345.0f;
        EXPECT_EQ(p.textToPlain(c.text, plain), c.accepted);
        EXPECT_NEAR(plain, c.accepted ? c.expected : p.value(), 1e-3f);
    }

    // Without a unit, a suffix must be the label itself.
    FloatPluginParameter ratio(&owner, "Ratio");
    configure(ratio, 1.0f, 20.0f, 1.0f);
    ratio.setUnitLabel(":1");
    float plain = 0.0f;
    EXPECT_TRUE(ratio.textToPlain("4 :1", plain));
    EXPECT_FLOAT_EQ(plain, 4.0f);
    EXPECT_FALSE(ratio.textToPlain("4 x", plain));
}

// Every continuous class with every unit: the text of a value reads back as a value with the same
// text, close to the original, over a sweep of the whole range.
TEST(FloatPluginParameterTest, TextRoundTripHoldsForEveryClassAndUnit) {
    FakeParameterOwner owner;
    struct Setup {
        const char* name;
        std::function<void(FloatPluginParameter&)> apply;
    };
    const Setup setups[] = {
        {"plain", [](FloatPluginParameter& p) { configure(p, -1.0f, 1.0f, 0.0f); }},
        {"hertz",
         [](FloatPluginParameter& p) {
             configure(p, 20.0f, 20000.0f, 440.0f, &HzParameterUnit::instance());
         }},
        {"exp-hertz",
         [](FloatPluginParameter& p) {
             configure(p, 0.0f, 1.0f, 0.5f, &ExpFreqParameterUnit::instance());
             p.setEngineRange(std::log2(16.0f), std::log2(21000.0f));
         }},
        {"ms",
         [](FloatPluginParameter& p) { configure(p, 5.0f, 5000.0f, 250.0f, &MsParameterUnit::instance()); }},
        {"sec",
         [](FloatPluginParameter& p) {
             configure(p, 0.0f, 1.0f, 0.2f, &SecParameterUnit::instance());
             p.setTaper(tapers::envelopeTime, tapers::envelopeTimeInverse);
             p.setEngineRange(0.001f, 30.0f);
         }},
        {"gain-dB",
         [](FloatPluginParameter& p) {
             configure(p, 0.0f, 1.0f, 0.8f, &DBParameterUnit::instance());
             p.setTaper(tapers::gain, tapers::gainInverse);
             p.setDisplayFunctions(tapers::ratioToDecibel, tapers::decibelToRatio);
         }},
        {"dB-to-zero",
         [](FloatPluginParameter& p) { configure(p, -60.0f, 0.0f, -6.0f, &DBParameterUnit::instance()); }},
        {"dB-range",
         [](FloatPluginParameter& p) {
             configure(p, 0.0f, 48.0f, 12.0f, &DBRangeParameterUnit::instance());
         }},
        {"octaves",
         [](FloatPluginParameter& p) { configure(p, -2.0f, 2.0f, 0.0f, &OctavesParameterUnit::instance()); }},
        {"percent",
         [](FloatPluginParameter& p) {
             configure(p, 0.0f, 100.0f, 50.0f, &PercentParameterUnit::instance());
         }},
        {"level-percent",
         [](FloatPluginParameter& p) {
             configure(p, -1.0f, 1.0f, 0.0f, &PercentParameterUnit::instance());
             p.setTaper(tapers::level, tapers::levelInverse);
             p.setEngineRange(-100.0f, 100.0f);
         }},
    };
    std::vector<std::unique_ptr<FloatPluginParameter>> parameters;
    for (const Setup& setup : setups) {
        parameters.clear();
        parameters.push_back(std::make_unique<FloatPluginParameter>(&owner, setup.name));
        parameters.push_back(std::make_unique<FloatParamPluginParameter>(&owner, setup.name));
        parameters.push_back(std::make_unique<LimFloatPropPluginParameter>(&owner, setup.name));
        for (auto& p : parameters) {
            setup.apply(*p);
            for (int i = 0; i <= 400; ++i) {
                float v = p->normalizedToPlain(float(i) / 400.0f);
                std::string text = p->plainToText(v);
                float back = 0.0f;
                ASSERT_TRUE(p->textToPlain(text, back)) << setup.name << ": " << text;
                EXPECT_EQ(p->plainToText(back), text) << setup.name << " at " << v;
                EXPECT_NEAR(p->plainToNormalized(back), p->plainToNormalized(v), 2e-3f)
                    << setup.name << ": " << text;
            }
        }
    }
}

TEST(FloatPluginParameterTest, ApplyToEngineRetargetsBoundValuesWithoutAllocating) {
    FakeParameterOwner owner;
    wave::Environment environment(128);
    SmoothedValue left(environment, 0.0f), right(environment, 0.0f);
    left.setRange(0.0f, 2000.0f);
    right.setRange(0.0f, 2000.0f);
    FloatParamPluginParameter time(&owner, "Time");
    configure(time, 0.0f, 1.0f, 0.0f, &MsParameterUnit::instance());
    time.setEngineRange(5.0f, 1005.0f);
    EXPECT_EQ(time.bind(&left), 0);
    EXPECT_EQ(time.bind(&right), 1);

    CountingPropertyOwner propertyOwner;
    LimitedProperty<float> narrow(&propertyOwner, 0.0f, 0.0f, 100.0f);
    LimitedProperty<float> wide(&propertyOwner, 0.0f, 0.0f, 2000.0f);
    LimFloatPropPluginParameter peak(&owner, "Peak");
    configure(peak, 0.0f, 1.0f, 0.0f);
    peak.setEngineRange(0.0f, 1000.0f);
    peak.bind(&narrow);
    peak.bind(&wide);

    {
        AudioThreadGuard guard;
        time.applyToEngine(0.5f);
        peak.applyToEngine(0.5f);
        peak.applyToEngine(0.5f);  // unchanged: the owner hears nothing more
        EXPECT_EQ(guard.allocations(), 0);
        if (AudioThreadGuard::countsLocks()) {
            EXPECT_EQ(guard.locks(), 0);
        }
    }
    EXPECT_FLOAT_EQ(left.target(), 505.0f);
    EXPECT_FLOAT_EQ(right.target(), 505.0f);
    EXPECT_FLOAT_EQ(narrow.get(), 100.0f);  // clamped to its own limits
    EXPECT_FLOAT_EQ(wide.get(), 500.0f);
    EXPECT_EQ(propertyOwner.changes, 2);
}
