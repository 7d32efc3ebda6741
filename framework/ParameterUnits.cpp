#include "framework/ParameterUnits.h"

#include "framework/NumberFormat.h"
#include "framework/Tapers.h"

// The singletons are function statics, so any first use is safe; the library also creates them all
// while it loads (bottom of this file), and they live until it unloads.

namespace {

char lower(char c) {
    return c >= 'A' && c <= 'Z' ? char(c - 'A' + 'a') : c;
}

bool equalIgnoringCase(const std::string& a, const std::string& b) {
    if (a.size() != b.size()) return false;
    for (std::size_t i = 0; i < a.size(); ++i)
        if (lower(a[i]) != lower(b[i])) return false;
    return true;
}

using tapers::identity;

}  // namespace

const FloatPluginParameterUnit::Suffix* FloatPluginParameterUnit::findSuffix(const std::string& text) const {
    for (const Suffix& entry : suffixes_)
        if (equalIgnoringCase(entry.suffix, text)) return &entry;
    return nullptr;
}

FreqParameterUnit::FreqParameterUnit()
    : FloatPluginParameterUnit(
          {{"Hz", 1.0f, identity}, {"kHz", 1000.0f, identity}, {"k", 1000.0f, identity}}) {}

const HzParameterUnit& HzParameterUnit::instance() {
    static const HzParameterUnit unit;
    return unit;
}

void HzParameterUnit::apply(FloatPluginParameter::DisplayMapping& mapping) const {
    mapping.formatter = formatFrequency;
}

const ExpFreqParameterUnit& ExpFreqParameterUnit::instance() {
    static const ExpFreqParameterUnit unit;
    return unit;
}

void ExpFreqParameterUnit::apply(FloatPluginParameter::DisplayMapping& mapping) const {
    mapping.formatter = formatFrequency;
    mapping.forward = tapers::exponentOfTwo;
    mapping.inverse = tapers::logarithmOfTwo;
}

MsParameterUnit::MsParameterUnit()
    : FloatPluginParameterUnit(
          {{"ms", 1.0f, identity}, {"sec", 1000.0f, identity}, {"s", 1000.0f, identity}}) {}

const MsParameterUnit& MsParameterUnit::instance() {
    static const MsParameterUnit unit;
    return unit;
}

SecParameterUnit::SecParameterUnit()
    : FloatPluginParameterUnit({{"sec", 1.0f, identity}, {"s", 1.0f, identity}, {"ms", 0.001f, identity}}) {}

const SecParameterUnit& SecParameterUnit::instance() {
    static const SecParameterUnit unit;
    return unit;
}

DBParameterUnitBase::DBParameterUnitBase()
    : FloatPluginParameterUnit({{"dB", 1.0f, identity},
                                {"x", 1.0f, tapers::ratioToDecibel},
                                {"*", 1.0f, tapers::ratioToDecibel}}) {}

const DBParameterUnit& DBParameterUnit::instance() {
    static const DBParameterUnit unit;
    return unit;
}

void DBParameterUnit::apply(FloatPluginParameter::DisplayMapping& mapping) const {
    mapping.formatter = formatDecibels;
}

const DBRangeParameterUnit& DBRangeParameterUnit::instance() {
    static const DBRangeParameterUnit unit;
    return unit;
}

void DBRangeParameterUnit::apply(FloatPluginParameter::DisplayMapping& mapping) const {
    mapping.format = "%.2f";
}

OctavesParameterUnit::OctavesParameterUnit()
    : FloatPluginParameterUnit({{"semitones", 1.0f, identity},
                                {"semitone", 1.0f, identity},
                                {"octaves", 12.0f, identity},
                                {"octave", 12.0f, identity},
                                {"oct", 12.0f, identity},
                                {"notes", 1.0f, identity},
                                {"note", 1.0f, identity},
                                {"cents", 0.01f, identity},
                                {"cent", 0.01f, identity}}) {}

const OctavesParameterUnit& OctavesParameterUnit::instance() {
    static const OctavesParameterUnit unit;
    return unit;
}

void OctavesParameterUnit::apply(FloatPluginParameter::DisplayMapping& mapping) const {
    mapping.forward = tapers::octaveToSemitone;
    mapping.inverse = tapers::semitoneToOctave;
}

PercentParameterUnit::PercentParameterUnit() : FloatPluginParameterUnit({{"%", 1.0f, identity}}) {}

const PercentParameterUnit& PercentParameterUnit::instance() {
    static const PercentParameterUnit unit;
    return unit;
}

void PercentParameterUnit::apply(FloatPluginParameter::DisplayMapping& mapping) const {
    mapping.format = "*3f";
}

namespace {
[[maybe_unused]] const bool kUnitsCreated =
    (HzParameterUnit::instance(), ExpFreqParameterUnit::instance(), MsParameterUnit::instance(),
     SecParameterUnit::instance(), DBParameterUnit::instance(), DBRangeParameterUnit::instance(),
     OctavesParameterUnit::instance(), PercentParameterUnit::instance(), true);
}  // namespace
