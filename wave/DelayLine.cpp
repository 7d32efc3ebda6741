#include "wave/DelayLine.h"

#include <algorithm>
#include <cmath>
#include <cstring>
#include <numbers>

#include "wave/GainCurve.h"

namespace {
constexpr double kGlideArrived = 0.001;  // the glide counts as arrived this close to its target
constexpr int kFadeTableSize = 4096;
}  // namespace

double DelayLine::FadeFunction::evaluate(double a) const {
    return gaincurve::gain(a);
}

const FunctionTable& DelayLine::fadeTable() {
    static const FunctionTable table = [] {
        FadeFunction fade;
        return FunctionTable(kFadeTableSize, fade, 0.0f, 1.0f);
    }();
    return table;
}

DelayLine::DelayLine(wave::Environment& environment)
    : wave::Producer(environment),
      timeUnit(this, Milliseconds),
      smoothDelayChanges(nullptr, true),
      readType(nullptr, Tape),
      timeSource_(environment, 0.0f, false),
      delayTime_(&timeSource_),
      ring_(environment.maxBlockLength() + kMaxDelaySamples),
      ringLength_(environment.maxBlockLength() + kMaxDelaySamples),
      maxDelay_(static_cast<float>(kMaxDelaySamples)),
      delayBuffer_(environment.maxBlockLength()),
      fade_(&fadeTable()) {
    timeSource_.setRange(0.0f, kMaxDelayMs);
    reset();
    addToResetList();
    addToClosingPass(Front);
}

void DelayLine::propertyChanged(AbstractProperty*) {
    // The internal source's range follows the time unit.
    timeSource_.setRange(0.0f,
                         timeUnit.get() == Samples ? static_cast<float>(kMaxDelaySamples) : kMaxDelayMs);
}

void DelayLine::reset() {
    writePosition_ = 0;
    readReference_ = 0;
    filled_ = 0;
    silentRun_ = ringLength_;  // nothing written: every index reads as 0
    grainPosition_[0] = grainPosition_[1] = 0;
    grain_ = -1;
    grainPhase_ = 0;
    float rate = environment().sampleRate();
    // 5 Hz corner; the ratio is capped at half the rate so that the coefficient never falls again.
    float ratio = std::min(kGlideHz / rate, 0.5f);
    if (!(ratio >= 0.0f)) ratio = 0.5f;
    glideF_ = std::min(2.0f * std::sin(std::numbers::pi_v<float> * ratio), 0.95f);
    glideRestart_ = true;
    crossFadeLength_ = std::max(1, static_cast<int>(kGrainMs * (rate / 1000.0f)));
    lastReadPath_ = ReadPath::None;
}

void DelayLine::produce(SampleBuffer& output, int count, int flags) {
    readReference_ = writePosition_;
    if (flags & wave::ClosingPass) {
        if (writeMode_ == Deferred) write(count, flags);
        return;
    }
    // A pull that comes back through the input chain while writing (an immediate write in a feedback
    // loop) only reads: the samples it needs are already in the ring.
    if (writeMode_ == Immediate && !writing_) write(count, flags);
    if (!(flags & wave::OutputNotNeeded)) read(output.samples(), count);
}

void DelayLine::write(int count, int flags) {
    // An ordinary pull: the input chain may lead back to this line (feedback) or to another delay
    // line, and none of them must take this pull for its own closing-pass call.
    writing_ = true;
    const float* in = wave::Producer::pull(input_, count, flags & inputFlagMask_ & ~wave::ClosingPass);
    writing_ = false;
    float* ring = ring_.samples();
    int first = std::min(count, ringLength_ - writePosition_);
    if (in) {
        std::memcpy(ring + writePosition_, in, sizeof(float) * first);
        std::memcpy(ring, in + first, sizeof(float) * (count - first));
    } else {
        std::memset(ring + writePosition_, 0, sizeof(float) * first);
        std::memset(ring, 0, sizeof(float) * (count - first));
    }
    writePosition_ = wrap(writePosition_ + count);
    if (filled_ < ringLength_) filled_ += count;
    // Computed silence counts as well: a decayed feedback loop turns into flagged silence here.
    bool silent = !in || (input_ && input_->isSilent()) ||
                  std::all_of(in, in + count, [](float v) { return v == 0.0f; });
    silentRun_ = silent ? std::min(silentRun_ + count, ringLength_) : 0;
}

