#include "framework/NumberFormat.h"

#include <cmath>
#include <cstdio>
#include <limits>

#include "core/FloatEpsilon.h"

namespace {

// Formats are set by code when parameters are configured, never taken from outside.
#pragma GCC diagnostic push
#pragma GCC diagnostic ignored "-Wformat-nonliteral"
std::string printOne(const char* format, double x) {
    char buffer[32];
    std::snprintf(buffer, sizeof buffer, format, x);
    return buffer;
}

std::string printWithPrecision(const char* format, int precision, double x) {
    char buffer[32];
    std::snprintf(buffer, sizeof buffer, format, precision, x);
    return buffer;
}
#pragma GCC diagnostic pop

std::string significantDigits(double x, const std::string& format) {
    std::size_t pos = 1;
    bool plus = pos < format.size() && format[pos] == '+';
    if (plus) ++pos;
    int digits = 0;
    while (pos < format.size() && format[pos] >= '0' && format[pos] <= '9') {
        digits = digits * 10 + (format[pos] - '0');
        ++pos;
    }
    std::string printf = std::string("%") + (plus ? "+" : "") + ".*" + format.substr(pos);

    int precision = digits;
    double threshold = 10.0 - 0.5 / std::pow(10.0, digits);
    double g = std::fabs(x);
    while (precision > 0 && g >= threshold) {
        g *= 0.1;
        --precision;
    }
    return printWithPrecision(printf.c_str(), precision, x);
}

}  // namespace

std::string formatNumber(double x, const std::string& format) {
    if (x >= std::numeric_limits<double>::infinity()) return "INF";
    if (x <= -std::numeric_limits<double>::infinity()) return "-INF";
    std::string text =
        !format.empty() && format[0] == '*' ? significantDigits(x, format) : printOne(format.c_str(), x);
    for (char c : text)
        if (c >= '1' && c <= '9') return text;
    if (!text.empty() && text[0] == '-') return text.substr(1);
    return text;
}

std::string formatFrequency(float hz) {
    const char* format = "%.3f";
    if (hz > 9999.95f)
        format = "%.0f";
    else if (hz > 999.995f)
        format = "%.1f";
    else if (hz > 99.9995f)
        format = "%.2f";
    return formatNumber(hz, format);
}

std::string formatDecibels(float db) {
    if (std::fabs(db) <= kFloatEpsilon) return "0.00";
    if (db <= -179.9f) return "-INF";
    return formatNumber(db, "%+.2f");
}
