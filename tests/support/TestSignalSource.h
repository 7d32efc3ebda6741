#pragma once

#include <functional>
#include <utility>

#include "wave/Producer.h"

// Plays a signal given as a function of the sample index; optionally marks every block constant.
class TestSignalSource : public wave::Source {
public:
    TestSignalSource(wave::Environment& environment, std::function<float(long)> signal, bool constant = false)
        : wave::Source(environment), signal_(std::move(signal)), constant_(constant) {}

    void setSignal(std::function<float(long)> signal) { signal_ = std::move(signal); }

    void produce(SampleBuffer& output, int count, int) override {
        for (int i = 0; i < count; ++i) output[i] = signal_(position_ + i);
        position_ += count;
        setOutputFlags(constant_ ? wave::ConstantBlock : 0);
    }

private:
    std::function<float(long)> signal_;
    bool constant_;
    long position_ = 0;
};
