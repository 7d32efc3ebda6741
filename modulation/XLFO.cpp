#include "modulation/XLFO.h"

#include <algorithm>
#include <atomic>
#include <chrono>
#include <cmath>
#include <cstdlib>

#include "core/FloatEpsilon.h"
#include "modulation/ResponseCurves.h"

namespace {

constexpr std::uint32_t kRegisterMask = 0xFFFFFF;  // the random generator's 24 bits
constexpr std::uint32_t kFeedback = 0x11d872b;     // Galois taps, including the carry bit 24
constexpr std::uint32_t kCarry = 0x1000000;
constexpr float kMinimumRandomDistance = 0.2f;
constexpr double kEventMinimumSeconds = 0.0625;  // cycle events closer than this are not shown
constexpr double kGlideFloorScale = 0.0002;      // minimum glide (0.0002 f)^2 at high rates
constexpr int kOldestNotificationSample = -(1 << 30);

// A fresh seed for each instance, whichever thread creates it: a process-wide counter, started from
// the clock, stepped atomically and mixed (splitmix64) so that neighbouring instances differ in every bit.
std::uint32_t instanceSeed() {
    static std::atomic<std::uint64_t> counter{
        static_cast<std::uint64_t>(std::chrono::steady_clock::now().time_since_epoch().count())};
    std::uint64_t z = counter.fetch_add(0x9E3779B97F4A7C15ull, std::memory_order_relaxed) + 0x9E3779B97F4A7C15ull;
    z = (z ^ (z >> 30)) * 0xBF58476D1CE4E5B9ull;
    z = (z ^ (z >> 27)) * 0x94D049BB133111EBull;
    return static_cast<std::uint32_t>(z ^ (z >> 31));
}

// The fractional part in 0 .. 1; anything that is not a finite number becomes 0.
double wrapPhase(double x) {
    if (x >= 0.0 && x < 1.0) return x;
    x -= std::floor(x);
    return x >= 0.0 && x < 1.0 ? x : 0.0;
}

}  // namespace

XLFO::Step::Step(XLFO& owner, int index)
    : glide(this, 0.0f, 0.0f, 1.0f),
      curve(this, Linear),
      random(this, false),
      snap(this, false),
      value(this, 0.0f, -1.0f, 1.0f),
      index_(index),
      curveFunction_(responsecurves::linear),
      owner_(owner) {}

void XLFO::Step::propertyChanged(AbstractProperty* property) {
    if (property == &curve) {
        curveFunction_ = XLFO::curveFunction(curve.get());
    } else if (property == &value || property == &random || property == &snap) {
        resolved_ = false;
    }
}

XLFO::XLFO(wave::Environment& environment)
    : wave::Source(environment),
      stepCount(this, kMaxSteps, 1, kMaxSteps),
      balance(this, 0.5f, 0.0001f, 0.9999f),
      midiTrigger(this, false),
      snap(this, false),
      defaultFrequency_(environment, 0.1f),
      defaultGlide_(environment, 0.0f),
      defaultPhase_(environment, 0.0f),
      frequencyInput_(&defaultFrequency_),
      glideInput_(&defaultGlide_),
      phaseInput_(&defaultPhase_) {
    defaultFrequency_.setRange(0.0f, 5000.0f);
    defaultGlide_.setRange(-1.0f, 1.0f);
    defaultPhase_.setRange(-100.0f, 100.0f);
    defaultPhase_.value().period = 1.0f;
    for (int k = 0; k < kMaxSteps; ++k) steps_[k] = std::make_unique<Step>(*this, k);
    balance_ = balance.get();
    complement_ = 1.0 - balance_;
    rebuildBoundaries();
    setRandomSeed(instanceSeed());
    addToClosingPass(AfterFront);
}

XLFO::CurveFunction XLFO::curveFunction(GlideCurve curve) {
    using namespace responsecurves;
    static constexpr CurveFunction kCurves[] = {linear, square, squareRoot, sine};
    return select(kCurves, curve);
}

float XLFO::snapValue(float v) {
    int q = static_cast<int>(((v + 1.0f) * 0.5f + 1.0f / 48.0f) * 24.0f);
    q = std::clamp(q, 0, 24);
    return static_cast<float>(q) / 24.0f * 2.0f - 1.0f;
}

