#include "interface/filter/FilterResponse.h"

#include <algorithm>
#include <cmath>
#include <complex>
#include <numbers>

namespace {

using Complex = std::complex<double>;

// The characteristics are read once per process from the embedded files; read-only afterwards.
const MultiDesignFilter::Style& characteristics() {
    static const std::unique_ptr<MultiDesignFilter::Style> list = MultiDesignFilter::Style::createCharacteristics();
    return *list;
}

struct Matrix2 {
    double a, b, c, d;  // [[a, b], [c, d]]
    Matrix2 operator*(const Matrix2& o) const {
        return {a * o.a + b * o.c, a * o.b + b * o.d, c * o.a + d * o.c, c * o.b + d * o.d};
    }
    Matrix2 operator+(const Matrix2& o) const { return {a + o.a, b + o.b, c + o.c, d + o.d}; }
};

// One state-variable stage as the engine runs it: three updates per sample with the input held,
//   lp += f bp;  bp += f (x - q bp - lp)
// so that the state (lp, bp) moves by M = [[1, f], [-f, 1 - f q - f^2]] and the input enters
// through (0, f). Over a sample: s' = M^3 s + (M^2 + M + I) B x. Low and band pass read the new
// state; high pass is x - q bp - lp taken in the third update, after its lp step.
Complex stageResponse(double f, double q, int response, Complex z) {
    const Matrix2 m{1.0, f, -f, 1.0 - f * q - f * f};
    const Matrix2 identity{1.0, 0.0, 0.0, 1.0};
    const Matrix2 m2 = m * m;
    const Matrix2 a = m2 * m;
    const Matrix2 sum = m2 + m + identity;
    const double b0 = sum.b * f, b1 = sum.d * f;  // (M^2 + M + I) (0, f)
    // S = (zI - A)^-1 Bx X
    const Complex p = z - a.a, r = z - a.d;
    const Complex det = p * r - a.b * a.c;
    const Complex s0 = (r * b0 + a.b * b1) / det;
    const Complex s1 = (Complex(a.c) * b0 + p * b1) / det;
    if (response == GenericFilter::LowPass) return z * s0;
    if (response == GenericFilter::BandPass) return z * s1;
    // After two updates: s2 = M^2 s + (M + I) B x; then hp = x - lp2 - (q + f) bp2.
    const Complex t0 = m2.a * s0 + m2.b * s1 + f * m.b;
    const Complex t1 = m2.c * s0 + m2.d * s1 + f * (m.d + 1.0);
    return 1.0 - t0 - (q + f) * t1;
}

Complex biquadResponse(const BiQuadFilter::Section& s, Complex z) {
    const Complex zi = 1.0 / z, zi2 = zi * zi;
    return (double(s.b0) + double(s.b1) * zi + double(s.b2) * zi2) / (1.0 + double(s.a1) * zi + double(s.a2) * zi2);
}

}  // namespace

FilterResponse::FilterResponse(float sampleRate) : environment_(64) {
    environment_.setSampleRate(sampleRate);
    design_ = std::make_unique<DesignFilter>(environment_, characteristics().at(0));
    clean_ = std::make_unique<BiQuadFilter>(environment_);
}

FilterResponse::~FilterResponse() = default;

void FilterResponse::setSampleRate(float rate) { environment_.setSampleRate(rate); }

float FilterResponse::magnitudeDb(const Setting& setting, float log2Hz) {
    float dB = 0.0f;
    magnitudesDb(setting, &log2Hz, &dB, 1);
    return dB;
}

void FilterResponse::magnitudesDb(const Setting& setting, const float* log2Hz, float* dB, int n) {
    const double rate = environment_.sampleRate();
    const double nyquist = 0.5 * rate * 0.999;
    const int slope = std::clamp(setting.slope, 1, 3);
    const int response = std::clamp(setting.response, 0, 2);
    const auto& list = characteristics();
    auto pointOnCircle = [&](float f) {
        const double hz = std::min(std::exp2(double(f)), nyquist);
        return std::polar(1.0, 2.0 * std::numbers::pi * hz / rate);
    };
    auto toDb = [](Complex h) { return float(20.0 * std::log10(std::max(std::abs(h), 1e-9))); };

    if (setting.characteristic < 0 || setting.characteristic >= list.size()) {
        clean_->response = response;
        clean_->slope = slope;
        BiQuadFilter::Section section;
        clean_->computeCoefficients(section, setting.frequency, setting.peak);
        const int sections = clean_->sectionCount();
        for (int i = 0; i < n; ++i) {
            const Complex h = biquadResponse(section, pointOnCircle(log2Hz[i]));
            dB[i] = toDb(std::pow(h, sections));
        }
        return;
    }
    design_->setCharacteristic(list.at(setting.characteristic));
    design_->response = response;
    design_->slope = slope;
    const StateVariableFilter::Coefficients c = design_->coefficients(setting.frequency, setting.peak);
    const int stages = design_->stageCount();
    // Input gain, drive, the clip's unit slope at zero and the output gain.
    const double gain = double(design_->inputGain()) * c.d * c.gOut;
    for (int i = 0; i < n; ++i) {
        const Complex z = pointOnCircle(log2Hz[i]);
        Complex h = gain;
        for (int s = 0; s < stages; ++s) h *= stageResponse(c.f, c.q[s], response, z);
        dB[i] = toDb(h);
    }
}
