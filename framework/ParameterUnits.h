#pragma once

#include <string>
#include <vector>

#include "framework/FloatPluginParameter.h"

// A unit that continuous parameters attach to: it sets up their display and lists the suffixes that
// typed text may carry. Units are process-wide singletons, read-only once created, shared by every
// parameter of every instance and never owned by them. Any thread.
class FloatPluginParameterUnit {
public:
    // A typed value with this suffix means conversion (value x factor) in display units.
    struct Suffix {
        std::string suffix;
        float factor;
        FloatPluginParameter::Function conversion;
    };

    virtual ~FloatPluginParameterUnit() = default;
    FloatPluginParameterUnit(const FloatPluginParameterUnit&) = delete;
    FloatPluginParameterUnit& operator=(const FloatPluginParameterUnit&) = delete;

    // Adjusts a parameter's display mapping; nothing in the base.
    virtual void apply(FloatPluginParameter::DisplayMapping& /*mapping*/) const {}

    // The first suffix, shown after the value.
    const std::string& label() const { return suffixes_.front().suffix; }
    const std::vector<Suffix>& suffixes() const { return suffixes_; }
    // The entry whose suffix equals the text ignoring letter case, or null.
    const Suffix* findSuffix(const std::string& text) const;

protected:
    explicit FloatPluginParameterUnit(std::vector<Suffix> suffixes) : suffixes_(std::move(suffixes)) {}

private:
    std::vector<Suffix> suffixes_;
};

class FreqParameterUnit : public FloatPluginParameterUnit {
protected:
    FreqParameterUnit();
};

// Hertz ("Hz", "kHz", "k"), shown by the frequency formatter.
class HzParameterUnit : public FreqParameterUnit {
public:
    static const HzParameterUnit& instance();
    void apply(FloatPluginParameter::DisplayMapping& mapping) const override;

private:
    HzParameterUnit() = default;
};

// Hertz for parameters whose engine value is log2 of the frequency.
class ExpFreqParameterUnit : public FreqParameterUnit {
public:
    static const ExpFreqParameterUnit& instance();
    void apply(FloatPluginParameter::DisplayMapping& mapping) const override;

private:
    ExpFreqParameterUnit() = default;
};

// Milliseconds ("ms"; "sec" and "s" are thousands).
class MsParameterUnit : public FloatPluginParameterUnit {
public:
    static const MsParameterUnit& instance();

private:
    MsParameterUnit();
};

// Seconds ("sec", "s"; "ms" are thousandths).
class SecParameterUnit : public FloatPluginParameterUnit {
public:
    static const SecParameterUnit& instance();

private:
    SecParameterUnit();
};

// Decibels ("dB"); "x" and "*" read a gain ratio.
class DBParameterUnitBase : public FloatPluginParameterUnit {
protected:
    DBParameterUnitBase();
};

// Decibels shown signed by the decibel formatter.
class DBParameterUnit : public DBParameterUnitBase {
public:
    static const DBParameterUnit& instance();
    void apply(FloatPluginParameter::DisplayMapping& mapping) const override;

private:
    DBParameterUnit() = default;
};

// Decibel ranges, shown with two decimals.
class DBRangeParameterUnit : public DBParameterUnitBase {
public:
    static const DBRangeParameterUnit& instance();
    void apply(FloatPluginParameter::DisplayMapping& mapping) const override;

private:
    DBRangeParameterUnit() = default;
};

// Engine value in octaves, shown and typed in semitones ("oct", "cents" and others convert).
class OctavesParameterUnit : public FloatPluginParameterUnit {
public:
    static const OctavesParameterUnit& instance();
    void apply(FloatPluginParameter::DisplayMapping& mapping) const override;

private:
    OctavesParameterUnit();
};

// Percent, shown with three significant digits.
class PercentParameterUnit : public FloatPluginParameterUnit {
public:
    static const PercentParameterUnit& instance();
    void apply(FloatPluginParameter::DisplayMapping& mapping) const override;

private:
    PercentParameterUnit();
};
