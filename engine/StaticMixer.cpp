#include "engine/StaticMixer.h"

void StaticMixer::produce(SampleBuffer& output, int count, int flags) {
    if (flags & wave::OutputNotNeeded) return;
    int connected = 0;
    const Input* only = nullptr;
    for (const Input& in : inputs_)
        if (in.input) {
            ++connected;
            only = &in;
        }
    if (connected == 0) {
        publishSilence();
        return;
    }
    if (connected == 1 && only->gain == 1.0f) {
        only->input->pull(count, 0);
        setCurrentOutput(only->input->currentOutput());
        setOutputFlags(only->input->outputFlags());
        return;
    }
    float* out = output.samples();
    bool first = true, constant = true;
    for (const Input& in : inputs_) {
        if (!in.input) continue;
        const float* x = in.input->pull(count, 0);
        if (in.input->isSilent()) continue;  // adds nothing
        constant = constant && in.input->isConstant();
        if (first) {
            for (int k = 0; k < count; ++k) out[k] = in.gain * x[k];
            first = false;
        } else {
            for (int k = 0; k < count; ++k) out[k] += in.gain * x[k];
        }
    }
    if (first)
        publishSilence();
    else
        setOutputFlags(constant ? wave::ConstantBlock : 0);
}
