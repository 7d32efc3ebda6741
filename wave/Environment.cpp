#include "wave/Environment.h"

#include <algorithm>
#include <cmath>

#include "core/FloatEpsilon.h"
#include "wave/Producer.h"

namespace wave {

Environment::Environment(int maxBlockLength) : maxBlockLength_(maxBlockLength), zeroBuffer_(maxBlockLength) {}

Environment::~Environment() = default;

void Environment::process(int count, int flags) {
    if (!(flags & OutputNotNeeded)) {
        for (Producer* p : closingPass_) {
            int position = p->closingPassPosition_;
            if (position == Producer::Front || p->cycleStamp_ != cycleStamp_) {
                p->currentOutput_ = &p->ownBuffer_;
                p->produce(p->ownBuffer_, count, position == Producer::Front ? ClosingPass : OutputNotNeeded);
                p->cycleStamp_ = cycleStamp_;
            }
        }
    }
    runningPosition_ += count;
}

void Environment::reset() {
    resetPosition_ = runningPosition_;
    for (Producer* p : resetList_) p->reset();
}

void Environment::setSampleRate(float rate) {
    float old = sampleRate_;
    sampleRate_ = rate;
    if (std::fabs(rate - old) > kFloatEpsilon) {
        reset();
        sampleRateChanged_.fire(this);
    }
}

void Environment::producerConstructed() {
    ++producerCount_;
    // Both lists can hold every producer in existence, so enabling one never reallocates.
    if (static_cast<int>(closingPass_.capacity()) < producerCount_) {
        size_t capacity = std::max<size_t>(producerCount_, closingPass_.capacity() * 2);
        closingPass_.reserve(capacity);
        resetList_.reserve(capacity);
    }
}

void Environment::producerDestroyed(Producer* producer) {
    removeFromClosingPass(producer);
    removeFromResetList(producer);
    --producerCount_;
}

void Environment::insertIntoClosingPass(Producer* producer, int position) {
    if (position == Producer::Front) {
        closingPass_.insert(closingPass_.begin(), producer);
        ++frontGroupCount_;
    } else if (position == Producer::AfterFront) {
        closingPass_.insert(closingPass_.begin() + frontGroupCount_, producer);
    } else {
        closingPass_.push_back(producer);
    }
}

void Environment::removeFromClosingPass(Producer* producer) {
    auto it = std::find(closingPass_.begin(), closingPass_.end(), producer);
    if (it == closingPass_.end()) return;
    closingPass_.erase(it);
    if (producer->closingPassPosition_ == Producer::Front) --frontGroupCount_;
}

void Environment::appendToResetList(Producer* producer) { resetList_.push_back(producer); }

void Environment::removeFromResetList(Producer* producer) { std::erase(resetList_, producer); }

}  // namespace wave
