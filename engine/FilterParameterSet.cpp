#include "engine/FilterParameterSet.h"

#include "framework/ParameterUnits.h"
#include "wave/filters/MultiDesignFilter.h"

namespace {
float panToDisplay(float octaves) {
    return octaves * 0.2857143f;
}
float panFromDisplay(float display) {
    return display * 3.5f;
}
}  // namespace

FilterParameterSet::FilterParameterSet(GenericParameterOwner* owner, ModulationMatrixOwner* matrixOwner,
                                       const std::string& name, int firstTarget)
    : PluginParameterSet(owner, name),
      freq(this, parameterName(" Freq"), matrixOwner, firstTarget),
      pan(this, parameterName(" Pan"), matrixOwner, firstTarget + 1),
      peak(this, parameterName(" Peak"), matrixOwner, firstTarget + 2),
      characteristic(this, parameterName(" Characteristic")),
      response(this, parameterName(" Response")),
      slope(this, parameterName(" Slope")),
      enabled(this, parameterName(" Enabled")) {}

void FilterParameterSet::configure() {
    freq.setRange(0.0f, 1.0f, 1.0f);
    freq.setEngineRange(modulationlayout::kLowestFilterOctave, modulationlayout::kHighestFilterOctave);
    freq.setUnit(&ExpFreqParameterUnit::instance());
    freq.setValue(1.0f, 0);
    freq.setHelpText(
        "The cut-off frequency of this filter. Fully open, a low pass leaves the echoes untouched.");

    pan.setRange(-3.5f, 3.5f, 0.0f);
    pan.setDisplayFunctions(panToDisplay, panFromDisplay);
    pan.setValue(0.0f, 0);
    pan.setHelpText(
        "Spreads the cut-off of the two channels apart: one channel's filter moves up while the "
        "other's moves down.");

    peak.setRange(0.0f, 1.0f, 0.0f);
    peak.setValue(0.0f, 0);
    peak.setHelpText(
        "The resonance of this filter. High values emphasise the cut-off frequency and can make the "
        "filter ring.");

    characteristic.setIndexRange(0, 10, 1);
    characteristic.setItemNames(MultiDesignFilter::kCharacteristicNames);
    characteristic.setHelpText(
        "The character of the filter, from smooth and gentle to raw and overdriven. Clean "
        "is a plain filter without colouring.");

    response.setIndexRange(0, 2, 0);
    response.setItemNames("LP,HP,BP");
    response.setHelpText(
        "Low pass removes highs, high pass removes lows, band pass keeps a band around the "
        "cut-off.");

    slope.setIndexRange(1, 3, 1);
    slope.setItemNames("12,24,48");
    slope.setHelpText("How steeply the filter cuts beyond its cut-off, in decibels per octave.");

    enabled.setIndexRange(0, 1, 1);
    enabled.setItemNames("Disabled,Enabled");
    enabled.setHelpText("Switches this filter in or out of all filter sections.");
}
