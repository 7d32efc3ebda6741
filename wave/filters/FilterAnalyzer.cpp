#include "wave/filters/FilterAnalyzer.h"

FilterAnalyzer::FilterAnalyzer(wave::Environment& environment)
    : wave::Filter(environment), timeConstant(nullptr, 20.0f), threshold(this, 0.005f) {
    addToResetList();
}

void FilterAnalyzer::propertyChanged(AbstractProperty* property) {
    if (property == &threshold) inverseThreshold_ = threshold.get() > 0.0f ? 1.0f / threshold.get() : 0.0f;
}

void FilterAnalyzer::filter(const float* input, SampleBuffer& output, int count, int flags) {
    if (flags & wave::OutputNotNeeded) return;
    setOutputFlags(0);
    float t = timeConstant.get();
    float rate = environment().sampleRate();
    // A time constant of 0 follows the level at once.
    float coefficient = t > 0.0f ? 1000.0f / (rate * t) : 1.0f;
    if (coefficient > 1.0f) coefficient = 1.0f;
    float level = level_;
    float th = threshold.get();
    float* out = output.samples();
    for (int i = 0; i < count; ++i) {
        float x = input ? input[i] : 0.0f;
        level += coefficient * (x - level);
        out[i] = level >= th ? 1.0f : level * inverseThreshold_;
    }
    level_ = level;
}
