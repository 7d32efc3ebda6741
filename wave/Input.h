#pragma once

#include "wave/Producer.h"

namespace wave {

// Feeds host samples into the graph. The frame points it at a host channel buffer before each host
// block; the sub-blocks of that block are pulled in order and read the buffer consecutively.
class Input : public Producer {
public:
    explicit Input(Environment& environment) : Producer(environment) {}

    // Audio thread, before the sub-blocks of a host block.
    void setSource(const float* samples, int remaining) {
        readPointer_ = samples;
        remaining_ = remaining;
    }
    const float* readPointer() const { return readPointer_; }
    int remaining() const { return remaining_; }

    void produce(SampleBuffer& output, int count, int flags) override;

private:
    const float* readPointer_ = nullptr;
    int remaining_ = 0;
};

}  // namespace wave
