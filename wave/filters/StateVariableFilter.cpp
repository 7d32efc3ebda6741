#include "wave/filters/StateVariableFilter.h"

#include <immintrin.h>

#include <algorithm>
#include <cmath>
#include <cstring>
#include <numbers>

namespace {
constexpr float kDenormalOffset = 1e-24f;
// Below this level (-138 dB) a group lane with nothing louder at its input is brought to rest.
constexpr float kRestLevel = 1.1920929e-7f;
constexpr float kBandPassLimit = 1.0f;
constexpr float kLowPassLimit = 10.0f;
// Damping multipliers of the extra stages: the first extra stage is the least damped of them.
constexpr float kExtraStageMultiplier[StateVariableFilter::kMaxStages] = {0.0f, 3.0f, 2.0f, 1.0f};
constexpr float kExtraStageDamping = 0.035f;

struct SharedTables {
    FunctionTable freq;
    FunctionTable damp;
    FunctionTable dampLimit;
    StateVariableFilter::ClipTable clip{1.0f};

    SharedTables() {
        freq.build(8192, StateVariableFilter::FreqFunction(), -30.0f, 20.0f);
        damp.build(4096, StateVariableFilter::DampFunction(), 0.0f, 5.0f);
        dampLimit.build(4906, StateVariableFilter::DampLimitFunction(), 0.0f, 1.0f);
    }
};

// Built on first use, which is the first filter's construction; thread-safe by the language.
const SharedTables& shared() {
    static const SharedTables tables;
    return tables;
}

// Keeps NaN out of the states: fmax/fmin answer the limit when the value is NaN.
inline float clampState(float v, float limit) { return std::fmin(std::fmax(v, -limit), limit); }
}  // namespace

double StateVariableFilter::FreqFunction::evaluate(double x) const {
    float ratio = std::exp(static_cast<float>(std::numbers::ln2) * static_cast<float>(x));
    double f = 2.0 * std::sin((std::numbers::pi / 3.0) * std::min(static_cast<double>(ratio), 1.0));
    return std::min(f, 0.95);
}

double StateVariableFilter::DampFunction::evaluate(double v) const {
    return 2.0 * (1.0 - std::pow(std::max(v, 0.0), 0.25));
}

double StateVariableFilter::DampLimitFunction::evaluate(double f) const {
    if (f > 0.01) {
        double limit = 2.0 / f - f;
        if (limit <= 2.0) return limit;
    }
    return 2.0;
}

double StateVariableFilter::ClipTable::ClipFunction::evaluate(double x) const {
    if (x < 0.0) return std::atan(x);
    return std::atan(shape_ * x) / shape_;
}

void StateVariableFilter::ClipTable::setShape(float shape) {
    shape_ = shape;
    table_.build(8192, ClipFunction(shape), -40.0f, 40.0f);
    zero_ = table_.clipLookup(0.0f);
}

const FunctionTable& StateVariableFilter::freqTable() { return shared().freq; }
const FunctionTable& StateVariableFilter::dampTable() { return shared().damp; }
const FunctionTable& StateVariableFilter::dampLimitTable() { return shared().dampLimit; }
const StateVariableFilter::ClipTable& StateVariableFilter::defaultClipTable() { return shared().clip; }

StateVariableFilter::StateVariableFilter(wave::Environment& environment, const ClipTable* clipTable)
    : environment_(&environment), clipTable_(clipTable ? clipTable : &defaultClipTable()) {
    shared();
    int block = environment.maxBlockLength();
    for (SampleBuffer& b : laneOutput_) b.allocate(block);
    interleaved_.allocate(block * kLanes);
    groupCoefficients_.resize(block + 1);
    laneCoefficients_.resize(block + 1);
    segmentStorage_.resize(block + 1);
    segments_ = segmentStorage_.data();
    reset();
}

StateVariableFilter::~StateVariableFilter() {
    for (int i = clientCount_ - 1; i >= 0; --i) clients_[i]->leaveGroup();
}

void StateVariableFilter::reset() {
    for (int s = 0; s < kMaxStages; ++s) {
        for (int l = 0; l < kLanes; ++l) {
            lp_[s][l] = 0.0f;
            bp_[s][l] = 0.0f;
        }
    }
}

