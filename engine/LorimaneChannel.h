#pragma once

#include "core/Property.h"
#include "engine/DelayTimeController.h"
#include "engine/EngineTypes.h"
#include "engine/Mixer.h"
#include "engine/Router.h"
#include "engine/StaticMixer.h"
#include "framework/GenericPlugin.h"
#include "wave/DelayLine.h"
#include "wave/FloatParameterSource.h"
#include "wave/GainAdjuster.h"
#include "wave/SignalSmoother.h"
#include "wave/VolumeFilter.h"
#include "wave/filters/MultiDesignFilter.h"

class LorimanePlugin;

// One processing channel of the delay (left or mid for channel 0, right or side for channel 1):
// input mode, dry gate, delay input with feedback and cross-feedback, freeze, delay line, the
// feedback filter section with its level control, delay pan, the output filter section, dry/wet
// mix, output mode and audition. The graph is built at construction and never changes shape.
class LorimaneChannel : public GenericPlugin::Channel {
public:
    // Two filters (filter 1 and filter 2 of the instance) routed serially, in parallel, or one per
    // channel.
    class FilterCombo : public PropertyOwner {
    public:
        FilterCombo(LorimanePlugin& plugin, int channelIndex);

        // Bound to "Filter Routing"; the combo reconnects its filters when it changes.
        Property<FilterRouting> routing;

        void setInput(wave::Producer* input);
        wave::Producer* input() const { return input_; }
        // The producer whose output is the combo's output under the current routing.
        wave::Producer* output();
        MultiDesignFilter& filter(int i) { return i == 0 ? filter1_ : filter2_; }
        StaticMixer& parallelSum() { return parallelSum_; }

        void propertyChanged(AbstractProperty* property) override;

    private:
        void reconnect();

        int channelIndex_;
        MultiDesignFilter filter1_;
        MultiDesignFilter filter2_;
        wave::Producer* input_ = nullptr;
        StaticMixer parallelSum_;
        LorimanePlugin& plugin_;
        // Wet amount of a filter left without input, so the filter group counts its lane as idle.
        FloatParameterSource idleWet_;
    };

    LorimaneChannel(LorimanePlugin& plugin, int index);

    // Construction: the connections to the other channel (its feedback and its delay line).
    void connectTo(LorimaneChannel& other);
    // Between blocks: the filter routing changed, so the level control and the dry/wet mixer follow
    // the combos' new outputs.
    void routingChanged();
    // Between blocks: where the delay line reads its time and which targets give the feedback gains.
    void setTimeSource(wave::Producer* time) { delayLine_.setDelayTime(time); }
    void setFeedbackTargets(int feedbackTarget, int crossFeedbackTarget);

    int index() const { return index_; }
    DelayLine& delayLine() { return delayLine_; }
    DelayTimeController& timeController() { return timeController_; }
    VolumeFilter& dryGate() { return dryGate_; }
    FilterCombo& feedbackCombo() { return feedbackCombo_; }
    FilterCombo& outputCombo() { return outputCombo_; }
    Router& freezeRouter() { return freezeRouter_; }
    Router& inputModeRouter() { return inputModeRouter_; }
    Router& outputModeRouter() { return outputModeRouter_; }
    Mixer& delayInputMixer() { return delayInputMixer_; }
    Mixer& delayPanMixer() { return delayPanMixer_; }
    Mixer& dryWetMixer() { return dryWetMixer_; }
    Router& auditionRouter() { return auditionRouter_; }
    GainAdjuster& gainAdjuster() { return gainAdjuster_; }

private:
    int index_;
    DelayLine delayLine_;
    DelayTimeController timeController_;
    VolumeFilter dryGate_;
    FilterCombo feedbackCombo_;
    FilterCombo outputCombo_;
    Router freezeRouter_;
    Router inputModeRouter_;
    Router outputModeRouter_;
    Mixer delayInputMixer_;
    Mixer delayPanMixer_;
    Mixer dryWetMixer_;
    Router auditionRouter_;
    LorimanePlugin& plugin_;
    SignalSmoother delayLevel_;
    SignalSmoother filterLevel_;
    GainAdjuster gainAdjuster_;
};
