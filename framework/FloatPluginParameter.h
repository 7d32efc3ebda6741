#pragma once

#include <atomic>
#include <string>

#include "framework/AbstractPluginParameter.h"

class FloatPluginParameterUnit;

// Continuous parameter. The plain value lies in [minimum, maximum]. The engine value is
// scale x taper (plain) + offset; the display value is the display function of the engine value,
// and the text is the display value formatted, followed by the unit label.
class FloatPluginParameter : public AbstractPluginParameter {
public:
    using Function = float (*)(float);
    using Formatter = std::string (*)(float);

    // How the display value is derived from the engine value and shown. Units adjust it.
    struct DisplayMapping {
        std::string format = "%.3f";
        Function forward;
        Function inverse;
        std::string unitLabel;
        Formatter formatter = nullptr;  // when set, replaces formatting with the format string
        DisplayMapping();
    };

    FloatPluginParameter(GenericParameterOwner* owner, std::string name);

    float displayToPlain(float display) const override;
    float plainToDisplay(float plain) const override;
    float plainToNormalized(float plain) const override;
    float normalizedToPlain(float normalized) const override;
    // [ui] Reads a number with an optional suffix: a unit suffix, or "%" for a share of the
    // range. False, with the current value written out, when the text cannot be read.
    bool textToPlain(const std::string& text, float& plain) const override;
    std::string plainToText(float plain) const override;
    float defaultValue() const override { return default_; }
    float maxValue() const override { return maximum_; }
    float minValue() const override { return minimum_; }
    // [any]
    float value() const override { return value_.load(std::memory_order_relaxed); }
    // [any] Clamps to the range; changes of no more than the float epsilon are dropped.
    // Never allocates.
    void setValue(float plain, int flags) override;
    bool isNumeric() const override { return true; }

    float engineValue(float plain) const { return engineScale_ * taper_(plain) + engineOffset_; }

    // Configuration. setRange is followed by setValue (default, 0) by the caller.
    void setRange(float minimum, float maximum, float defaultValue);
    void setTaper(Function forward, Function inverse);
    // Maps [minimum, maximum] linearly onto [low, high] after the taper. Call after setRange.
    void setEngineRange(float low, float high);
    void setDisplayFunctions(Function forward, Function inverse);
    void setFormat(std::string format) { display_.format = std::move(format); }
    void setUnitLabel(std::string label) { display_.unitLabel = std::move(label); }
    void setFormatter(Formatter formatter) { display_.formatter = formatter; }
    // Attaches a unit: its label becomes the unit label and it adjusts the display mapping.
    void setUnit(const FloatPluginParameterUnit* unit);

    const FloatPluginParameterUnit* unit() const { return unit_; }
    const DisplayMapping& displayMapping() const { return display_; }
    float engineScale() const { return engineScale_; }
    float engineOffset() const { return engineOffset_; }

    // What the editor shows: the display range, in either order of the plain range, and the text
    // of the current value.
    float displayMaximum() const;
    float displayMinimum() const;
    std::string currentText() const { return plainToText(value()); }

protected:
    DisplayMapping display_;
    Function taper_;
    Function taperInverse_;
    float engineOffset_ = 0.0f;
    float engineScale_ = 1.0f;
    const FloatPluginParameterUnit* unit_ = nullptr;
    float default_ = 0.0f;
    float maximum_ = 1.0f;
    float minimum_ = 0.0f;
    // Written by the editor, host and worker threads, read by all of them and the audio thread.
    std::atomic<float> value_{0.0f};
};