int DelayLine::targetSamples(float time, float scale) const {
    // Samples mode rounds half away from zero (d is not negative here).
    if (timeUnit.get() == Samples) return static_cast<int>(static_cast<double>(limitDelay(scale * time)) + 0.5);
    // Milliseconds truncate. A whole millisecond that arrives a few float steps off (3000 ms typed,
    // 2999.9998 ms after the parameter's taper) is taken as that millisecond, and the product is
    // formed in double precision, so that it lands on its exact sample at every common rate.
    constexpr double kWholeMsTolerance = 4.0 * 1.1920929e-7;
    double ms = time;
    double whole = std::round(ms);
    if (std::fabs(ms - whole) <= kWholeMsTolerance * whole) ms = whole;
    double d = ms * static_cast<double>(environment().sampleRate()) / 1000.0;
    return static_cast<int>(d > 0.0 ? std::min(d, static_cast<double>(maxDelay_)) : 0.0);
}

void DelayLine::read(float* out, int count) {
    setOutputFlags(0);
    int unit = timeUnit.get();
    const float* time = delayTime_->pull(count, 0);
    bool constant = delayTime_->isConstant();
    float scale = unit == Samples ? 1.0f : environment().sampleRate() / 1000.0f;
    int d0 = targetSamples(time[0], scale);

    if (glideRestart_) {
        glideLowPass_ = d0;
        glideBandPass_ = 0.0;
        glideRestart_ = false;
    }
    bool glide = smoothDelayChanges.get();
    if (constant && (!glide || std::fabs(glideLowPass_ - d0) < kGlideArrived)) {
        int start = wrap(readReference_ - d0 + ringLength_);
        bool silent = readsSilence(d0, d0, count);
        if (readType.get() != Stretch) {
            if (silent)
                readSilence(out, count);
            else
                copyBlock(out, count, start);
            grain_ = -1;
            lastReadPath_ = ReadPath::BlockCopy;
            return;
        }
        if (grain_ < 0) {  // Stretch starts afresh at the current delay
            grain_ = 0;
            grainPhase_ = 0;
            grainPosition_[0] = grainPosition_[1] = start;
        }
        if (grainsSettledAt(start)) {
            if (silent)
                readSilence(out, count);
            else
                copyBlock(out, count, start);
            advanceSettledGrains(start, count);
            lastReadPath_ = ReadPath::BlockCopy;
            return;
        }
        // The delay has arrived but a grain still reads elsewhere: keep cross-fading, with the next
        // grain starting exactly at the arrived delay.
        std::fill(delayBuffer_.samples(), delayBuffer_.samples() + count, static_cast<float>(d0));
        readStretch(out, count);
        lastReadPath_ = ReadPath::Stretch;
        return;
    }

    fillDelayBuffer(time, count, scale);
    if (readType.get() == Stretch) {
        readStretch(out, count);
        lastReadPath_ = ReadPath::Stretch;
    } else {
        const float* delay = delayBuffer_.samples();
        auto [nearest, farthest] = std::minmax_element(delay, delay + count);
        if (readsSilence(static_cast<int>(*nearest), static_cast<int>(*farthest) + 1, count)) {
            grain_ = -1;
            readSilence(out, count);
        } else {
            readTape(out, count);
        }
        lastReadPath_ = ReadPath::Tape;
    }
}

void DelayLine::readSilence(float* out, int count) {
    // Written out rather than pointing at the zero buffer: the closing pass points this line's output
    // back at its own buffer before writing, and the feedback path may read it then.
    std::memset(out, 0, sizeof(float) * count);
    setOutputFlags(wave::ConstantBlock);
}

