#pragma once

#include <cmath>

#include "core/Property.h"
#include "wave/FloatParameterSource.h"
#include "wave/FunctionTable.h"
#include "wave/Producer.h"

// The audio delay of one channel: a mono ring with one write head and a read stage that follows a
// per-sample delay time. It reads during the normal pull and, in deferred write mode, writes its
// input in the environment's closing pass, after everything that reads it has run, so its input may
// depend on its own output (feedback) without any special scheduling.
//
// Two read styles: Tape glides the read position towards a new delay time (the pitch bends while the
// time changes); Stretch reads at unit speed in 85 ms grains, each started at the current delay time
// and cross-faded in over the previous one (the pitch never changes).
//
// Everything is allocated at construction; produce and reset neither allocate nor lock.
class DelayLine : public wave::Producer, public wave::Consumer, private PropertyOwner {
public:
    enum ReadType : int { Tape = 0, Stretch = 1 };
    // Display strings of ReadType, by index.
    static constexpr const char* kReadTypeNames = "Tape,Stretch";

    enum TimeUnit : int { Milliseconds = 0, Samples = 1 };
    enum WriteMode : int { Deferred = 0, Immediate = 1 };
    // How the last block was read: by block copies at a constant integer delay, or sample by sample.
    enum class ReadPath { None, BlockCopy, Tape, Stretch };

    static constexpr int kMaxDelaySamples = 960000;  // 5000 ms at 192 kHz
    static constexpr float kMaxDelayMs = 5000.0f;
    static constexpr float kGrainMs = 85.0f;
    static constexpr float kGlideHz = 5.0f;

    // The weight of the fading grain over a cross-fade, A running from 1 down to 0: the gain curve
    // of the level controls.
    class FadeFunction : public FunctionTableFunction {
    public:
        double evaluate(double a) const override;
    };
    // The fade curve tabulated over [0, 1], shared by all delay lines and built on first use.
    static const FunctionTable& fadeTable();

    explicit DelayLine(wave::Environment& environment);

    Property<int> timeUnit;             // TimeUnit: milliseconds (default) or samples; sets the
                                        // internal source's range at once
    Property<bool> smoothDelayChanges;  // glide towards a new delay time; default on
    Property<ReadType> readType;        // read at every block; default Tape

    // The delay-time signal, one value per sample in timeUnit; null restores the internal source.
    void setDelayTime(wave::Producer* producer) { delayTime_ = producer ? producer : &timeSource_; }
    wave::Producer* delayTime() const { return delayTime_; }
    // The internal constant delay-time source, range 0 to 5000 ms or 0 to 960000 samples.
    FloatParameterSource& delayTimeSource() { return timeSource_; }

    void setWriteMode(int mode) { writeMode_ = mode; }
    int writeMode() const { return writeMode_; }

    // Audio thread. Never blocks or allocates. In the closing pass (flags bit 1) it writes its input
    // (deferred mode) and reads nothing; otherwise it reads count samples unless flags bit 0 is set.
    void produce(SampleBuffer& output, int count, int flags) override;
    // Audio thread, or between processing calls. Hides the ring's contents (they are not cleared),
    // restarts the glide at the next target and the grains at the next Stretch read.
    void reset() override;

    int ringLength() const { return ringLength_; }
    int writePosition() const { return writePosition_; }
    int filled() const { return filled_; }
    int crossFadeLength() const { return crossFadeLength_; }
    float glideCoefficient() const { return glideF_; }
    ReadPath lastReadPath() const { return lastReadPath_; }
    // The ring as stored, read-only: samples 0 .. filled() - 1 of ringLength() hold what was written
    // since the last reset. For checks and displays between processing calls.
    const float* ringSamples() const { return ring_.samples(); }

private:
    void propertyChanged(AbstractProperty* property) override;
    void write(int count, int flags);
    void read(float* out, int count);
    void copyBlock(float* out, int count, int delay) const;
    void readSilence(float* out, int count);
    bool grainsSettledAt(int start) const;
    void advanceSettledGrains(int start, int count);
    void fillDelayBuffer(const float* time, int count, float scale);
    void readTape(float* out, int count);
    void readStretch(float* out, int count);
    int targetSamples(float time, float scale) const;
    // Keeps a delay inside the ring; NaN and negative delays become 0.
    float limitDelay(float delay) const {
        float d = delay > 0.0f ? delay : 0.0f;
        return d < maxDelay_ ? d : maxDelay_;
    }
    int wrap(int index) const { return index >= ringLength_ ? index - ringLength_ : index; }
    // Whether delays between nearest and farthest samples (interpolation neighbours included) read
    // only from the silence written last, so that the block is silent without reading it.
    bool readsSilence(int nearest, int farthest, int count) const {
        return nearest > count && farthest + count + 1 <= silentRun_;
    }
    float ringAt(int index) const { return index < filled_ ? ring_[index] : 0.0f; }

    FloatParameterSource timeSource_;
    wave::Producer* delayTime_;
    int writeMode_ = Deferred;
    bool writing_ = false;  // the write is pulling the input, which may lead back here (feedback)

    SampleBuffer ring_;
    int ringLength_;
    float maxDelay_;            // longest delay in samples the ring can serve
    SampleBuffer delayBuffer_;  // delay of each sample of the current block, in samples
    int writePosition_ = 0;
    int readReference_ = 0;  // the write position at the start of the current block
    int filled_ = 0;
    int silentRun_ = 0;  // how many of the last samples written are silent (all of the ring after a reset)

    double glideLowPass_ = 0.0;
    double glideBandPass_ = 0.0;
    float glideF_ = 0.0f;
    float glideQ_ = 2.0f;
    bool glideRestart_ = true;

    int grain_ = -1;  // active grain, or -1 while no grain has started
    int grainPosition_[2] = {0, 0};
    int grainPhase_ = 0;  // samples into the current cross-fade
    int crossFadeLength_ = 1;
    const FunctionTable* fade_;

    ReadPath lastReadPath_ = ReadPath::None;
};