void StateVariableFilter::addClient(GenericFilter* client) {
    for (int i = 0; i < clientCount_; ++i)
        if (clients_[i] == client) return;
    if (clientCount_ < kMaxClients) clients_[clientCount_++] = client;
}

void StateVariableFilter::removeClient(GenericFilter* client) {
    for (int i = 0; i < clientCount_; ++i) {
        if (clients_[i] != client) continue;
        for (int j = i + 1; j < clientCount_; ++j) clients_[j - 1] = clients_[j];
        clients_[--clientCount_] = nullptr;
        return;
    }
}

void StateVariableFilter::stageOneParameters(float, float peak, float& v, float& k, float& d) const {
    v = std::min(peak, 0.999f);
    k = 0.0f;
    d = 0.1f;
}

float StateVariableFilter::log2SampleRate() {
    float rate = environment_->sampleRate();
    if (rate != cachedRate_) {
        cachedRate_ = rate;
        cachedLog2_ = std::log(rate) / static_cast<float>(std::numbers::ln2);
    }
    return cachedLog2_;
}

int StateVariableFilter::stageCount() const {
    int s = slope.get();
    return s == 1 ? 1 : s == 2 ? 2 : 4;
}

StateVariableFilter::Coefficients StateVariableFilter::coefficients(float frequency, float peak) {
    Coefficients c;
    float v, k, d;
    stageOneParameters(frequency, peak, v, k, d);
    float gd = inputGain() * d;
    c.gOut = std::fabs(gd) > 1e-12f ? 1.0f / gd : 0.0f;
    c.k = k;
    c.d = d;
    c.f = freqTable().lookup(frequency - log2SampleRate());
    float limit = dampLimitTable().lookup(c.f);
    c.q[0] = std::min(dampTable().lookup(v), limit);
    for (int s = 1; s < kMaxStages; ++s)
        c.q[s] = std::min(dampTable().lookup(kExtraStageMultiplier[s] * peak * kExtraStageDamping), limit);
    return c;
}

const StateVariableFilter::Coefficients& StateVariableFilter::heldCoefficients(HeldCoefficients& held,
                                                                             float frequency, float peak) {
    float rate = environment_->sampleRate();
    const void* characteristic = characteristicKey();
    if (frequency != held.frequency || peak != held.peak || rate != held.rate ||
        characteristic != held.characteristic) {
        held.c = coefficients(frequency, peak);
        held.frequency = frequency;
        held.peak = peak;
        held.rate = rate;
        held.characteristic = characteristic;
    }
    return held.c;
}

int StateVariableFilter::buildSegments(const float* const* frequency, int lanes, int count, bool wholeBlock) {
    segmentCount_ = 0;
    if (count <= 0) return 0;
    if (wholeBlock) {
        segments_[segmentCount_++] = count;
        return segmentCount_;
    }
    float base[kLanes] = {};
    for (int l = 0; l < lanes; ++l)
        if (frequency[l]) base[l] = frequency[l][0];
    int start = 0;
    for (int i = 1; i < count; ++i) {
        bool split = i % kSegmentLength == 0;
        for (int l = 0; l < lanes && !split; ++l)
            if (frequency[l] && std::fabs(frequency[l][i] - base[l]) > kSegmentFrequencyStep) split = true;
        if (!split) continue;
        segments_[segmentCount_++] = i - start;
        start = i;
        for (int l = 0; l < lanes; ++l)
            if (frequency[l]) base[l] = frequency[l][i];
    }
    segments_[segmentCount_++] = count - start;
    return segmentCount_;
}

// ---- one lane -------------------------------------------------------------------------------

template <int Response, bool First>
void StateVariableFilter::runStageOneLane(int stage, const float* input, float* output) {
    float lp = lp_[stage][0];
    float bp = bp_[stage][0];
    const float g = First ? inputGain() : 1.0f;
    int i = 0;
    for (int s = 0; s < segmentCount_; ++s) {
        const Coefficients& c = laneCoefficients_[s];
        const float f = c.f;
        const float q = c.q[stage];
        const float k = First ? c.k : 0.0f;
        for (int end = i + segments_[s]; i < end; ++i) {
            float x = First ? g * input[i] : input[i];
            lp = lp + f * (bp - kDenormalOffset);
            bp = bp + f * (x - q * bp - lp) - (First ? k * (bp * (bp * bp)) : 0.0f);
            lp = lp + f * bp;
            bp = bp + f * (x - q * bp - lp) - (First ? k * (bp * (bp * bp)) : 0.0f);
            lp = lp + f * bp;
            float hp = x - q * bp - lp;
            bp = bp + f * hp - (First ? k * (bp * (bp * bp)) : 0.0f) + kDenormalOffset;
            bp = clampState(bp, kBandPassLimit);
            lp = clampState(lp, kLowPassLimit);
            output[i] = Response == GenericFilter::LowPass ? lp : Response == GenericFilter::HighPass ? hp : bp;
        }
    }
    lp_[stage][0] = lp;
    bp_[stage][0] = bp;
}

