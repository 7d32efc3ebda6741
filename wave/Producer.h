#pragma once

#include "wave/Environment.h"
#include "wave/SampleBuffer.h"

namespace wave {

// Flags of produce, process, filter and produceOutputs.
enum ProduceFlags : int {
    OutputNotNeeded = 1,  // keep time and state advancing, the output of this cycle is undefined
    ClosingPass = 2,      // the call comes from the environment's closing pass
};

// Output flags of a producer.
enum OutputFlags : int {
    ConstantBlock = 1,  // every sample of the current output block has the same value
};

// Common base of producers, multi-producers and filter sub-units.
class Component {
public:
    explicit Component(Environment& environment) : environment_(&environment) {}
    Environment& environment() const { return *environment_; }

protected:
    Environment* environment_;
};

// A graph node that computes one block of samples when pulled, at most once per cycle.
// Construction allocates everything the node needs; produce touches nothing outside the node.
class Producer : public Component {
public:
    enum ClosingPassPosition { Front = 0, AfterFront = 1, Back = 2 };

    explicit Producer(Environment& environment, bool ownBuffer = true);
    virtual ~Producer();
    Producer(const Producer&) = delete;
    Producer& operator=(const Producer&) = delete;

    // Computes count samples into buffer; forwards to produce.
    virtual void process(SampleBuffer& buffer, int count, int flags) { produce(buffer, count, flags); }
    virtual void produce(SampleBuffer& buffer, int count, int flags) = 0;
    // Clears delay memories, filter states and envelopes; called from the environment's reset.
    virtual void reset() {}

    // The pull protocol: computes this cycle's output unless it is current or not needed, then
    // answers the samples. Audio thread.
    const float* pull(int count, int flags) {
        if (cycleStamp_ != environment_->cycleStamp() && !(flags & OutputNotNeeded)) {
            currentOutput_ = &ownBuffer_;
            produce(ownBuffer_, count, flags);
            cycleStamp_ = environment_->cycleStamp();
        }
        return currentOutput_->samples();
    }
    // Pulls a producer that may be absent: a missing one yields null samples.
    static const float* pull(Producer* producer, int count, int flags) {
        return producer ? producer->pull(count, flags) : nullptr;
    }

    // Set-up operations, called while the graph is built and by the modulation lists.
    void addToClosingPass(int position);
    void addToResetList();
    void setEnabled(bool enabled);

    bool enabled() const { return enabled_; }
    bool inClosingPass() const { return inClosingPass_; }
    bool inResetList() const { return inResetList_; }
    int closingPassPosition() const { return closingPassPosition_; }
    int cycleStamp() const { return cycleStamp_; }
    int outputFlags() const { return outputFlags_; }
    bool isConstant() const { return outputFlags_ & ConstantBlock; }
    // The current output block is all zeros (either sign); valid once this cycle's output is current.
    bool isSilent() const { return (outputFlags_ & ConstantBlock) && currentOutput_->samples()[0] == 0.0f; }
    // Answers silence with the environment's zero buffer.
    void publishSilence() {
        currentOutput_ = &environment_->zeroBuffer();
        outputFlags_ = ConstantBlock;
    }
    SampleBuffer& ownBuffer() { return ownBuffer_; }
    SampleBuffer* currentOutput() const { return currentOutput_; }
    const float* samples() const { return currentOutput_->samples(); }

    // Publishes a buffer as this cycle's output without computing (silence, pass-through).
    void setCurrentOutput(SampleBuffer* buffer) { currentOutput_ = buffer; }
    void setCycleStamp(int stamp) { cycleStamp_ = stamp; }
    void markCurrent() { cycleStamp_ = environment_->cycleStamp(); }
    void setOutputFlags(int flags) { outputFlags_ = flags; }

private:
    friend class Environment;

    SampleBuffer ownBuffer_;
    int closingPassPosition_ = Front;
    int outputFlags_ = 0;
    bool enabled_ = true;
    bool inClosingPass_ = false;
    bool inResetList_ = false;
    int cycleStamp_ = 0;
    SampleBuffer* currentOutput_;
};

// The input connection of a filter: the source producer (may be null) and the mask applied to the
// flags with which the source is pulled.
class Consumer {
public:
    Producer* input() const { return input_; }
    void setInput(Producer* producer) { input_ = producer; }
    int inputFlagMask() const { return inputFlagMask_; }
    void setInputFlagMask(int mask) { inputFlagMask_ = mask; }

protected:
    Producer* input_ = nullptr;
    int inputFlagMask_ = 3;
};

class FilterBase : public Producer {
public:
    using Producer::Producer;
};

// A producer with one input: produce pulls the input, then filters it.
class Filter : public FilterBase, public Consumer {
public:
    using FilterBase::FilterBase;

    void produce(SampleBuffer& output, int count, int flags) override {
        const float* in = Producer::pull(input_, count, flags & inputFlagMask_);
        filter(in, output, count, flags);
    }
    // input is null when no input is connected.
    virtual void filter(const float* input, SampleBuffer& output, int count, int flags) = 0;
};

// A producer without a graph input.
class Source : public Producer {
public:
    using Producer::Producer;
};

// Tells a volume filter when its output is silent regardless of its input.
class MuteController {
public:
    virtual ~MuteController() = default;
    virtual bool isMuted(SampleBuffer& output, int count, int flags) = 0;
};

}  // namespace wave