void XLFO::setRandomSeed(std::uint32_t seed) {
    // A seed with bits above the register (such as 0xFFFFFF + 1) would shift out to 0 and stay there.
    random_ = seed & kRegisterMask;
    if (random_ == 0) random_ = 1;
}

float XLFO::maximumStepValue() const {
    float m = -1.0f;
    for (int k = 0; k < stepCount.get(); ++k) m = std::max(m, steps_[k]->value.get());
    return m;
}

void XLFO::rebuildBoundaries() {
    const int n = stepCount.get();
    const double b = balance_;
    firstHalfWidth_ = 2.0 * b / n;
    secondHalfWidth_ = 2.0 * (1.0 - b) / n;
    double end = 0.0;
    for (int k = 0; k < n; ++k) {
        Step& s = *steps_[k];
        s.start_ = end;
        if (k == n - 1)
            end = 1.0;
        else if (2 * (k + 1) < n)
            end = (k + 1) * firstHalfWidth_;
        else
            end = (k + 1 - n / 2.0) * secondHalfWidth_ + b;
        s.end_ = end;
        s.middle_ = 2 * k + 1 == n;
    }
}

void XLFO::remapBalance(double e, double b) {
    // The running phase keeps its relative position within its half of the cycle.
    double x = phase_;
    double mapped = x;
    if (x >= e && e != 1.0)
        mapped = wrapPhase((x - e) / (1.0 - e) * (1.0 - b) + b);
    else if (e != 0.0)
        mapped = wrapPhase(b * x / e);
    phase_ = mapped;
    accumulatedPhase_ = wrapPhase(accumulatedPhase_ + (mapped - x));
    balance_ = b;
    complement_ = 1.0 - b;
    halfCycle_ = phase_ >= b;
}

void XLFO::propertyChanged(AbstractProperty* property) {
    if (property == &stepCount) {
        rebuildBoundaries();
    } else if (property == &balance) {
        remapBalance(balance_, balance.get());
        rebuildBoundaries();
    } else if (property == &snap) {
        for (auto& s : steps_) s->snap = snap.get();
    }
}

int XLFO::findStep(double x) const {
    const int n = stepCount.get();
    for (int k = 0; k < n; ++k) {
        if (x >= steps_[k]->start_ && x < steps_[k]->end_) return k;
    }
    return 0;
}

float XLFO::drawRelativeTo(float previous) {
    random_ <<= 1;
    if (random_ & kCarry) random_ ^= kFeedback;
    double u = (static_cast<double>(random_) - 0x800000) * (1.0 / 16777216.0) + 0.5;
    float c = static_cast<float>(2.0 * u - 1.0);
    if (std::fabs(c - previous) >= kMinimumRandomDistance) return c;
    return previous >= 0.5f ? previous - kMinimumRandomDistance : previous + kMinimumRandomDistance;
}

float XLFO::resolve(Step& step) {
    if (step.resolved_) return step.resolvedValue_;
    const int n = stepCount.get();
    float v;
    if (step.random.get()) {
        if (n == 1) {
            v = step.nextValue_;
            step.nextValue_ = drawRelativeTo(v);
        } else {
            // Relative to the value the previous step had on its last pass.
            v = drawRelativeTo(steps_[(step.index_ + n - 1) % n]->resolvedValue_);
        }
    } else {
        v = step.value.get();
    }
    if (step.snap.get()) v = snapValue(v);
    step.resolvedValue_ = v;
    step.resolved_ = true;
    return v;
}

float XLFO::nextValueAfter(Step& step) {
    const int n = stepCount.get();
    if (n > 1) return resolve(*steps_[(step.index_ + 1) % n]);
    // One step: its own value in the next cycle.
    float w = step.random.get() ? step.nextValue_ : step.value.get();
    return step.snap.get() ? snapValue(w) : w;
}

