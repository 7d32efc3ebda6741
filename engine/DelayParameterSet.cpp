#include "engine/DelayParameterSet.h"

#include "framework/ParameterUnits.h"
#include "framework/Tapers.h"

namespace {
const float kInvertFactors[] = {1.0f, -1.0f};
}

DelayParameterSet::DelayParameterSet(GenericParameterOwner* owner, ModulationMatrixOwner* matrixOwner,
                                     const std::string& name, int firstTarget)
    : PluginParameterSet(owner, name),
      time(this, parameterName(" Time"), matrixOwner, firstTarget),
      offset(this, parameterName(" Offset"), matrixOwner, firstTarget + 1),
      sync(this, parameterName(" Sync")),
      feedback(this, parameterName(" Feedback"), matrixOwner, firstTarget + 2),
      crossFeedback(this, parameterName(" Cross Feedback"), matrixOwner, firstTarget + 3),
      feedbackInvert(this, parameterName(" Feedback Invert")),
      pan(this, parameterName(" Pan"), matrixOwner, firstTarget + 4) {}

void DelayParameterSet::configure() {
    time.setRange(0.0f, 1.0f, 0.0f);
    time.setTaper(tapers::level, tapers::levelInverse);
    time.setEngineRange(5.0f, 5000.0f);
    time.setUnit(&MsParameterUnit::instance());
    time.setFormat("%.1f");
    float defaultTime = time.plainForEngineValue(350.0f);
    time.setRange(0.0f, 1.0f, defaultTime);
    time.setValue(defaultTime, 0);
    time.setHelpText(
        "The delay time of this delay line in free mode. Short times thicken the sound, long times "
        "give distinct echoes.");

    offset.setRange(-1.0f, 1.0f, 0.0f);
    offset.setTaper(tapers::exponentOfTwo, tapers::logarithmOfTwo);
    offset.setValue(0.0f, 0);
    offset.setHelpText(
        "Scales a tempo-synchronised delay time between half and double. It has no effect in free "
        "mode.");

    sync.setIndexRange(0, 4, 0);
    sync.setItemNames("Free,Two Notes,Note,Half Note,Quarter Note");
    sync.setHelpText("Free uses the time knob; a note value locks the delay time to the host's tempo.");

    // The engine scale reaches 2, as stored settings expect, but the feedback target's limits hold
    // the gain at 1, so the repeats never grow.
    feedback.setRange(0.0f, 1.0f, 0.0f);
    feedback.setTaper(tapers::level, tapers::levelInverse);
    feedback.setEngineRange(0.0f, 2.0f);
    feedback.setValue(0.0f, 0);
    feedback.setHelpText(
        "How much of this delay's filtered output returns into its own input. Higher values give "
        "more repeats.");

    crossFeedback.setRange(0.0f, 1.0f, 0.0f);
    crossFeedback.setTaper(tapers::level, tapers::levelInverse);
    crossFeedback.setEngineRange(0.0f, 1.0f);
    crossFeedback.setValue(0.0f, 0);
    crossFeedback.setHelpText(
        "How much of the other delay's filtered output feeds into this delay line, so echoes "
        "bounce between the channels.");

    feedbackInvert.setIndexRange(0, 1, 0);
    feedbackInvert.setItemNames("Normal,Inverted");
    feedbackInvert.setFactorTable(kInvertFactors);
    feedbackInvert.setHelpText(
        "Inverted flips the polarity of the signal this delay feeds back, which hollows out "
        "the repeats.");

    pan.setRange(-1.0f, 1.0f, 0.0f);
    pan.setValue(0.0f, 0);
    pan.setHelpText(
        "Moves this delay's output between the two channels. The centre sends it to its own channel "
        "and the other one.");
}