void StateVariableFilter::process(const float* input, float* output, const float* frequency, const float* peak,
                                  const float* peakMultiplier, int count, bool constant) {
    if (count <= 0) return;
    buildSegments(&frequency, 1, count, constant && !peakMultiplier);
    int start = 0;
    for (int s = 0; s < segmentCount_; ++s) {
        float p = peakMultiplier ? peak[start] * peakMultiplier[start] : peak[start];
        laneCoefficients_[s] = heldCoefficients(held_[0], frequency[start], p);
        start += segments_[s];
    }
    int stages = stageCount();
    int r = response.get();
    for (int stage = 0; stage < stages; ++stage) {
        const float* in = stage == 0 ? input : output;
        bool first = stage == 0;
        if (r == GenericFilter::HighPass) {
            first ? runStageOneLane<GenericFilter::HighPass, true>(stage, in, output)
                  : runStageOneLane<GenericFilter::HighPass, false>(stage, in, output);
        } else if (r == GenericFilter::BandPass) {
            first ? runStageOneLane<GenericFilter::BandPass, true>(stage, in, output)
                  : runStageOneLane<GenericFilter::BandPass, false>(stage, in, output);
        } else {
            first ? runStageOneLane<GenericFilter::LowPass, true>(stage, in, output)
                  : runStageOneLane<GenericFilter::LowPass, false>(stage, in, output);
        }
    }
    const ClipTable& clip = *clipTable_;
    int i = 0;
    for (int s = 0; s < segmentCount_; ++s) {
        const Coefficients& c = laneCoefficients_[s];
        for (int end = i + segments_[s]; i < end; ++i) output[i] = c.gOut * clip.lookup(c.d * output[i]);
    }
}

// ---- four lanes -----------------------------------------------------------------------------

template <int Response, bool First>
void StateVariableFilter::runStageFourLanes(int stage) {
    __m128 lp = _mm_load_ps(lp_[stage]);
    __m128 bp = _mm_load_ps(bp_[stage]);
    const __m128 g = _mm_load_ps(gain_);
    const __m128 bpHigh = _mm_set1_ps(kBandPassLimit);
    const __m128 bpLow = _mm_set1_ps(-kBandPassLimit);
    const __m128 lpHigh = _mm_set1_ps(kLowPassLimit);
    const __m128 lpLow = _mm_set1_ps(-kLowPassLimit);
    float* x = interleaved_.samples();
    for (int s = 0; s < segmentCount_; ++s) {
        const GroupCoefficients& c = groupCoefficients_[s];
        const __m128 f = _mm_load_ps(c.f);
        const __m128 q = _mm_load_ps(c.q[stage]);
        const __m128 k = _mm_load_ps(c.k);
        for (float* end = x + 4 * segments_[s]; x < end; x += 4) {
            __m128 in = _mm_load_ps(x);
            if (First) in = _mm_mul_ps(g, in);
            lp = _mm_add_ps(lp, _mm_mul_ps(f, bp));
            __m128 cube = First ? _mm_mul_ps(k, _mm_mul_ps(bp, _mm_mul_ps(bp, bp))) : _mm_setzero_ps();
            bp = _mm_add_ps(bp, _mm_mul_ps(f, _mm_sub_ps(_mm_sub_ps(in, _mm_mul_ps(q, bp)), lp)));
            if (First) bp = _mm_sub_ps(bp, cube);
            lp = _mm_add_ps(lp, _mm_mul_ps(f, bp));
            if (First) cube = _mm_mul_ps(k, _mm_mul_ps(bp, _mm_mul_ps(bp, bp)));
            bp = _mm_add_ps(bp, _mm_mul_ps(f, _mm_sub_ps(_mm_sub_ps(in, _mm_mul_ps(q, bp)), lp)));
            if (First) bp = _mm_sub_ps(bp, cube);
            lp = _mm_add_ps(lp, _mm_mul_ps(f, bp));
            __m128 hp = _mm_sub_ps(_mm_sub_ps(in, _mm_mul_ps(q, bp)), lp);
            if (First) cube = _mm_mul_ps(k, _mm_mul_ps(bp, _mm_mul_ps(bp, bp)));
            bp = _mm_add_ps(bp, _mm_mul_ps(f, hp));
            if (First) bp = _mm_sub_ps(bp, cube);
            // max/min answer their second operand for NaN, so the states stay finite.
            bp = _mm_min_ps(_mm_max_ps(bp, bpLow), bpHigh);
            lp = _mm_min_ps(_mm_max_ps(lp, lpLow), lpHigh);
            _mm_store_ps(x, Response == GenericFilter::LowPass ? lp : Response == GenericFilter::HighPass ? hp : bp);
        }
    }
    _mm_store_ps(lp_[stage], lp);
    _mm_store_ps(bp_[stage], bp);
}