int XLFO::renderStep(Step& step, float* out, const float* frequency, const float* glide, const float* offset,
                     int count, double& x) {
    const float v = resolve(step);
    const float w = nextValueAfter(step);
    const float difference = w - v;

    // The segment of the step this pass renders: the whole step, or for the middle step of an odd
    // count the half on the phase's side of the balance point, mapped to t = 0 .. 0.5 or 0.5 .. 1.
    double segmentStart = step.start_;
    double segmentEnd = step.end_;
    double reference = step.start_;
    double scale;
    if (step.middle_) {
        if (x < balance_) {
            segmentEnd = balance_;
            scale = 0.5 / (balance_ - step.start_);
        } else {
            segmentStart = balance_;
            reference = balance_ - (step.end_ - balance_);
            scale = 0.5 / (step.end_ - balance_);
        }
    } else {
        scale = 1.0 / (step.end_ - step.start_);
    }

    const double inverseRate = 1.0 / environment().sampleRate();
    const float stepGlide = step.glide.get();
    const CurveFunction curve = step.curveFunction_;
    double accumulated = accumulatedPhase_;
    float previousOffset = lastPhaseOffset_;
    int i = 0;
    do {
        // In double precision: near the end of a step a float t could not resolve the short
        // minimum glide and would put a stray sample between two steps.
        const double t = (x - reference) * scale;
        const double g = static_cast<double>(stepGlide) + glide[i];
        const double minimum = kGlideFloorScale * frequency[i] * kGlideFloorScale * frequency[i];
        const double length = g >= minimum ? std::min(g, 1.0) : minimum;
        const double glideStart = 1.0 - length;
        out[i] = t > glideStart ? v + curve(static_cast<float>((t - glideStart) / length)) * difference : v;
        const double d = frequency[i] * inverseRate;
        accumulated += d;
        x += (offset[i] - previousOffset) + d;
        previousOffset = offset[i];
        ++i;
    } while (i < count && x >= segmentStart && x < segmentEnd);
    accumulatedPhase_ = accumulated;
    lastPhaseOffset_ = previousOffset;

    // A random step draws anew on its next pass.
    if (!(x >= step.start_ && x < step.end_)) step.resolved_ = !step.random.get();
    return i;
}

void XLFO::checkCycleEvent(double x, int sampleIndex) {
    bool h = x >= balance_;
    if (h == halfCycle_) return;
    halfCycle_ = h;
    bool state =
        h && (sampleIndex - lastNotificationSample_) > kEventMinimumSeconds * environment().sampleRate();
    lastNotificationSample_ = sampleIndex;
    if (state != eventState_) {
        eventState_ = state;
        cycleEvent_.fire(this);
    }
}

void XLFO::produce(SampleBuffer& buffer, int count, int /*flags*/) {
    // The inputs first: a synced frequency controller re-locks the phase when it is pulled.
    const float* frequency = frequencyInput_->pull(count, 0);
    const float* glide = glideInput_->pull(count, 0);
    const float* offset = phaseInput_->pull(count, 0);
    float* out = buffer.samples();

    double x = phase_;
    int position = 0;
    while (position < count) {
        x = wrapPhase(x);
        Step& step = *steps_[findStep(x)];
        position += renderStep(step, out + position, frequency + position, glide + position,
                               offset + position, count - position, x);
        checkCycleEvent(wrapPhase(x), position);
    }
    accumulatedPhase_ = wrapPhase(accumulatedPhase_);
    phase_ = wrapPhase(lastPhaseOffset_ + accumulatedPhase_);

    lastNotificationSample_ = std::max(lastNotificationSample_ - count, kOldestNotificationSample);
    activityMark_ = stepCount.get() * frequency[0] * 0.5f > 10.0f ? 2 : 0;
    setOutputFlags(0);
}

void XLFO::retrigger() {
    phase_ = wrapPhase(phase_ - accumulatedPhase_);
    accumulatedPhase_ = 0.0;
    halfCycle_ = phase_ >= balance_;
    syncReference_ = lastSongPosition_;
}

void XLFO::noteOn() {
    if (midiTrigger.get())
        retrigger();
    else
        syncReference_ = 0.0f;
}

void XLFO::sync(float /*tempo*/, float songPosition, float barsPerCycle) {
    if (std::fabs(songPosition - lastSongPosition_) <= kFloatEpsilon || !(barsPerCycle > 0.0f)) {
        lastSongPosition_ = songPosition;
        return;
    }
    double a = wrapPhase((static_cast<double>(songPosition) - syncReference_) * 0.25 / barsPerCycle);
    phase_ = wrapPhase(phase_ - accumulatedPhase_ + a);
    accumulatedPhase_ = a;
    halfCycle_ = phase_ >= balance_;
    lastSongPosition_ = songPosition;
}