void DelayLine::copyBlock(float* out, int count, int start) const {
    // At most two runs, each copied up to the filled count and zero beyond it.
    auto run = [this](float* dst, int from, int n) {
        int written = std::clamp(filled_ - from, 0, n);
        std::memcpy(dst, ring_.samples() + from, sizeof(float) * written);
        std::memset(dst + written, 0, sizeof(float) * (n - written));
    };
    int first = std::min(count, ringLength_ - start);
    run(out, start, first);
    run(out + first, 0, count - first);
}

bool DelayLine::grainsSettledAt(int start) const {
    int c = grain_;
    return grainPosition_[c] == start && (grainPhase_ == 0 || grainPosition_[1 - c] == start);
}

void DelayLine::advanceSettledGrains(int start, int count) {
    // Both grains read the same samples, so a block copy is what the grain read would have given;
    // move them on as it would have, keeping the grain timing.
    grainPosition_[0] = grainPosition_[1] = wrap(start + count);
    grainPhase_ += count;
    while (grainPhase_ >= crossFadeLength_) {
        grainPhase_ -= crossFadeLength_;
        grain_ = 1 - grain_;
    }
}

void DelayLine::fillDelayBuffer(const float* time, int count, float scale) {
    float* delay = delayBuffer_.samples();
    if (!smoothDelayChanges.get()) {
        for (int i = 0; i < count; ++i) delay[i] = limitDelay(scale * time[i]);
        return;
    }
    // Critically damped two-pole low-pass (damping 2) towards the integer target of each sample.
    double lp = glideLowPass_;
    double bp = glideBandPass_;
    const double f = glideF_;
    const double q = glideQ_;
    for (int i = 0; i < count; ++i) {
        double target = targetSamples(time[i], scale);
        lp += f * bp;
        delay[i] = limitDelay(static_cast<float>(lp));
        bp += f * (target - q * bp - lp);
    }
    glideLowPass_ = lp;
    glideBandPass_ = bp;
}

void DelayLine::readTape(float* out, int count) {
    grain_ = -1;  // Stretch starts afresh when it is selected again
    const float* delay = delayBuffer_.samples();
    // The position is formed in double precision: in single precision the ring index (about a
    // million) would leave only a sixteenth of a sample for the interpolation fraction.
    const double base = static_cast<double>(ringLength_) + readReference_;
    for (int i = 0; i < count; ++i) {
        double p = base + i - delay[i];
        int m = static_cast<int>(p);
        float fraction = static_cast<float>(p - m);
        int a = wrap(wrap(m));
        int b = a + 1 == ringLength_ ? 0 : a + 1;
        float x0 = ringAt(a);
        float x1 = ringAt(b);
        out[i] = x0 + (x1 - x0) * fraction;
    }
}

void DelayLine::readStretch(float* out, int count) {
    const float* delay = delayBuffer_.samples();
    const int n = ringLength_;
    const int r = readReference_;
    int c = grain_;
    if (c < 0) {
        c = 0;
        grainPhase_ = 0;
        grainPosition_[0] = (r - static_cast<int>(delay[0]) + n) % n;
    }
    int current = grainPosition_[c];
    int other = grainPosition_[1 - c];
    int j = grainPhase_;
    const int length = crossFadeLength_;
    const float step = 1.0f / static_cast<float>(length);
    for (int i = 0; i < count; ++i) {
        // Each cross-fade starts the other grain at the current delay.
        if (j == 0) other = (r + i - static_cast<int>(delay[i]) + n) % n;
        float fading = fade_->lookup(1.0f - static_cast<float>(j) * step);
        out[i] = (1.0f - fading) * ringAt(other) + fading * ringAt(current);
        current = wrap(current + 1);
        other = wrap(other + 1);
        if (++j == length) {
            j = 0;
            std::swap(current, other);
            c = 1 - c;
        }
    }
    grainPosition_[c] = current;
    grainPosition_[1 - c] = other;
    grain_ = c;
    grainPhase_ = j;
}
