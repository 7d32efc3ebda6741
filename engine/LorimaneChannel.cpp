#include "engine/LorimaneChannel.h"

#include "engine/LorimanePlugin.h"
#include "modulation/ModulationMatrix.h"
#include "wave/filters/BiQuadFilter.h"

namespace {
namespace layout = modulationlayout;
constexpr int kInputLevelTarget = layout::target(layout::MixTargets, 0, layout::InputLevel);
}

// --- FilterCombo ---------------------------------------------------------------------------------

LorimaneChannel::FilterCombo::FilterCombo(LorimanePlugin& plugin, int channelIndex)
    : routing(this, RoutingSerial),
      channelIndex_(channelIndex),
      filter1_(plugin.parallelUnit(0)),
      filter2_(plugin.parallelUnit(1)),
      parallelSum_(plugin.environment(), 2),
      plugin_(plugin),
      idleWet_(plugin.environment(), 0.0f) {
    ModulationMatrix& matrix = plugin.matrix();
    for (int f = 0; f < 2; ++f) {
        MultiDesignFilter& filter = this->filter(f);
        filter.addOwnUnit(std::make_unique<BiQuadFilter>(plugin.environment()));
        filter.setFrequencyInput(&plugin.filterFrequencyController(f).output(channelIndex));
        filter.setPeakInput(matrix.getTargetController(12 + 3 * f));
        filter.setPeakMultiplier(&plugin.filterAnalyzer());
    }
    parallelSum_.setInput(0, &filter1_, 0.5f);
    parallelSum_.setInput(1, &filter2_, 0.5f);
    reconnect();
}

void LorimaneChannel::FilterCombo::setInput(wave::Producer* input) {
    input_ = input;
    reconnect();
}

wave::Producer* LorimaneChannel::FilterCombo::output() {
    switch (routing.get()) {
        case RoutingParallel:
            return &parallelSum_;
        case RoutingPerChannel:
            return channelIndex_ == 0 ? static_cast<wave::Producer*>(&filter1_) : &filter2_;
        default:
            return &filter2_;
    }
}

void LorimaneChannel::FilterCombo::propertyChanged(AbstractProperty* property) {
    if (property == &routing) reconnect();
}

void LorimaneChannel::FilterCombo::reconnect() {
    filter1_.setWetInput(nullptr);
    filter2_.setWetInput(nullptr);
    switch (routing.get()) {
        case RoutingParallel:
            filter1_.setInput(input_);
            filter2_.setInput(input_);
            break;
        case RoutingPerChannel: {
            // Only this channel's filter reads the input. The other one stays a client of its filter
            // group, so its lane must count as idle rather than be filtered from a missing input.
            MultiDesignFilter& used = channelIndex_ == 0 ? filter1_ : filter2_;
            MultiDesignFilter& unused = channelIndex_ == 0 ? filter2_ : filter1_;
            used.setInput(input_);
            unused.setInput(nullptr);
            unused.setWetInput(&idleWet_);
            break;
        }
        default:
            filter1_.setInput(input_);
            filter2_.setInput(&filter1_);
            break;
    }
}

// --- LorimaneChannel ----------------------------------------------------------------------------

