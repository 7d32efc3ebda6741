#pragma once

#include <algorithm>
#include <array>
#include <memory>
#include <vector>

#include "AudioThreadGuard.h"
#include "framework/Tapers.h"
#include "modulation/InternalController.h"
#include "modulation/ModMatrixParamController.h"
#include "modulation/ModulationMatrix.h"
#include "modulation/ModulationMatrixPlugin.h"
#include "modulation/ModulationSlotParameterSetList.h"
#include "modulation/ModulationTargetParameter.h"
#include "wave/Producer.h"

// A source whose output the test sets: a constant block, or a per-sample signal.
class ControlSource : public wave::Source {
public:
    explicit ControlSource(wave::Environment& environment) : wave::Source(environment) {}

    void setConstant(float value) {
        value_ = value;
        wave_ = 0.0f;
    }
    // value + amplitude x sin (phase), the phase advancing by step per sample.
    void setWave(float value, float amplitude, float step) {
        value_ = value;
        wave_ = amplitude;
        step_ = step;
    }
    float at(long n) const { return value_ + wave_ * std::sin(step_ * float(n)); }

    void produce(SampleBuffer& output, int count, int) override {
        for (int i = 0; i < count; ++i) output[i] = at(position_ + i);
        position_ += count;
        setOutputFlags(wave_ == 0.0f ? wave::ConstantBlock : 0);
    }

private:
    float value_ = 0.0f;
    float wave_ = 0.0f;
    float step_ = 0.0f;
    long position_ = 0;
};

// The smallest plug-in with a matrix: the 24 slot sets, a few target parameters and a test source for
// every source number. Parameter changes reach the matrix through the frame's queue, as in the engine.
class MatrixTestPlugin : public ModulationMatrixPlugin {
public:
    static constexpr int kBlock = 32;

    MatrixTestPlugin() {
        initialize("MatrixTest");
        setSampleRate(48000.0f);
        matrix_ = std::make_unique<ModulationMatrix>(environment());
        configureMatrix(*matrix_);
        slots = std::make_unique<ModulationSlotParameterSetList>(this, this, sourceNames(), targetNames());

        delayTime = std::make_unique<ModulationTargetParameter>(this, "Delay 1 Time", this, 0);
        delayTime->setRange(0.0f, 1.0f, 0.0f);
        delayTime->setTaper(tapers::level, tapers::levelInverse);
        delayTime->setEngineRange(5.0f, 5000.0f);
        delayTime->setValue(delayTime->plainForEngineValue(350.0f), 0);

        filterPan = std::make_unique<ModulationTargetParameter>(this, "Filter 1 Pan", this, 11);
        filterPan->setRange(-3.5f, 3.5f, 0.0f);
        filterPan->setValue(0.0f, 0);

        for (int s = 0; s < ModulationMatrix::kSourceCount; ++s) {
            sources[std::size_t(s)] = std::make_unique<ControlSource>(environment());
            matrix_->setSourceProducer(s, sources[std::size_t(s)].get());
        }
        applyParameterChanges();
    }
    ~MatrixTestPlugin() override { matrix_.reset(); }

    std::string getChunkTag() const override { return "MTST"; }
    ModulationMatrix* getMatrix() override { return matrix_.get(); }
    ModulationMatrix& matrix() { return *matrix_; }
    ModMatrixParamController& controller() { return getController(); }
    ModulationSlotParameterSet& slot(int i) { return slots->slotSet(i); }
    // The buffer that a target's base ramp renders into.
    const float* baseBuffer(int target) {
        auto& record = const_cast<ModulationMatrix::TargetRecord&>(matrix_->targetRecord(target));
        return record.baseRamp.renderBuffer().samples();
    }
    ControlSource& source(int s) { return *sources[std::size_t(s)]; }

    // Makes the slot active in the list and connects it with the given level parameter value.
    void connect(int slot, int source, int target, float levelPlain = 1.0f) {
        if (slots->activeCount() <= slot) slots->numActiveParameter().setValue(float(slot + 1), 0);
        controller().connect(slot, source, target);
        this->slot(slot).level.setValue(levelPlain, 0);
    }

    // The audio thread's side: applies queued changes, then runs the samples in blocks, pulling the
    // target's controller; answers the last block's output.
    const float* run(int target, int samples = 9600, int block = kBlock) {
        auto* handle = matrix_->getTargetController(target);
        AudioThreadGuard guard;
        applyParameterChanges();
        const float* y = nullptr;
        for (int done = 0; done < samples; done += block) {
            int count = std::min(block, samples - done);
            environment().advanceCycle();
            y = handle->pull(count, 0);
            lastConstant = handle->isConstant();
            environment().process(count, 0);
        }
        allocations += guard.allocations();
        locks += guard.locks();
        return y;
    }
    float settled(int target) { return run(target)[kBlock - 1]; }
    bool realTimeSafe() const { return allocations == 0 && (!AudioThreadGuard::countsLocks() || locks == 0); }

    std::unique_ptr<ModulationSlotParameterSetList> slots;
    std::unique_ptr<ModulationTargetParameter> delayTime;
    std::unique_ptr<ModulationTargetParameter> filterPan;
    std::array<std::unique_ptr<ControlSource>, ModulationMatrix::kSourceCount> sources;
    bool lastConstant = false;
    long allocations = 0;
    long locks = 0;

private:
    std::unique_ptr<ModulationMatrix> matrix_;
};

// Source and target numbers used by the tests.
namespace numbers {
constexpr int kXY1Hor = 0, kXY1Ver = 1, kXLFO1 = 8, kXLFO2 = 9, kEG1 = 14, kEF1 = 20, kMidi1 = 24;
constexpr int kDelay1Time = 0, kFilter1Freq = 10, kFilter1Pan = 11, kXLFO1Freq = 16, kEG1Attack = 36,
              kDryLevel = 79, kDryPan = 80;
constexpr int slotLevel(int slot) {
    return 83 + slot;
}
}  // namespace numbers
