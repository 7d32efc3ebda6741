#pragma once

#include <array>
#include <vector>

#include "wave/FunctionTable.h"
#include "wave/Producer.h"
#include "wave/filters/GenericFilter.h"

// The resonant filter core: a cascade of one, two or four two-pole state-variable stages, each run
// three times per sample (threefold oversampling by repetition), followed by a tabulated soft clip.
// As a group processor it filters up to four registered clients at once, one per lane of a four-wide
// vector; as a filter unit it filters one signal. Coefficients come from shared function tables and
// are recomputed at most every 32 samples unless the cut-off moves by more than a tenth of an octave.
class StateVariableFilter : public GenericFilter::FilterUnit {
public:
    static constexpr int kLanes = 4;
    static constexpr int kMaxStages = 4;
    static constexpr int kMaxClients = 8;
    static constexpr int kSegmentLength = 32;
    static constexpr float kSegmentFrequencyStep = 0.1f;  // octaves

    // f(x) = min(2 sin((pi / 3) min(2^x, 1)), 0.95), x the log2 of cut-off over sample rate.
    class FreqFunction : public FunctionTableFunction {
    public:
        double evaluate(double x) const override;
    };
    // q(v) = 2 (1 - v^(1/4)): 2 at v = 0 (critically damped), negative above 1 (self-oscillation).
    class DampFunction : public FunctionTableFunction {
    public:
        double evaluate(double v) const override;
    };
    // The largest damping that keeps a stage with frequency coefficient f stable.
    class DampLimitFunction : public FunctionTableFunction {
    public:
        double evaluate(double f) const override;
    };

    // The soft clip curve with its shape s: atan(x) below 0, atan(s x) / s from 0 on.
    class ClipTable {
    public:
        class ClipFunction : public FunctionTableFunction {
        public:
            explicit ClipFunction(float shape) : shape_(shape) {}
            double evaluate(double x) const override;

        private:
            float shape_;
        };

        explicit ClipTable(float shape = 1.0f) { setShape(shape); }
        // Rebuilds the table; allocates. Set-up thread.
        void setShape(float shape);
        float shape() const { return shape_; }
        // The interpolated table is off by a hair at 0; taking that off keeps silence silent (no
        // DC offset in the output).
        float lookup(float x) const { return table_.clipLookup(x) - zero_; }
        float zero() const { return zero_; }
        const FunctionTable& table() const { return table_; }

    private:
        float shape_ = 1.0f;
        float zero_ = 0.0f;
        FunctionTable table_;
    };

    // The tables shared by every filter, built by the first filter constructed and read-only after.
    static const FunctionTable& freqTable();
    static const FunctionTable& dampTable();
    static const FunctionTable& dampLimitTable();
    static const ClipTable& defaultClipTable();

    // Coefficients of one lane for one run of samples.
    struct Coefficients {
        float f;                           // frequency coefficient
        std::array<float, kMaxStages> q;   // damping per stage
        float k;                           // cubic coefficient of stage one
        float d;                           // drive into the clip stage
        float gOut;                        // output gain after the clip stage
    };

    // clipTable: null for the shared table of shape 1. Allocates every buffer. Set-up thread.
    StateVariableFilter(wave::Environment& environment, const ClipTable* clipTable = nullptr);
    ~StateVariableFilter() override;

    // One signal, with the offsets against denormals. Audio thread. Never blocks or allocates.
    void process(const float* input, float* output, const float* frequency, const float* peak,
                 const float* peakMultiplier, int count, bool constant) override;
    bool slopeSupported(int slope) const override { return slope != 0; }
    // Clears every stage state of every lane. Audio thread.
    void reset() override;

    // Filters every registered client for this block and leaves each client's output marked as
    // produced. Audio thread. Never blocks or allocates.
    virtual void processGroup(int count);
    // The characteristic-dependent part of the coefficients: damping parameter v, cubic coefficient
    // k and drive d for a cut-off (log2 Hz) and a peak. Audio thread.
    virtual void stageOneParameters(float frequency, float peak, float& v, float& k, float& d) const;
    virtual float inputGain() const { return 1.0f; }

    // Clients take lanes in registration order; a client beyond the fourth has no lane and passes
    // its input through. Never allocates.
    void addClient(GenericFilter* client);
    void removeClient(GenericFilter* client);
    int clientCount() const { return clientCount_; }
    GenericFilter* client(int i) const { return clients_[i]; }

    // The coefficients for a cut-off and peak at the current sample rate. Audio thread.
    Coefficients coefficients(float frequency, float peak);
    // What the characteristic-dependent coefficients are made from; held coefficients are kept only
    // while it stays the same. Audio thread.
    virtual const void* characteristicKey() const { return nullptr; }
    int stageCount() const;

    // The clip stage runs eight wide where the processor has AVX2 (the default there); tests turn it
    // off to compare with the four-wide path. Set-up thread, while no filter processes.
    static void useEightWide(bool on);
    static bool eightWide() { return eightWide_; }

    // Inspection for tests and displays.
    float lowPassState(int stage, int lane) const { return lp_[stage][lane]; }
    float bandPassState(int stage, int lane) const { return bp_[stage][lane]; }
    int segmentCount() const { return segmentCount_; }
    const int* segmentLengths() const { return segments_; }
    const ClipTable& clipTable() const { return *clipTable_; }

private:
    // The coefficients of the four lanes for one run of samples, laid out for vector loads.
    struct GroupCoefficients {
        alignas(16) float f[kLanes];
        alignas(16) float q[kMaxStages][kLanes];
        alignas(16) float k[kLanes];
        alignas(16) float d[kLanes];
        alignas(16) float gOut[kLanes];
    };

    // The last coefficients of one lane and what they were computed from: a constant cut-off and
    // peak reuse them instead of looking them up again every block.
    struct HeldCoefficients {
        float frequency = 0.0f;
        float peak = 0.0f;
        float rate = -1.0f;
        const void* characteristic = nullptr;
        Coefficients c{};
    };
    const Coefficients& heldCoefficients(HeldCoefficients& held, float frequency, float peak);

    float log2SampleRate();
    // Splits count samples into runs that share coefficients; answers the number of runs.
    int buildSegments(const float* const* frequency, int lanes, int count, bool wholeBlock);
    template <int Response, bool First>
    void runStageFourLanes(int stage);
    template <int Response, bool First>
    void runStageOneLane(int stage, const float* input, float* output);
    void clipFourLanes(int count);
    void runStagesFourLanes(int stages, int response);
    void settleQuietLanes(int count);
    // With silent inputs and one run of coefficients: whether the states are at a fixed point, the
    // first sample of the block then left in the interleaved buffer.
    bool restsInSilence(int stages, int response);

    wave::Environment* environment_;
    const ClipTable* clipTable_;
    GenericFilter* clients_[kMaxClients] = {};
    int clientCount_ = 0;

    SampleBuffer laneOutput_[kLanes];
    SampleBuffer interleaved_;  // the four lanes side by side, sample by sample
    std::vector<GroupCoefficients> groupCoefficients_;
    std::vector<Coefficients> laneCoefficients_;
    std::vector<int> segmentStorage_;
    int* segments_ = nullptr;
    int segmentCount_ = 0;

    alignas(16) float lp_[kMaxStages][kLanes] = {};
    alignas(16) float bp_[kMaxStages][kLanes] = {};
    alignas(16) float gain_[kLanes] = {};
    HeldCoefficients held_[kLanes];

    static bool eightWide_;

    float cachedRate_ = -1.0f;
    float cachedLog2_ = 0.0f;
};
