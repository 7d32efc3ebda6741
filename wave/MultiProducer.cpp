#include "wave/MultiProducer.h"

namespace wave {

MultiProducer::Output::Output(MultiProducer& owner) : Producer(owner.environment(), false), owner_(owner) {}

void MultiProducer::Output::produce(SampleBuffer&, int count, int flags) { owner_.produceStep(count, flags); }

MultiProducer::MultiProducer(Environment& environment) : Component(environment) {
    for (int i = 0; i < kOutputCount; ++i) {
        buffers_[i].allocate(environment.maxBlockLength());
        outputs_[i] = std::make_unique<Output>(*this);
        currentOutputs_[i] = &buffers_[i];
    }
}

MultiProducer::~MultiProducer() = default;

void MultiProducer::produceStep(int count, int flags) {
    std::array<SampleBuffer*, kOutputCount> own;
    for (int i = 0; i < kOutputCount; ++i) {
        own[i] = &buffers_[i];
        currentOutputs_[i] = &buffers_[i];
    }
    produceOutputs(own, count, flags);
    int stamp = environment_->cycleStamp();
    for (int i = 0; i < kOutputCount; ++i) {
        outputs_[i]->setCurrentOutput(currentOutputs_[i]);
        outputs_[i]->setCycleStamp(stamp);
    }
}

}  // namespace wave
