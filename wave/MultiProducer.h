#pragma once

#include <array>
#include <memory>

#include "wave/Producer.h"

namespace wave {

// Computes two output signals in one step. Pulling either output runs the step once per cycle and
// publishes both outputs.
class MultiProducer : public Component {
public:
    static constexpr int kOutputCount = 2;

    // One output signal; pulling it runs the owner's produce step.
    class Output : public Producer {
    public:
        explicit Output(MultiProducer& owner);
        void produce(SampleBuffer& buffer, int count, int flags) override;
        void reset() override { owner_.reset(); }
        MultiProducer& owner() const { return owner_; }

    private:
        MultiProducer& owner_;
    };

    explicit MultiProducer(Environment& environment);
    virtual ~MultiProducer();

    // Computes the outputs into the own buffers; may redirect currentOutputs() entries to other
    // buffers (the zero buffer, an input's buffer).
    virtual void produceOutputs(std::array<SampleBuffer*, kOutputCount>& buffers, int count, int flags) = 0;
    virtual void reset() {}

    Output& output(int i) { return *outputs_[i]; }
    std::array<SampleBuffer*, kOutputCount>& currentOutputs() { return currentOutputs_; }
    SampleBuffer& ownBuffer(int i) { return buffers_[i]; }

    // The produce step, run by whichever output is pulled first in a cycle.
    void produceStep(int count, int flags);

private:
    std::array<SampleBuffer, kOutputCount> buffers_;
    std::array<std::unique_ptr<Output>, kOutputCount> outputs_;
    std::array<SampleBuffer*, kOutputCount> currentOutputs_;
};

}  // namespace wave
