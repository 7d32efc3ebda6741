#include "modulation/LevelPanTarget.h"

#include <algorithm>
#include <cmath>

#include "core/FloatEpsilon.h"

LevelPanTarget::LevelPanTarget(wave::Environment& environment, ModulationMatrix& matrix, int levelTarget,
                               int panTarget, int mode)
    : wave::Component(environment),
      firstOutput_(environment, 0.0f, false),
      levelTarget_(ModulationMatrix::validTarget(levelTarget) ? &matrix.targetRecord(levelTarget) : nullptr),
      levelTargetNumber_(levelTarget),
      mode_(mode),
      panTarget_(ModulationMatrix::validTarget(panTarget) ? &matrix.targetRecord(panTarget) : nullptr),
      panTargetNumber_(panTarget),
      secondOutput_(environment, 0.0f, false),
      matrix_(matrix) {
    matrix.setSecondaryTarget(levelTarget, this);
    matrix.setSecondaryTarget(panTarget, this);
    if (levelTarget_ && levelTarget_->kind) {
        firstOutput_.setRange(levelTarget_->kind->minimum, levelTarget_->kind->maximum);
        secondOutput_.setRange(levelTarget_->kind->minimum, levelTarget_->kind->maximum);
    }
    update();
}

LevelPanTarget::~LevelPanTarget() {
    matrix_.setSecondaryTarget(levelTargetNumber_, nullptr);
    matrix_.setSecondaryTarget(panTargetNumber_, nullptr);
}

void LevelPanTarget::update() {
    float level = levelTarget_ ? levelTarget_->baseValue : 0.0f;
    float pan = panTarget_ ? panTarget_->baseValue : 0.0f;
    if (mode_ == SumAndDifference) {
        firstOutput_.rampTo(level + pan);
        secondOutput_.rampTo(level - pan);
    } else {
        firstOutput_.rampTo(level * (1.0f - std::max(pan, 0.0f)));
        secondOutput_.rampTo(level * (1.0f + std::min(pan, 0.0f)));
    }
}

LevelPanTarget::VoiceController::VoiceController(LevelPanTarget& target)
    : wave::MultiProducer(target.environment()),
      level_(target.matrix().getTargetController(target.levelTargetNumber())),
      pan_(target.matrix().getTargetController(target.panTargetNumber())),
      target_(target) {}

void LevelPanTarget::VoiceController::produceOutputs(std::array<SampleBuffer*, kOutputCount>& buffers,
                                                     int count, int flags) {
    std::array<SampleBuffer*, kOutputCount>& current = currentOutputs();
    if (!level_ || !pan_) {
        for (int i = 0; i < kOutputCount; ++i) {
            current[std::size_t(i)] = &environment().zeroBuffer();
            output(i).setOutputFlags(wave::ConstantBlock);
        }
        return;
    }
    const float* pan = pan_->pull(count, flags);
    if (flags & wave::OutputNotNeeded) {
        level_->pull(count, flags);
        return;
    }
    if (pan_->isConstant() && std::fabs(pan[0]) <= kFloatEpsilon) {
        // Centred: both channels carry the modulated level itself.
        level_->pull(count, flags);
        for (int i = 0; i < kOutputCount; ++i) {
            current[std::size_t(i)] = level_->currentOutput();
            output(i).setOutputFlags(level_->outputFlags());
        }
        return;
    }
    ModulationMatrix& matrix = target_.matrix();
    if (!matrix.hasActiveSlots(target_.levelTargetNumber()) &&
        !matrix.hasActiveSlots(target_.panTargetNumber())) {
        for (int i = 0; i < kOutputCount; ++i) {
            FloatParameterSource& source = target_.output(i);
            source.pull(count, flags);
            current[std::size_t(i)] = source.currentOutput();
            output(i).setOutputFlags(source.outputFlags());
        }
        return;
    }
    const float* level = level_->pull(count, flags);
    float* first = buffers[0]->samples();
    float* second = buffers[1]->samples();
    if (target_.mode() == SumAndDifference) {
        for (int i = 0; i < count; ++i) {
            first[i] = level[i] + pan[i];
            second[i] = level[i] - pan[i];
        }
    } else {
        for (int i = 0; i < count; ++i) {
            first[i] = level[i] * (1.0f - std::max(pan[i], 0.0f));
            second[i] = level[i] * (1.0f + std::min(pan[i], 0.0f));
        }
    }
    int outputFlags = level_->isConstant() && pan_->isConstant() ? wave::ConstantBlock : 0;
    for (int i = 0; i < kOutputCount; ++i) output(i).setOutputFlags(outputFlags);
}
