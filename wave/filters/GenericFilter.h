#pragma once

#include "core/Property.h"
#include "wave/FloatParameterSource.h"
#include "wave/Producer.h"

class StateVariableFilter;

// The graph node that wraps a filter: it owns the filter's control inputs (cut-off as log2 Hz, peak
// 0..1, wet amount 0..1, an optional peak multiplier), its response and slope, and the wet/dry mix.
// The filtering itself is done by a filter unit of its own or by a group processor that filters up
// to four clients at once, one per vector lane.
class GenericFilter : public wave::Filter {
public:
    enum Response { LowPass = 0, HighPass = 1, BandPass = 2 };
    enum Slope { Slope12 = 1, Slope24 = 2, Slope48 = 3 };

    // A filter algorithm processing one signal.
    class FilterUnit {
    public:
        FilterUnit() : response(nullptr, LowPass), slope(nullptr, Slope12) {}
        virtual ~FilterUnit() = default;
        FilterUnit(const FilterUnit&) = delete;
        FilterUnit& operator=(const FilterUnit&) = delete;

        // Filters count samples of input into output. frequency and peak are per-sample blocks;
        // peakMultiplier may be null; constant tells that frequency and peak are constant blocks.
        // Audio thread. Never blocks or allocates.
        virtual void process(const float* input, float* output, const float* frequency, const float* peak,
                             const float* peakMultiplier, int count, bool constant) = 0;
        virtual int laneCount() const { return 1; }
        virtual bool slopeSupported(int slope) const = 0;
        // Whether a silent input leaves the unit silent: its states are at rest.
        virtual bool atRest() const { return false; }
        // Audio thread.
        virtual void reset() = 0;

        Property<int> response;
        Property<int> slope;
    };

    // What a group processor gets from a client for one block.
    struct Lane {
        const float* input = nullptr;  // never null: silence when no input is connected
        const float* frequency = nullptr;
        const float* peak = nullptr;
        const float* peakMultiplier = nullptr;  // null unless the switch is on and a producer is set
        bool constant = false;                  // frequency and peak are constant blocks
        bool active = false;                    // false when the wet amount is constantly 0
        bool silent = false;                    // the input block is all zeros
    };

    explicit GenericFilter(wave::Environment& environment);
    ~GenericFilter() override;

    Property<bool> peakMultiplierEnabled;
    Property<Response> response;
    Property<Slope> slope;

    // Control connections; each defaults to an internal constant source (20, 1 and 0).
    void setFrequencyInput(wave::Producer* producer) { frequency_ = producer ? producer : &frequencySource_; }
    void setPeakInput(wave::Producer* producer) { peak_ = producer ? producer : &peakSource_; }
    void setWetInput(wave::Producer* producer) { wet_ = producer ? producer : &wetSource_; }
    void setPeakMultiplier(wave::Producer* producer) { peakMultiplier_ = producer; }
    FloatParameterSource& frequencySource() { return frequencySource_; }
    FloatParameterSource& peakSource() { return peakSource_; }
    FloatParameterSource& wetSource() { return wetSource_; }

    // The filter's own unit (not owned); used when the filter is in no group.
    void setUnit(FilterUnit* unit) { unit_ = unit; }
    FilterUnit* unit() const { return unit_; }
    // Group membership: joining leaves the previous group first. Audio thread or set-up; never
    // allocates.
    void joinGroup(StateVariableFilter* group);
    void leaveGroup();
    StateVariableFilter* group() const { return group_; }

    // Pulls the input and the control blocks for this block and tells whether the filter is active.
    // Called by the group for each client. Audio thread. Never blocks or allocates.
    const Lane& queryLane(int count);
    // Mixes the filtered block with the input by the wet amount of the last lane query and publishes
    // the result as this block's output, marked as produced; constant tells that every filtered
    // sample is the same. Audio thread. Never blocks or allocates.
    void applyWetDry(SampleBuffer& filtered, int count, bool constant = false);
    // Publishes the input of the last lane query as this block's output. Audio thread.
    void passThrough();
    const Lane& lastLane() const { return lane_; }

    void filter(const float* input, SampleBuffer& output, int count, int flags) override;
    void reset() override;

private:
    FloatParameterSource frequencySource_;
    FloatParameterSource wetSource_;
    FloatParameterSource peakSource_;
    wave::Producer* frequency_;
    wave::Producer* wet_;
    wave::Producer* peak_;
    wave::Producer* peakMultiplier_ = nullptr;

    Lane lane_;
    SampleBuffer* inputBuffer_ = nullptr;  // where the input samples of the last query live
    int inputFlags_ = 0;
    const float* wetBlock_ = nullptr;
    bool wetConstant_ = false;

    FilterUnit* unit_ = nullptr;
    StateVariableFilter* group_ = nullptr;
};