LorimaneChannel::LorimaneChannel(LorimanePlugin& plugin, int index)
    : GenericPlugin::Channel(plugin),
      index_(index),
      delayLine_(plugin.environment()),
      timeController_(plugin.environment(), plugin.matrix().getTargetController(layout::target(layout::DelayTargets, index, layout::DelayTime)),
                      plugin.matrix().getTargetController(layout::target(layout::DelayTargets, index, layout::DelayOffset))),
      dryGate_(plugin.environment()),
      feedbackCombo_(plugin, index),
      outputCombo_(plugin, index),
      freezeRouter_(plugin.environment(), 2),
      inputModeRouter_(plugin.environment(), 2),
      outputModeRouter_(plugin.environment(), 2),
      delayInputMixer_(plugin.environment(), 3),
      delayPanMixer_(plugin.environment(), 2),
      dryWetMixer_(plugin.environment(), 2),
      auditionRouter_(plugin.environment(), 3),
      plugin_(plugin),
      delayLevel_(plugin.environment()),
      filterLevel_(plugin.environment()),
      gainAdjuster_(plugin.environment()) {
    ModulationMatrix& matrix = plugin.matrix();
    MidSideConverter& encoder = plugin.inputConverter();
    MidSideConverter& decoder = plugin.outputConverter();

    // Input mode: the host channel, or mid (channel 0) or side (channel 1) of the encoded pair.
    if (index == 0)
        encoder.setFirstInput(&input());
    else
        encoder.setSecondInput(&input());
    inputModeRouter_.setInput(0, &input());
    inputModeRouter_.setInput(1, &encoder.output(index));
    plugin.inputPeakMixer().setInput(index, &input());
    plugin.sideChainPeakMixer().setInput(index, &sideChainInput());

    dryGate_.setInput(&inputModeRouter_);

    // Delay input: the channel signal, this channel's feedback, the other channel's feedback.
    delayInputMixer_.setInput(0, &inputModeRouter_);
    delayInputMixer_.setGain(0, matrix.getTargetController(kInputLevelTarget));
    delayInputMixer_.setInput(1, &gainAdjuster_);
    setFeedbackTargets(layout::target(layout::DelayTargets, index, layout::DelayFeedback),
                       layout::target(layout::DelayTargets, index, layout::DelayCrossFeedback));

    freezeRouter_.setInput(0, &delayInputMixer_);
    freezeRouter_.setInput(1, &delayLine_);
    delayLine_.setInput(&freezeRouter_);
    delayLine_.setDelayTime(&timeController_);

    feedbackCombo_.setInput(&delayLine_);
    delayLevel_.mode.set(SignalSmoother::Rectify);
    delayLevel_.frequency.set(5.0f);
    delayLevel_.setInput(&delayLine_);
    filterLevel_.mode.set(SignalSmoother::Rectify);
    filterLevel_.frequency.set(5.0f);
    // Their reset also brings the coefficient to the current sample rate.
    delayLevel_.addToResetList();
    filterLevel_.addToResetList();
    gainAdjuster_.setLevelSource(&filterLevel_);
    gainAdjuster_.setReferenceSource(&delayLevel_);

    delayPanMixer_.setInput(0, &delayLine_);
    delayPanMixer_.setGain(0, &plugin.delayPanController(index).output(index));
    outputCombo_.setInput(&delayPanMixer_);

    dryWetMixer_.setInput(0, &dryGate_);
    dryWetMixer_.setGain(0, &plugin.dryController().output(index));
    dryWetMixer_.setGain(1, &plugin.wetController().output(index));
    if (index == 0)
        decoder.setFirstInput(&dryWetMixer_);
    else
        decoder.setSecondInput(&dryWetMixer_);

    outputModeRouter_.setInput(0, &dryWetMixer_);
    outputModeRouter_.setInput(1, &decoder.output(index));

    auditionRouter_.setInput(0, &outputModeRouter_);
    auditionRouter_.setInput(1, &input());
    auditionRouter_.setInput(2, &sideChainInput());
    setOutputProducer(&auditionRouter_);

    routingChanged();
}

void LorimaneChannel::connectTo(LorimaneChannel& other) {
    delayInputMixer_.setInput(2, &other.gainAdjuster_);
    delayPanMixer_.setInput(1, &other.delayLine_);
    delayPanMixer_.setGain(1, &plugin_.delayPanController(other.index_).output(index_));
}

void LorimaneChannel::setFeedbackTargets(int feedbackTarget, int crossFeedbackTarget) {
    ModulationMatrix& matrix = plugin_.matrix();
    delayInputMixer_.setGain(1, matrix.getTargetController(feedbackTarget));
    delayInputMixer_.setGain(2, matrix.getTargetController(crossFeedbackTarget));
}

void LorimaneChannel::routingChanged() {
    wave::Producer* feedback = feedbackCombo_.output();
    gainAdjuster_.setInput(feedback);
    filterLevel_.setInput(feedback);
    dryWetMixer_.setInput(1, outputCombo_.output());
}
