#pragma once

#include <memory>

#include "wave/Environment.h"
#include "wave/filters/BiQuadFilter.h"
#include "wave/filters/DesignFilter.h"
#include "wave/filters/MultiDesignFilter.h"

// The small-signal magnitude response of the engine's filters, for drawing. It asks the engine's
// own filter objects for their coefficients (cut-off, peak, response, slope, characteristic) and
// evaluates the transfer function of exactly the recursion they run: the state-variable stages
// with their threefold repetition per sample, or the clean biquad sections. Below the clip stage's
// knee the drive and output gain cancel and the cubic term vanishes, so this is what a quiet
// signal hears. [ui]
class FilterResponse {
public:
    struct Setting {
        float frequency = 10.0f;  // log2 Hz
        float peak = 0.0f;        // 0..1
        int response = GenericFilter::LowPass;
        int slope = GenericFilter::Slope12;
        int characteristic = 0;  // the characteristic list's index; past its end the clean filter
    };

    explicit FilterResponse(float sampleRate = 48000.0f);
    ~FilterResponse();

    void setSampleRate(float rate);
    float sampleRate() const { return environment_.sampleRate(); }

    // Magnitude in dB at a frequency (log2 Hz); frequencies at or above Nyquist read as just below it.
    float magnitudeDb(const Setting& setting, float log2Hz);
    // The same for n frequencies at once (coefficients computed once).
    void magnitudesDb(const Setting& setting, const float* log2Hz, float* dB, int n);

private:
    wave::Environment environment_;
    std::unique_ptr<DesignFilter> design_;
    std::unique_ptr<BiQuadFilter> clean_;
};
