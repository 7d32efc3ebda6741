#pragma once

#include <algorithm>

#include "wave/Producer.h"

namespace wave {

// Sums a node's inputs, each scaled by its gain block, into the node's output block. A first input
// with a constant gain of 1 is kept by pointer and copied only when a second one arrives, so that a
// single such input passes through without a copy. Callers leave out inputs whose gain is
// constantly (almost) 0 before pulling them; silent inputs are left out here. Audio thread.
class WeightedSum {
public:
    WeightedSum(SampleBuffer& output, int count) : out_(output.samples()), count_(count) {}

    void add(Producer& input, const float* x, const float* gain, bool constantGain) {
        if (input.isSilent()) return;  // adds nothing
        if (contributing_ == 0 && constantGain && gain[0] == 1.0f) {
            single_ = &input;
            singleSamples_ = x;
            ++contributing_;
            return;
        }
        if (single_) {
            std::copy(singleSamples_, singleSamples_ + count_, out_);
            single_ = nullptr;
        }
        if (contributing_ == 0) {
            for (int k = 0; k < count_; ++k) out_[k] = x[k] * gain[k];
        } else {
            for (int k = 0; k < count_; ++k) out_[k] += x[k] * gain[k];
        }
        ++contributing_;
    }

    // Publishes the result as node's output: the zero buffer without inputs, the passed-through
    // input's block, or the summed block.
    void publish(Producer& node) const {
        if (contributing_ == 0) {
            node.publishSilence();
        } else if (single_) {
            node.setCurrentOutput(single_->currentOutput());
            node.setOutputFlags(single_->outputFlags());
        } else {
            node.setOutputFlags(0);
        }
    }

private:
    float* out_;
    int count_;
    int contributing_ = 0;
    Producer* single_ = nullptr;
    const float* singleSamples_ = nullptr;
};

}  // namespace wave
