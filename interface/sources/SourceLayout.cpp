#include "interface/sources/SourceLayout.h"

#include "engine/LorimanePlugin.h"

SourceLayout::SourceLayout(GenericPlugin& plugin) {
    auto* product = dynamic_cast<LorimanePlugin*>(&plugin);
    if (!product) return;
    sideChainInput_ = plugin.hasSideChain() && plugin.sideChainEnabled();

    for (int n = 0; n < product->xyControllers.getSetCount(); ++n) {
        XYParameterSet& s = product->xyControllers.set(n);
        xy_.push_back({s.hor.index(), s.ver.index()});
    }
    for (int n = 0; n < product->xlfos.getSetCount(); ++n) {
        XLFOParameterSet& s = product->xlfos.set(n);
        XLFO x;
        x.frequency = s.frequency.index();
        x.frequencyOffset = s.frequencyOffset.index();
        x.balance = s.balance.index();
        x.phaseOffset = s.phaseOffset.index();
        x.glide = s.glide.index();
        x.syncMode = s.syncMode.index();
        x.midiTrigger = s.midiTrigger.index();
        x.snap = s.snap.index();
        x.stepCount = s.steps.numActiveParameter().index();
        x.maxSteps = s.steps.maximumCount();
        XLFOParameterSet::StepParameterSet& first = s.steps.set(0);
        x.firstStep = first.value.index();
        x.stepStride = s.steps.getSetCount() > 1 ? s.steps.set(1).value.index() - x.firstStep : 0;
        x.stepValue = 0;
        x.stepGlide = first.glide.index() - x.firstStep;
        x.stepGlideFunction = first.glideFunction.index() - x.firstStep;
        x.stepRandom = first.random.index() - x.firstStep;
        x.frequencyTarget = s.frequency.target();
        x.glideTarget = s.glide.target();
        x.phaseOffsetTarget = s.phaseOffset.target();
        xlfo_.push_back(x);
    }
    for (int n = 0; n < product->egs.getSetCount(); ++n) {
        EGParameterSet& s = product->egs.set(n);
        EG e;
        const ModulationTargetParameter* stages[6] = {&s.delay, &s.attack, &s.decay, &s.sustain, &s.hold, &s.release};
        for (int k = 0; k < 6; ++k) {
            e.stage[k] = stages[k]->index();
            e.stageTarget[k] = stages[k]->target();
        }
        e.threshold = s.threshold.index();
        e.triggering = s.triggering.index();
        e.firstTarget = s.hold.target();
        e.lastTarget = s.release.target();
        eg_.push_back(e);
    }
    for (int n = 0; n < product->efs.getSetCount(); ++n) {
        EFParameterSet& s = product->efs.set(n);
        ef_.push_back({s.input.index(), s.attack.index(), s.release.index(), s.attack.target(), s.release.target()});
    }
    for (int n = 0; n < product->midiSources.getSetCount(); ++n) {
        MidiSourceParameterSet& s = product->midiSources.set(n);
        midi_.push_back({s.input.index(), s.controllerNumber.index(), s.responseCurve.index(), s.shortName()});
    }
}

int SourceLayout::setCount(int kind) const {
    switch (kind) {
        case XYKind: return int(xy_.size());
        case XLFOKind: return int(xlfo_.size());
        case EGKind: return int(eg_.size());
        case EFKind: return int(ef_.size());
        case MidiKind: return int(midi_.size());
        default: return 0;
    }
}
