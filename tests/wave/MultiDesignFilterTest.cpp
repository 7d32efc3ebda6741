#include "wave/filters/MultiDesignFilter.h"

#include <gtest/gtest.h>

#include <cmath>
#include <memory>

#include "AudioThreadGuard.h"
#include "FilterTestSupport.h"
#include "wave/filters/BiQuadFilter.h"

namespace {
constexpr int kBlock = 64;

// One filter slot: two channel filters sharing a parallel unit, each with a "Clean" biquad.
struct Slot {
    explicit Slot(std::unique_ptr<MultiDesignFilter::Style> list) : env(kBlock), characteristics(std::move(list)) {
        env.setSampleRate(48000.0f);
        unit = std::make_unique<MultiDesignFilter::ParallelUnit>(env, *characteristics);
        for (int c = 0; c < 2; ++c) {
            inputs[c] = std::make_unique<filtertest::BlockSource>(env);
            filters[c] = std::make_unique<MultiDesignFilter>(*unit);
            filters[c]->addOwnUnit(std::make_unique<BiQuadFilter>(env));
            filters[c]->setInput(inputs[c].get());
        }
    }
    void select(int characteristic) {
        for (auto& f : filters) f->characteristic.set(characteristic);
    }
    void run(int blocks = 1) {
        for (int b = 0; b < blocks; ++b) {
            for (auto& in : inputs) {
                for (int i = 0; i < kBlock; ++i) in->block[i] = std::sin(0.3f * (b * kBlock + i));
                in->constant = false;
            }
            env.advanceCycle();
            for (auto& f : filters) outputs[&f - filters] = f->pull(kBlock, 0);
            env.process(kBlock, 0);
        }
    }
    wave::Environment env;
    std::unique_ptr<MultiDesignFilter::Style> characteristics;
    std::unique_ptr<MultiDesignFilter::ParallelUnit> unit;
    std::unique_ptr<filtertest::BlockSource> inputs[2];
    std::unique_ptr<MultiDesignFilter> filters[2];
    const float* outputs[2] = {};
};

std::unique_ptr<MultiDesignFilter::Style> defaultList(int count) {
    auto list = std::make_unique<MultiDesignFilter::Style>();
    for (int i = 0; i < count; ++i) list->add(std::make_unique<DesignFilter::Style>("", 1.0f + i));
    return list;
}
}  // namespace

TEST(MultiDesignFilter, CharacteristicSwitchingMovesBothChannelFiltersOfASlot) {
    Slot slot(defaultList(3));
    DesignFilter& group = slot.unit->group();
    ASSERT_EQ(slot.filters[0]->entryCount(), 4);  // three characteristics and "Clean"
    EXPECT_EQ(group.clientCount(), 2);
    EXPECT_EQ(group.characteristic(), slot.characteristics->at(0));
    slot.run(4);

    AudioThreadGuard guard;
    slot.select(3);  // "Clean": both leave the group for their own biquads
    EXPECT_EQ(group.clientCount(), 0);
    for (auto& f : slot.filters) {
        EXPECT_EQ(f->group(), nullptr);
        EXPECT_EQ(f->unit(), f->entry(3).unit);
    }
    slot.run(2);
    auto* biquad = static_cast<const BiQuadFilter*>(slot.filters[1]->unit());
    EXPECT_NE(biquad->section(0).y1, 0.0f);  // the biquad did the filtering

    slot.select(2);  // back into the group, with the third characteristic's tables
    EXPECT_EQ(group.clientCount(), 2);
    EXPECT_EQ(group.client(0), slot.filters[0].get());
    EXPECT_EQ(group.client(1), slot.filters[1].get());
    EXPECT_EQ(group.characteristic(), slot.characteristics->at(2));
    EXPECT_FLOAT_EQ(group.inputGain(), 3.0f);
    EXPECT_EQ(&group.clipTable(), &slot.characteristics->at(0)->clipTable());  // kept from construction

    // Switching between characteristics of the group keeps its filter states.
    slot.run(2);
    float state = group.lowPassState(0, 0);
    slot.select(1);
    EXPECT_EQ(group.lowPassState(0, 0), state);
    slot.select(99);  // no such entry: ignored
    EXPECT_EQ(group.characteristic(), slot.characteristics->at(1));
    slot.run(1);
    filtertest::expectRealTimeSafe(guard);
}
