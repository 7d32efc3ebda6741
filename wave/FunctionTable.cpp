#include "wave/FunctionTable.h"

#include <algorithm>
#include <cmath>

void FunctionTable::build(int sizeRequest, const FunctionTableFunction& function, float a, float b) {
    int n = 2;
    while (n < sizeRequest) n *= 2;
    size_ = n;
    values_.assign(n + 1, 0.0f);
    lo_ = std::min(a, b);
    hi_ = std::max(a, b);
    float step = (hi_ - lo_) / static_cast<float>(n - 1);
    scale_ = step != 0.0f ? 1.0f / step : 0.0f;

    values_[0] = static_cast<float>(function.evaluate(lo_));
    double x = lo_;
    for (int i = 1; i <= n - 2; ++i) {
        x += step;
        values_[i] = static_cast<float>(function.evaluate(x));
    }
    values_[n - 1] = static_cast<float>(function.evaluate(hi_));
    values_[n] = values_[n - 1];

    offset_ = hi_ != lo_ ? static_cast<double>(n - 1) * lo_ / (hi_ - lo_) : 0.0;
    double whole;
    offsetFraction_ = static_cast<float>(std::modf(offset_, &whole));
    offsetInteger_ = static_cast<int>(whole);
    last_ = static_cast<float>(n - 1);
}

float FunctionTable::clipLookup(float x) const {
    float t = x * scale_ - offsetFraction_;
    float i = std::floor(t);
    float position = i - static_cast<float>(offsetInteger_);
    if (!(position >= 0.0f)) return values_[0];
    if (position >= last_) return values_[size_ - 1];
    int index = static_cast<int>(position);
    return values_[index] + (values_[index + 1] - values_[index]) * (t - i);
}