namespace {

// The clip stage's table in the form the vector loops use.
struct ClipSetup {
    const float* values;
    float scale, fraction, lo, hi, zero;
    int offset, last;
};

// Clips n interleaved four-lane samples at x in place: y = gOut * (Clip(d * x) - Clip(0)).
void clipRunFourLanes(const ClipSetup& t, float* x, int n, const float* dLanes, const float* gOutLanes) {
    const __m128 scale = _mm_set1_ps(t.scale);
    const __m128 fraction = _mm_set1_ps(t.fraction);
    const __m128 lo = _mm_set1_ps(t.lo);
    const __m128 hi = _mm_set1_ps(t.hi);
    const __m128i offset = _mm_set1_epi32(t.offset);
    const __m128i last = _mm_set1_epi32(t.last);
    const __m128 one = _mm_set1_ps(1.0f);
    const __m128 zero = _mm_set1_ps(t.zero);
    const __m128 d = _mm_load_ps(dLanes);
    const __m128 gOut = _mm_load_ps(gOutLanes);
    alignas(16) int index[StateVariableFilter::kLanes];
    for (float* end = x + 4 * n; x < end; x += 4) {
        // The argument is kept inside the table's domain (NaN goes to the top end) before the
        // position is split into a whole index (rounded down) and a weight.
        __m128 a = _mm_max_ps(_mm_min_ps(_mm_mul_ps(d, _mm_load_ps(x)), hi), lo);
        __m128 p = _mm_sub_ps(_mm_mul_ps(a, scale), fraction);
        __m128 whole = _mm_cvtepi32_ps(_mm_cvttps_epi32(p));
        whole = _mm_sub_ps(whole, _mm_and_ps(_mm_cmpgt_ps(whole, p), one));
        __m128 w = _mm_sub_ps(p, whole);
        __m128i i = _mm_sub_epi32(_mm_cvttps_epi32(whole), offset);
        // Positions outside 0 .. N - 1 read the nearest end of the table.
        __m128i below = _mm_cmplt_epi32(i, _mm_setzero_si128());
        __m128i above = _mm_cmpgt_epi32(i, last);
        i = _mm_andnot_si128(below, i);
        w = _mm_andnot_ps(_mm_castsi128_ps(below), w);
        i = _mm_or_si128(_mm_andnot_si128(above, i), _mm_and_si128(above, last));
        w = _mm_andnot_ps(_mm_castsi128_ps(above), w);
        _mm_store_si128(reinterpret_cast<__m128i*>(index), i);
        // Each lane's two neighbouring table entries in one 64-bit load (the table carries a copy
        // of its last entry, so the top position has a right neighbour), regrouped into the left
        // entries and the right entries of the four lanes.
        const __m128 none = _mm_setzero_ps();
        __m128 p0 = _mm_loadl_pi(none, reinterpret_cast<const __m64*>(t.values + index[0]));
        __m128 p1 = _mm_loadl_pi(none, reinterpret_cast<const __m64*>(t.values + index[1]));
        __m128 p2 = _mm_loadl_pi(none, reinterpret_cast<const __m64*>(t.values + index[2]));
        __m128 p3 = _mm_loadl_pi(none, reinterpret_cast<const __m64*>(t.values + index[3]));
        __m128 p01 = _mm_unpacklo_ps(p0, p1);  // left 0, left 1, right 0, right 1
        __m128 p23 = _mm_unpacklo_ps(p2, p3);
        __m128 left = _mm_movelh_ps(p01, p23);
        __m128 right = _mm_movehl_ps(p23, p01);
        __m128 y = _mm_sub_ps(_mm_add_ps(left, _mm_mul_ps(_mm_sub_ps(right, left), w)), zero);
        _mm_store_ps(x, _mm_mul_ps(gOut, y));
    }
}

// The same for two samples at a time in eight-wide registers, with the table entries gathered. The
// operations and their order are those of the four-lane loop (no fused multiply-add), so both give
// the same bits; an odd last sample is left to the four-lane loop.
__attribute__((target("avx2"))) void clipRunEightWide(const ClipSetup& t, float* x, int n, const float* dLanes,
                                                    const float* gOutLanes) {
    const __m256 scale = _mm256_set1_ps(t.scale);
    const __m256 fraction = _mm256_set1_ps(t.fraction);
    const __m256 lo = _mm256_set1_ps(t.lo);
    const __m256 hi = _mm256_set1_ps(t.hi);
    const __m256i offset = _mm256_set1_epi32(t.offset);
    const __m256i last = _mm256_set1_epi32(t.last);
    const __m256 zero = _mm256_set1_ps(t.zero);
    const __m128 d4 = _mm_load_ps(dLanes);
    const __m128 g4 = _mm_load_ps(gOutLanes);
    const __m256 d = _mm256_set_m128(d4, d4);
    const __m256 gOut = _mm256_set_m128(g4, g4);
    float* end = x + 8 * (n / 2);
    for (; x < end; x += 8) {
        __m256 a = _mm256_max_ps(_mm256_min_ps(_mm256_mul_ps(d, _mm256_loadu_ps(x)), hi), lo);
        __m256 p = _mm256_sub_ps(_mm256_mul_ps(a, scale), fraction);
        __m256 whole = _mm256_floor_ps(p);
        __m256 w = _mm256_sub_ps(p, whole);
        __m256i i = _mm256_sub_epi32(_mm256_cvttps_epi32(whole), offset);
        __m256i below = _mm256_cmpgt_epi32(_mm256_setzero_si256(), i);
        __m256i above = _mm256_cmpgt_epi32(i, last);
        i = _mm256_andnot_si256(below, i);
        w = _mm256_andnot_ps(_mm256_castsi256_ps(below), w);
        i = _mm256_or_si256(_mm256_andnot_si256(above, i), _mm256_and_si256(above, last));
        w = _mm256_andnot_ps(_mm256_castsi256_ps(above), w);
        __m256 left = _mm256_i32gather_ps(t.values, i, 4);
        __m256 right = _mm256_i32gather_ps(t.values + 1, i, 4);
        __m256 y = _mm256_sub_ps(_mm256_add_ps(left, _mm256_mul_ps(_mm256_sub_ps(right, left), w)), zero);
        _mm256_storeu_ps(x, _mm256_mul_ps(gOut, y));
    }
    if (n % 2) clipRunFourLanes(t, x, 1, dLanes, gOutLanes);
}

bool cpuHasAvx2() {
    // Also asked from a static initialiser, which may run before the compiler's own detection.
    __builtin_cpu_init();
    return __builtin_cpu_supports("avx2");
}

}  // namespace

