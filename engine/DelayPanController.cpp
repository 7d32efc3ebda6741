#include "engine/DelayPanController.h"

#include <algorithm>

void DelayPanController::produceOutputs(std::array<SampleBuffer*, kOutputCount>& buffers, int count, int flags) {
    if (flags & wave::OutputNotNeeded) return;
    const float* pan = wave::Producer::pull(pan_, count, 0);
    float* toFirst = buffers[0]->samples();
    float* toSecond = buffers[1]->samples();
    bool constant = !pan_ || pan_->isConstant();
    if (constant) {  // one pair of gains for the whole block, written once while it holds
        float p = pan ? pan[0] : 0.0f;
        if (filled_ < count || p != filledPan_) {
            std::fill(toFirst, toFirst + count, 1.0f - std::max(p, 0.0f));
            std::fill(toSecond, toSecond + count, 1.0f + std::min(p, 0.0f));
            filled_ = count;
            filledPan_ = p;
        }
        for (int o = 0; o < kOutputCount; ++o) output(o).setOutputFlags(wave::ConstantBlock);
        return;
    }
    filled_ = 0;
    for (int i = 0; i < count; ++i) {
        float p = pan ? pan[i] : 0.0f;
        toFirst[i] = 1.0f - std::max(p, 0.0f);
        toSecond[i] = 1.0f + std::min(p, 0.0f);
    }
    for (int o = 0; o < kOutputCount; ++o) output(o).setOutputFlags(0);
}
