#pragma once

#include "wave/Environment.h"
#include "wave/filters/GenericFilter.h"

// The plain filter unit: one, two or four identical second-order sections in cascade (12, 24 or
// 48 dB per octave). Low- and high-pass are Butterworth at peak 0 and grow a resonance towards peak
// 1; band-pass narrows from a bandwidth of fc to fc / 2.
class BiQuadFilter : public GenericFilter::FilterUnit {
public:
    static constexpr int kMaxSections = 4;

    // One second-order section with the parameters its coefficients were computed from.
    struct Section {
        float b0 = 1.0f, b1 = 0.0f, b2 = 0.0f, a1 = 0.0f, a2 = 0.0f;
        float frequency = -1.0f;  // so that the first sample always computes
        float peak = 0.0f;
        float x1 = 0.0f, x2 = 0.0f, y1 = 0.0f, y2 = 0.0f;
    };

    explicit BiQuadFilter(wave::Environment& environment) : environment_(&environment) {}

    // Audio thread. Never blocks or allocates.
    void process(const float* input, float* output, const float* frequency, const float* peak,
                 const float* peakMultiplier, int count, bool constant) override;
    bool slopeSupported(int slope) const override { return slope >= 1 && slope <= 3; }
    bool atRest() const override;
    void reset() override;

    int sectionCount() const;
    const Section& section(int i) const { return sections_[i]; }
    // Computes a section's coefficients for a cut-off (log2 Hz) and peak at the current rate.
    void computeCoefficients(Section& section, float frequency, float peak) const;

private:
    void processSection(Section& section, const float* input, float* output, const float* frequency,
                        const float* peak, const float* peakMultiplier, int count);

    wave::Environment* environment_;
    Section sections_[kMaxSections];
};