bool StateVariableFilter::eightWide_ = cpuHasAvx2();

void StateVariableFilter::useEightWide(bool on) { eightWide_ = on && cpuHasAvx2(); }

void StateVariableFilter::clipFourLanes(int) {
    const FunctionTable& table = clipTable_->table();
    ClipSetup t{table.values().data(), table.scale(),      table.offsetFraction(), table.lo(),
                table.hi(),            clipTable_->zero(), table.offsetInteger(),  table.size() - 1};
    float* x = interleaved_.samples();
    for (int s = 0; s < segmentCount_; ++s) {
        const GroupCoefficients& c = groupCoefficients_[s];
        if (eightWide_)
            clipRunEightWide(t, x, segments_[s], c.d, c.gOut);
        else
            clipRunFourLanes(t, x, segments_[s], c.d, c.gOut);
        x += 4 * segments_[s];
    }
}

void StateVariableFilter::runStagesFourLanes(int stages, int response) {
    for (int stage = 0; stage < stages; ++stage) {
        bool first = stage == 0;
        if (response == GenericFilter::HighPass) {
            first ? runStageFourLanes<GenericFilter::HighPass, true>(stage)
                  : runStageFourLanes<GenericFilter::HighPass, false>(stage);
        } else if (response == GenericFilter::BandPass) {
            first ? runStageFourLanes<GenericFilter::BandPass, true>(stage)
                  : runStageFourLanes<GenericFilter::BandPass, false>(stage);
        } else {
            first ? runStageFourLanes<GenericFilter::LowPass, true>(stage)
                  : runStageFourLanes<GenericFilter::LowPass, false>(stage);
        }
    }
}

