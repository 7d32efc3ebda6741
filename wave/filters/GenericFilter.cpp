#include "wave/filters/GenericFilter.h"

#include <cmath>
#include <cstring>

#include "core/FloatEpsilon.h"
#include "wave/filters/StateVariableFilter.h"

GenericFilter::GenericFilter(wave::Environment& environment)
    : wave::Filter(environment),
      peakMultiplierEnabled(nullptr, false),
      response(nullptr, LowPass),
      slope(nullptr, Slope12),
      frequencySource_(environment, 20.0f),
      wetSource_(environment, 1.0f),
      peakSource_(environment, 0.0f),
      frequency_(&frequencySource_),
      wet_(&wetSource_),
      peak_(&peakSource_) {
    wetSource_.setRange(0.0f, 1.0f);
    peakSource_.setRange(0.0f, 1.0f);
    addToResetList();
}

GenericFilter::~GenericFilter() { leaveGroup(); }

void GenericFilter::joinGroup(StateVariableFilter* group) {
    if (group == group_) return;
    leaveGroup();
    if (group) group->addClient(this);
    group_ = group;
}

void GenericFilter::leaveGroup() {
    if (group_) group_->removeClient(this);
    group_ = nullptr;
}

const GenericFilter::Lane& GenericFilter::queryLane(int count) {
    const float* in = Producer::pull(input_, count, 0);
    if (in) {
        inputBuffer_ = input_->currentOutput();
        inputFlags_ = input_->outputFlags();
    } else {
        inputBuffer_ = &environment().zeroBuffer();
        inputFlags_ = wave::ConstantBlock;
    }
    lane_.input = inputBuffer_->samples();
    lane_.silent = (inputFlags_ & wave::ConstantBlock) && lane_.input[0] == 0.0f;
    lane_.frequency = frequency_->pull(count, 0);
    lane_.peak = peak_->pull(count, 0);
    lane_.peakMultiplier =
        peakMultiplierEnabled.get() && peakMultiplier_ ? peakMultiplier_->pull(count, 0) : nullptr;
    lane_.constant = frequency_->isConstant() && peak_->isConstant();
    wetBlock_ = wet_->pull(count, 0);
    wetConstant_ = wet_->isConstant();
    lane_.active = !(wetConstant_ && std::fabs(wetBlock_[0]) <= kFloatEpsilon);
    return lane_;
}

void GenericFilter::applyWetDry(SampleBuffer& filtered, int count, bool constant) {
    if (!lane_.active) {
        passThrough();  // disabled: the output is the input block itself
        return;
    }
    if (wetConstant_ && std::fabs(wetBlock_[0] - 1.0f) <= kFloatEpsilon) {
        setCurrentOutput(&filtered);
        setOutputFlags(constant ? wave::ConstantBlock : 0);
    } else {
        const float* in = lane_.input;
        const float* f = filtered.samples();
        const float* w = wetBlock_;
        float* out = ownBuffer().samples();
        for (int i = 0; i < count; ++i) out[i] = in[i] + (f[i] - in[i]) * w[i];
        setCurrentOutput(&ownBuffer());
        setOutputFlags(0);
    }
    markCurrent();
}

void GenericFilter::passThrough() {
    setCurrentOutput(inputBuffer_);
    setOutputFlags(inputFlags_);
    markCurrent();
}

void GenericFilter::filter(const float*, SampleBuffer& output, int count, int flags) {
    if (flags & wave::OutputNotNeeded) return;
    if (group_) {
        group_->response.set(response.get());
        group_->slope.set(slope.get());
        group_->processGroup(count);
        return;
    }
    const Lane& lane = queryLane(count);
    if (lane.active && unit_ && lane.silent && unit_->atRest()) {
        // Nothing in, nothing ringing: the filter's output is the silent input.
        std::memset(output.samples(), 0, sizeof(float) * count);
        applyWetDry(output, count, true);
    } else if (lane.active && unit_) {
        unit_->response.set(response.get());
        unit_->slope.set(slope.get());
        unit_->process(lane.input, output.samples(), lane.frequency, lane.peak, lane.peakMultiplier, count,
                       lane.constant);
        applyWetDry(output, count);
    } else {
        passThrough();  // disabled, or no unit to filter with
    }
}

void GenericFilter::reset() {
    if (group_) {
        group_->reset();
    } else if (unit_) {
        unit_->reset();
    }
}
