#pragma once

#include <array>

#include "modulation/ModulationMatrix.h"
#include "wave/FloatParameterSource.h"
#include "wave/MultiProducer.h"

// Combines a level target and a pan target into two channel values. Mode 1 (sum and difference):
// level + pan and level - pan. Mode 0 (balance): level x (1 - max (pan, 0)) and level x (1 + min
// (pan, 0)). While nothing modulates the pair, two ramped values carry the result.
class LevelPanTarget : public ModulationMatrix::SecondaryTarget, public wave::Component {
public:
    enum Mode { Balance = 0, SumAndDifference = 1 };

    // The two channel signals, per sample from the modulated level and pan when slots modulate them.
    class VoiceController : public wave::MultiProducer {
    public:
        // Construction: fetches the two targets' controllers from the matrix.
        explicit VoiceController(LevelPanTarget& target);
        // Audio thread. Never blocks or allocates.
        void produceOutputs(std::array<SampleBuffer*, kOutputCount>& buffers, int count, int flags) override;

    private:
        ModulationMatrix::GlobalTargetController* level_;
        ModulationMatrix::GlobalTargetController* pan_;
        LevelPanTarget& target_;
    };

    // Registers itself as the secondary target of both targets.
    LevelPanTarget(wave::Environment& environment, ModulationMatrix& matrix, int levelTarget, int panTarget,
                   int mode);
    ~LevelPanTarget() override;

    // Audio thread. Ramps the two outputs to the values of the base level and pan.
    void update() override;

    FloatParameterSource& output(int i) { return i == 0 ? firstOutput_ : secondOutput_; }
    ModulationMatrix& matrix() const { return matrix_; }
    int levelTargetNumber() const { return levelTargetNumber_; }
    int panTargetNumber() const { return panTargetNumber_; }
    int mode() const { return mode_; }

private:
    FloatParameterSource firstOutput_;
    const ModulationMatrix::TargetRecord* levelTarget_;
    int levelTargetNumber_;
    int mode_;
    const ModulationMatrix::TargetRecord* panTarget_;
    int panTargetNumber_;
    FloatParameterSource secondOutput_;
    ModulationMatrix& matrix_;
};