void StateVariableFilter::settleQuietLanes(int count) {
    // Far below audibility a resonant stage may keep circling in rounding steps instead of decaying,
    // and a feedback loop around it then never falls silent. A lane whose input and states all lie
    // below the rest level starts the block from rest.
    const __m128 sign = _mm_set1_ps(-0.0f);
    const __m128 rest = _mm_set1_ps(kRestLevel);
    __m128 level = _mm_setzero_ps();
    for (int s = 0; s < kMaxStages; ++s) {
        level = _mm_max_ps(level, _mm_andnot_ps(sign, _mm_load_ps(lp_[s])));
        level = _mm_max_ps(level, _mm_andnot_ps(sign, _mm_load_ps(bp_[s])));
    }
    // Lanes still busy get all-ones in the mask and keep their states; the input is looked at only
    // while some lane is quiet.
    __m128 busy = _mm_cmpge_ps(level, rest);
    if (_mm_movemask_ps(busy) == 0xf) return;
    const float* x = interleaved_.samples();
    for (int i = 0; i < count; ++i) level = _mm_max_ps(level, _mm_andnot_ps(sign, _mm_load_ps(x + 4 * i)));
    busy = _mm_cmpge_ps(level, rest);
    if (_mm_movemask_ps(busy) == 0xf) return;
    for (int s = 0; s < kMaxStages; ++s) {
        _mm_store_ps(lp_[s], _mm_and_ps(busy, _mm_load_ps(lp_[s])));
        _mm_store_ps(bp_[s], _mm_and_ps(busy, _mm_load_ps(bp_[s])));
    }
}

bool StateVariableFilter::restsInSilence(int stages, int response) {
    // One sample of silence through the single run of coefficients. If it leaves every state as it
    // was, each further sample repeats it exactly; otherwise the states go back for the full block.
    alignas(16) float lp[kMaxStages][kLanes], bp[kMaxStages][kLanes];
    std::memcpy(lp, lp_, sizeof lp);
    std::memcpy(bp, bp_, sizeof bp);
    int run = segments_[0];
    segments_[0] = 1;
    _mm_store_ps(interleaved_.samples(), _mm_setzero_ps());
    runStagesFourLanes(stages, response);
    clipFourLanes(1);
    segments_[0] = run;
    if (std::memcmp(lp, lp_, sizeof lp) == 0 && std::memcmp(bp, bp_, sizeof bp) == 0) return true;
    std::memcpy(lp_, lp, sizeof lp);
    std::memcpy(bp_, bp, sizeof bp);
    return false;
}

