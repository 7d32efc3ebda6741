#pragma once

#include <vector>

// A real function of one real variable, to be tabulated.
class FunctionTableFunction {
public:
    virtual ~FunctionTableFunction() = default;
    virtual double evaluate(double x) const = 0;
};

// A function tabulated over a closed interval [lo, hi] with N entries (N a power of two, at least the
// size requested) and linear interpolation. Lookups clamp their argument to the table's domain, so an
// argument outside it reads the nearest end instead of wrapping around. Built once on a set-up
// thread; lookups are read-only and real-time safe.
class FunctionTable {
public:
    FunctionTable() = default;
    FunctionTable(int sizeRequest, const FunctionTableFunction& function, float a, float b) {
        build(sizeRequest, function, a, b);
    }

    void build(int sizeRequest, const FunctionTableFunction& function, float a, float b);

    // Interpolated value at x (the coefficient tables' lookup).
    float lookup(float x) const {
        float t = x * scale_ - static_cast<float>(offset_);
        t = t >= 0.0f ? (t > last_ ? last_ : t) : 0.0f;  // also maps NaN to the low end
        int i = static_cast<int>(t);
        return values_[i] + (values_[i + 1] - values_[i]) * (t - static_cast<float>(i));
    }

    // The clip stage's lookup: the same value, with the index split into integer and fractional
    // offset parts so that large arguments keep their precision.
    float clipLookup(float x) const;

    int size() const { return size_; }
    float lo() const { return lo_; }
    float hi() const { return hi_; }
    float scale() const { return scale_; }
    double offset() const { return offset_; }
    int offsetInteger() const { return offsetInteger_; }
    float offsetFraction() const { return offsetFraction_; }
    const std::vector<float>& values() const { return values_; }

private:
    int size_ = 0;
    float lo_ = 0.0f;
    float hi_ = 0.0f;
    float scale_ = 0.0f;
    double offset_ = 0.0;
    int offsetInteger_ = 0;
    float offsetFraction_ = 0.0f;
    float last_ = 0.0f;  // largest table position, N - 1
    std::vector<float> values_;
};
