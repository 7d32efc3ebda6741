#pragma once

#include <vector>

#include "core/NotifyEvent.h"
#include "wave/SampleBuffer.h"

namespace wave {

class Producer;

// What all graph nodes of one plug-in instance share: sample rate, maximum block length, the cycle
// stamp, a block of zeros, and the lists of producers that run in the closing pass of every cycle or
// are reset together. Audio thread, except construction and destruction.
class Environment {
public:
    explicit Environment(int maxBlockLength);
    ~Environment();
    Environment(const Environment&) = delete;
    Environment& operator=(const Environment&) = delete;

    // Raised after a real sample-rate change, once the graph is reset: owner handler first, then
    // the further handlers from the last registered to the first. The sender is this environment.
    NotifyEvent& sampleRateChanged() { return sampleRateChanged_; }

    int maxBlockLength() const { return maxBlockLength_; }
    float sampleRate() const { return sampleRate_; }
    int cycleStamp() const { return cycleStamp_; }
    int runningPosition() const { return runningPosition_; }
    int resetPosition() const { return resetPosition_; }
    int producerCount() const { return producerCount_; }
    int frontGroupCount() const { return frontGroupCount_; }
    const std::vector<Producer*>& closingPass() const { return closingPass_; }
    const std::vector<Producer*>& resetList() const { return resetList_; }
    SampleBuffer& zeroBuffer() { return zeroBuffer_; }

    // Starts a processing cycle: every producer's output becomes stale.
    void advanceCycle() { ++cycleStamp_; }
    // The closing pass: runs the producers of the closing-pass list unless flags bit 0 is set, then
    // advances the running position by count.
    void process(int count, int flags);
    // Resets every producer of the reset list and records the reset position.
    void reset();
    // Marks every ramped value settled without resetting producers (the frame's reset marker).
    void markResetPosition() { resetPosition_ = runningPosition_; }
    void setSampleRate(float rate);

private:
    friend class Producer;
    void producerConstructed();
    void producerDestroyed(Producer* producer);
    void insertIntoClosingPass(Producer* producer, int position);
    void removeFromClosingPass(Producer* producer);
    void appendToResetList(Producer* producer);
    void removeFromResetList(Producer* producer);

    NotifyEvent sampleRateChanged_;
    int maxBlockLength_;
    int producerCount_ = 0;
    int frontGroupCount_ = 0;
    std::vector<Producer*> closingPass_;
    std::vector<Producer*> resetList_;
    int resetPosition_ = 0;
    int runningPosition_ = 0;
    float sampleRate_ = 44100.0f;
    int cycleStamp_ = 0;
    SampleBuffer zeroBuffer_;
};

}  // namespace wave
