#include "modulation/MidiModSource.h"

#include <algorithm>
#include <cmath>

#include "modulation/ResponseCurves.h"
#include "wave/FloatParameterSource.h"

namespace {

constexpr float kKeyboardScale = 1.0f / 120.0f;  // note number to curve input
constexpr float kKeyboardCentre = 0.4f;          // note 48 gives 0

bool validNumber(int n) {
    return n >= 0 && n < 128;
}

}  // namespace

void MidiModSource::Cache::removeSource(MidiModSource* source) {
    std::erase(sources_, source);
}

void MidiModSource::Cache::store(int entry, float value) {
    values_[entry] = value;
    for (MidiModSource* source : sources_) source->entryChanged(entry, value);
}

void MidiModSource::Cache::channelPressure(float value) {
    store(kAftertouch, std::clamp(value, 0.0f, 1.0f));
}

void MidiModSource::Cache::polyPressure(int note, float value) {
    if (!validNumber(note)) return;
    store(kAftertouch, std::clamp(value, 0.0f, 1.0f));
}

void MidiModSource::Cache::controller(int controller, float value) {
    if (!validNumber(controller)) return;
    store(controller, std::clamp(value, 0.0f, 1.0f));
}

void MidiModSource::Cache::modulationWheel(float value) {
    store(kModWheel, std::clamp(value, 0.0f, 1.0f));
}

void MidiModSource::Cache::noteOff(int, float) {}

void MidiModSource::Cache::noteOn(int note, float velocity) {
    if (!validNumber(note)) return;
    store(kVelocity, std::clamp(velocity, 0.0f, 1.0f));
    store(kNote, static_cast<float>(note));
}

void MidiModSource::Cache::pitchBend(float value) {
    store(kPitchBend, std::clamp(value, -0.5f, 0.5f));
}

MidiModSource::MidiModSource(wave::Environment& environment, Cache& cache)
    : wave::Source(environment),
      controllerNumber(this, 0, 0, 127),
      midiInput(this, ModWheel),
      responseCurve(this, Linear),
      cache_(cache),
      curve_(responsecurves::linear),
      output_(environment, 0.0f) {
    output_.setRange(-1.0f, 1.0f, 0.5f);
    cache_.addSource(this);
}

MidiModSource::~MidiModSource() {
    cache_.removeSource(this);
}

MidiModSource::CurveFunction MidiModSource::curveFunction(ResponseCurve curve) {
    using namespace responsecurves;
    static constexpr CurveFunction kCurves[] = {linear, exponential, logarithmic, square, squareRoot, sine};
    return select(kCurves, curve);
}

int MidiModSource::cacheIndex() const {
    int input = midiInput.get();
    if (input >= ModWheel && input <= KbTrack) return Cache::kModWheel + input;
    return controllerNumber.get();
}

void MidiModSource::entryChanged(int entry, float value) {
    if (entry != cacheIndex()) return;
    float t;
    switch (entry) {
        case Cache::kPitchBend:
            t = curve_(2.0f * value);
            break;
        case Cache::kVelocity:
            t = 2.0f * curve_(value) - 1.0f;
            break;
        case Cache::kNote:
            t = curve_(static_cast<float>(static_cast<int>(value)) * kKeyboardScale) -
                curve_(kKeyboardCentre);
            break;
        default:
            t = curve_(value);
            break;
    }
    output_.rampTo(t);
}

float MidiModSource::displayValue() const {
    float out = output_.current();
    switch (cacheIndex()) {
        case Cache::kPitchBend:
        case Cache::kVelocity:
            return (out + 1.0f) * 0.5f;
        case Cache::kNote: {
            // Notes 1 and 120 map to 0 and 1.
            float low = curve_(kKeyboardScale) - curve_(kKeyboardCentre);
            float high = curve_(1.0f) - curve_(kKeyboardCentre);
            return high != low ? (out - low) / (high - low) : 0.0f;
        }
        default:
            return out;
    }
}

void MidiModSource::produce(SampleBuffer& buffer, int count, int flags) {
    wave::renderSmoothedValue(*this, output_, buffer, count, flags);
}

void MidiModSource::propertyChanged(AbstractProperty* property) {
    if (property == &responseCurve) {
        // Takes effect with the next change of the followed entry.
        curve_ = curveFunction(responseCurve.get());
        return;
    }
    // A new selection re-reads the cached value at once.
    int entry = cacheIndex();
    entryChanged(entry, cache_.value(entry));
}