void StateVariableFilter::processGroup(int count) {
    if (count <= 0) return;
    const float* input[kLanes];
    const float* frequency[kLanes] = {};
    bool active[kLanes] = {};
    bool anyActive = false;
    bool wholeBlock = true;
    bool silentInputs = true;
    int lanes = std::min(clientCount_, kLanes);
    for (int l = 0; l < lanes; ++l) {
        const GenericFilter::Lane& lane = clients_[l]->queryLane(count);
        active[l] = lane.active;
        if (!lane.active) continue;
        anyActive = true;
        input[l] = lane.input;
        frequency[l] = lane.frequency;
        if (!lane.constant || lane.peakMultiplier) wholeBlock = false;
        silentInputs &= lane.silent;
    }
    // Clients without a lane pass their input through.
    for (int c = lanes; c < clientCount_; ++c) {
        clients_[c]->queryLane(count);
        clients_[c]->passThrough();
    }
    if (!anyActive) {
        for (int l = 0; l < lanes; ++l) clients_[l]->applyWetDry(laneOutput_[l], count);
        return;
    }
    const float* zeros = environment_->zeroBuffer().samples();
    for (int l = 0; l < kLanes; ++l)
        if (!active[l]) input[l] = zeros;

    buildSegments(frequency, kLanes, count, wholeBlock);
    float g = inputGain();
    for (int l = 0; l < kLanes; ++l) gain_[l] = g;
    int start = 0;
    for (int s = 0; s < segmentCount_; ++s) {
        GroupCoefficients& gc = groupCoefficients_[s];
        for (int l = 0; l < kLanes; ++l) {
            if (active[l]) {
                const GenericFilter::Lane& lane = clients_[l]->lastLane();
                float p = lane.peakMultiplier ? lane.peak[start] * lane.peakMultiplier[start] : lane.peak[start];
                const Coefficients& c = heldCoefficients(held_[l], lane.frequency[start], p);
                gc.f[l] = c.f;
                for (int st = 0; st < kMaxStages; ++st) gc.q[st][l] = c.q[st];
                gc.k[l] = c.k;
                gc.d[l] = c.d;
                gc.gOut[l] = c.gOut;
            } else {
                // A frequency coefficient and cubic term of 0 leave the lane's states untouched.
                gc.f[l] = 0.0f;
                for (int st = 0; st < kMaxStages; ++st) gc.q[st][l] = 2.0f;
                gc.k[l] = 0.0f;
                gc.d[l] = 0.1f;
                gc.gOut[l] = 1.0f;
            }
        }
        start += segments_[s];
    }

    int stages = stageCount();
    int r = response.get();
    if (wholeBlock && silentInputs && restsInSilence(stages, r)) {
        // Every sample of the block is the one just computed.
        const float* x = interleaved_.samples();
        for (int l = 0; l < lanes; ++l) {
            SampleBuffer* block = &environment_->zeroBuffer();
            if (x[l] != 0.0f) {
                block = &laneOutput_[l];
                std::fill(block->samples(), block->samples() + count, x[l]);
            }
            clients_[l]->applyWetDry(*block, count, true);
        }
        return;
    }

    // Interleave: sample i of lane l goes to interleaved[4 i + l].
    float* x = interleaved_.samples();
    int i = 0;
    for (; i + 4 <= count; i += 4) {
        __m128 r0 = _mm_loadu_ps(input[0] + i);
        __m128 r1 = _mm_loadu_ps(input[1] + i);
        __m128 r2 = _mm_loadu_ps(input[2] + i);
        __m128 r3 = _mm_loadu_ps(input[3] + i);
        _MM_TRANSPOSE4_PS(r0, r1, r2, r3);
        _mm_store_ps(x + 4 * i, r0);
        _mm_store_ps(x + 4 * i + 4, r1);
        _mm_store_ps(x + 4 * i + 8, r2);
        _mm_store_ps(x + 4 * i + 12, r3);
    }
    for (; i < count; ++i)
        for (int l = 0; l < kLanes; ++l) x[4 * i + l] = input[l][i];
    settleQuietLanes(count);

    runStagesFourLanes(stages, r);
    clipFourLanes(count);

    float* out[kLanes] = {laneOutput_[0].samples(), laneOutput_[1].samples(), laneOutput_[2].samples(),
                          laneOutput_[3].samples()};
    i = 0;
    for (; i + 4 <= count; i += 4) {
        __m128 r0 = _mm_load_ps(x + 4 * i);
        __m128 r1 = _mm_load_ps(x + 4 * i + 4);
        __m128 r2 = _mm_load_ps(x + 4 * i + 8);
        __m128 r3 = _mm_load_ps(x + 4 * i + 12);
        _MM_TRANSPOSE4_PS(r0, r1, r2, r3);
        _mm_storeu_ps(out[0] + i, r0);
        _mm_storeu_ps(out[1] + i, r1);
        _mm_storeu_ps(out[2] + i, r2);
        _mm_storeu_ps(out[3] + i, r3);
    }
    for (; i < count; ++i)
        for (int l = 0; l < kLanes; ++l) out[l][i] = x[4 * i + l];

    // A lane that computed silence says so, and the filters it feeds can rest.
    for (int l = 0; l < lanes; ++l) {
        bool silent = active[l] && std::all_of(out[l], out[l] + count, [](float v) { return v == 0.0f; });
        clients_[l]->applyWetDry(laneOutput_[l], count, silent);
    }
}
