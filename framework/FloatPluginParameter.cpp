#include "framework/FloatPluginParameter.h"

#include <algorithm>
#include <cmath>
#include <cstdlib>

#include "core/FloatEpsilon.h"
#include "framework/NumberFormat.h"
#include "framework/ParameterUnits.h"
#include "framework/Tapers.h"

namespace {

bool equalIgnoringCase(const std::string& a, const std::string& b) {
    if (a.size() != b.size()) return false;
    for (std::size_t i = 0; i < a.size(); ++i) {
        auto lower = [](char c) { return c >= 'A' && c <= 'Z' ? char(c - 'A' + 'a') : c; };
        if (lower(a[i]) != lower(b[i])) return false;
    }
    return true;
}

}  // namespace

FloatPluginParameter::DisplayMapping::DisplayMapping()
    : forward(tapers::identity), inverse(tapers::identity) {}

FloatPluginParameter::FloatPluginParameter(GenericParameterOwner* owner, std::string name)
    : AbstractPluginParameter(owner, std::move(name), Continuous),
      taper_(tapers::identity),
      taperInverse_(tapers::identity) {}

float FloatPluginParameter::displayToPlain(float display) const {
    return taperInverse_((display_.inverse(display) - engineOffset_) / engineScale_);
}

float FloatPluginParameter::plainToDisplay(float plain) const {
    return display_.forward(engineValue(plain));
}

float FloatPluginParameter::plainToNormalized(float plain) const {
    return (plain - minimum_) / (maximum_ - minimum_);
}

float FloatPluginParameter::normalizedToPlain(float normalized) const {
    return (maximum_ - minimum_) * normalized + minimum_;
}

bool FloatPluginParameter::textToPlain(const std::string& text, float& plain) const {
    plain = value();
    const char* start = text.c_str();
    while (*start == ' ') ++start;
    char* end = nullptr;
    double parsed = std::strtod(start, &end);
    if (end == start || std::isnan(parsed)) return false;

    const char* suffixStart = end;
    while (*suffixStart == ' ') ++suffixStart;
    const char* suffixEnd = suffixStart;
    while (*suffixEnd != '\0' && *suffixEnd != ' ') ++suffixEnd;
    std::string suffix(suffixStart, suffixEnd);

    float number = static_cast<float>(parsed);
    if (suffix == "%" && display_.unitLabel != "%") {
        plain = std::clamp(normalizedToPlain(number * 0.01f), minimum_, maximum_);
        return true;
    }
    if (!suffix.empty()) {
        if (unit_) {
            const FloatPluginParameterUnit::Suffix* entry = unit_->findSuffix(suffix);
            if (!entry) return false;
            number = entry->conversion(number * entry->factor);
        } else if (!equalIgnoringCase(suffix, display_.unitLabel)) {
            return false;
        }
    }
    float high = displayMaximum();
    float low = displayMinimum();
    // A range that shows no positive values (a gain up to 0 dB) reads typed magnitudes as negative.
    if (!(high > 0.0f)) number = -std::fabs(number);
    float display = std::clamp(number, low, high);
    float result = displayToPlain(display);
    if (std::isnan(result)) return false;
    plain = std::clamp(result, minimum_, maximum_);
    return true;
}

std::string FloatPluginParameter::plainToText(float plain) const {
    float display = plainToDisplay(plain);
    std::string text =
        display_.formatter ? display_.formatter(display) : formatNumber(display, display_.format);
    if (!display_.unitLabel.empty()) text += " " + display_.unitLabel;
    return text;
}

void FloatPluginParameter::setValue(float plain, int flags) {
    float clamped = std::clamp(plain, minimum_, maximum_);
    if (!(std::fabs(clamped - value()) > kFloatEpsilon)) return;
    value_.store(clamped, std::memory_order_relaxed);
    if (owner_) owner_->parameterChanged(index_, clamped, flags);
}

void FloatPluginParameter::setRange(float minimum, float maximum, float defaultValue) {
    minimum_ = minimum;
    maximum_ = maximum;
    default_ = defaultValue;
}

void FloatPluginParameter::setTaper(Function forward, Function inverse) {
    taper_ = forward ? forward : tapers::identity;
    taperInverse_ = inverse ? inverse : tapers::identity;
}

void FloatPluginParameter::setEngineRange(float low, float high) {
    engineScale_ = (high - low) / (maximum_ - minimum_);
    engineOffset_ = low - minimum_ * engineScale_;
}

void FloatPluginParameter::setDisplayFunctions(Function forward, Function inverse) {
    display_.forward = forward ? forward : tapers::identity;
    display_.inverse = inverse ? inverse : tapers::identity;
}

void FloatPluginParameter::setUnit(const FloatPluginParameterUnit* unit) {
    unit_ = unit;
    if (!unit) return;
    display_.unitLabel = unit->label();
    unit->apply(display_);
}

float FloatPluginParameter::displayMaximum() const {
    return std::max(plainToDisplay(maximum_), plainToDisplay(minimum_));
}

float FloatPluginParameter::displayMinimum() const {
    return std::min(plainToDisplay(maximum_), plainToDisplay(minimum_));
}
