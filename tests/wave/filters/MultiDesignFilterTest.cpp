#include "wave/filters/MultiDesignFilter.h"

#include <gtest/gtest.h>

#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <memory>
#include <random>

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

TEST(MultiDesignFilter, TheEmbeddedCharacteristicsAndCleanMakeElevenEntries) {
    Slot slot(MultiDesignFilter::Style::createCharacteristics());
    ASSERT_EQ(slot.characteristics->size(), 10);
    EXPECT_EQ(slot.filters[0]->entryCount(), 11);
    EXPECT_FLOAT_EQ(slot.characteristics->at(0)->inputGain(), 1.8f);
    EXPECT_FLOAT_EQ(slot.characteristics->at(7)->inputGain(), 1.4f);
    EXPECT_FLOAT_EQ(slot.characteristics->at(7)->frequencyLow.get(), 3.06152f);  // "Hard" is Monopoly
    slot.select(10);
    EXPECT_EQ(slot.unit->group().clientCount(), 0);
    slot.select(7);
    EXPECT_EQ(slot.unit->group().characteristic(), slot.characteristics->at(7));
}

// Every characteristic fed with full-scale noise over a grid of peaks, cut-offs and sample rates:
// the output stays finite and bounded. The grid is sampled so the default run takes a few seconds
// (one point in three, half a second of audio each); LORIMANE_FULL_SOAK=1 runs every point for 10 s.
TEST(MultiDesignFilter, StabilitySoakWithFullScaleNoise) {
    const bool full = std::getenv("LORIMANE_FULL_SOAK") != nullptr;
    auto list = MultiDesignFilter::Style::createCharacteristics();
    const float rates[] = {44100.0f, 48000.0f, 88200.0f, 96000.0f, 192000.0f};
    const float peaks[] = {0.0f, 0.25f, 0.5f, 0.75f, 0.9f, 1.0f};
    const float cutoffs[] = {2.2666f, 5.0f, 8.0f, 10.0f, 12.0f, 14.0f, 16.2064f, 18.0f};
    std::mt19937 random(11);
    std::uniform_real_distribution<float> noise(-1.0f, 1.0f);
    int point = 0;
    double worstClean = 0.0;
    for (int characteristic = 0; characteristic < 11; ++characteristic) {
        for (float rate : rates) {
            for (float peak : peaks) {
                for (float cutoff : cutoffs) {
                    if (!full && point++ % 3 != 0) continue;
                    // A designed filter's output is bounded by its clip stage: the output gain
                    // 1 / (g * d) with d at least 0.1, times the clip curve's largest value.
                    double bound = 1e8;
                    if (characteristic < 10) {
                        const DesignFilter::Style& style = *list->at(characteristic);
                        const auto& clip = style.clipTable();
                        bound = 10.0 / style.inputGain() *
                                std::max(std::fabs(clip.lookup(40.0f)), std::fabs(clip.lookup(-40.0f))) * 1.001;
                    }
                    wave::Environment env(kBlock);
                    env.setSampleRate(rate);
                    MultiDesignFilter::ParallelUnit unit(env, *list);
                    filtertest::BlockSource inputs[2] = {filtertest::BlockSource(env), filtertest::BlockSource(env)};
                    std::unique_ptr<MultiDesignFilter> filters[2];
                    for (int c = 0; c < 2; ++c) {
                        filters[c] = std::make_unique<MultiDesignFilter>(unit);
                        filters[c]->addOwnUnit(std::make_unique<BiQuadFilter>(env));
                        filters[c]->setInput(&inputs[c]);
                        filters[c]->characteristic.set(characteristic);
                        filters[c]->frequencySource().rampTo(cutoff, 0.0f);
                        filters[c]->peakSource().rampTo(peak, 0.0f);
                        filters[c]->response.set(static_cast<GenericFilter::Response>((point + c) % 3));
                        filters[c]->slope.set(static_cast<GenericFilter::Slope>(1 + (point / 3 + c) % 3));
                    }
                    int blocks = static_cast<int>(rate * (full ? 10.0f : 0.5f)) / kBlock;
                    for (int b = 0; b < blocks; ++b) {
                        for (auto& in : inputs) {
                            for (float& s : in.block) s = noise(random);
                            in.constant = false;
                        }
                        env.advanceCycle();
                        AudioThreadGuard guard;
                        const float* out0 = filters[0]->pull(kBlock, 0);
                        const float* out1 = filters[1]->pull(kBlock, 0);
                        ASSERT_EQ(guard.allocations(), 0);
                        env.process(kBlock, 0);
                        for (int i = 0; i < kBlock; ++i) {
                            ASSERT_TRUE(std::isfinite(out0[i]) && std::isfinite(out1[i]))
                                << "characteristic " << characteristic << " rate " << rate << " peak " << peak
                                << " cutoff " << cutoff;
                            double level = std::max(std::fabs(out0[i]), std::fabs(out1[i]));
                            ASSERT_LE(level, bound) << "characteristic " << characteristic << " rate " << rate
                                                    << " peak " << peak << " cutoff " << cutoff;
                            if (characteristic == 10) worstClean = std::max(worstClean, level);
                        }
                    }
                }
            }
        }
    }
    // "Clean" has no clip stage: at peak 1 its four sections of Q = 50 ring loudly but stay finite.
    std::printf("largest output of Clean %.1f\n", worstClean);
}
