#include "engine/Router.h"

#include <cmath>

#include "core/FloatEpsilon.h"
#include "wave/WeightedSum.h"

Router::Router(wave::Environment& environment, int inputs) : wave::Source(environment), selected(this, 0), inputs_(inputs) {
    for (int i = 0; i < inputs; ++i) {
        inputs_[i].ramp = std::make_unique<SmoothedValue>(environment, i == 0 ? 1.0f : 0.0f);
        inputs_[i].ramp->setRange(0.0f, 1.0f);
    }
}

Router::~Router() = default;

void Router::setInput(int i, wave::Producer* input) {
    inputs_[i].input = input;
    inputs_[i].ramp->jumpTo(i == selected.get() ? 1.0f : 0.0f);
}

void Router::propertyChanged(AbstractProperty* property) {
    if (property != &selected) return;
    for (int i = 0; i < inputCount(); ++i) inputs_[i].ramp->rampTo(i == selected.get() ? 1.0f : 0.0f, kFadeMs);
}

void Router::produce(SampleBuffer& output, int count, int flags) {
    if (flags & wave::OutputNotNeeded) {
        for (Input& in : inputs_) in.ramp->skip(count);
        return;
    }
    wave::WeightedSum sum(output, count);
    for (Input& in : inputs_) {
        in.ramp->advance();
        bool constant = false;
        const float* r = in.ramp->render(count, constant);
        if (!in.input || (constant && std::fabs(r[0]) <= kFloatEpsilon)) continue;
        sum.add(*in.input, in.input->pull(count, 0), r, constant);
    }
    sum.publish(*this);
}
