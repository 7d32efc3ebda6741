#pragma once

#include <string>
#include <vector>

class GenericPlugin;

// Where the parameters of every modulation source set lie in the plug-in's global index list, read
// once from the live plug-in so that the panels never restate the layout. Target numbers are those
// the modulation matrix gives the set's modulatable parameters. [ui]
class SourceLayout {
public:
    enum Kind { XYKind = 0, XLFOKind = 1, EGKind = 2, EFKind = 3, MidiKind = 4, KindCount = 5 };

    struct XY {
        int horizontal = -1, vertical = -1;
    };
    struct XLFO {
        int frequency = -1, frequencyOffset = -1, balance = -1, phaseOffset = -1, glide = -1;
        int syncMode = -1, midiTrigger = -1, snap = -1;
        // The step list: its active count, then the steps, stepStride indices apart.
        int stepCount = -1, firstStep = -1, stepStride = 0, maxSteps = 0;
        // Offsets of a step's parameters within the step.
        int stepValue = 0, stepGlide = 0, stepGlideFunction = 0, stepRandom = 0;
        int frequencyTarget = -1, glideTarget = -1, phaseOffsetTarget = -1;
    };
    struct EG {
        // Display order of the envelope: Delay, Attack, Decay, Sustain, Hold, Release.
        int stage[6] = {-1, -1, -1, -1, -1, -1};
        int stageTarget[6] = {-1, -1, -1, -1, -1, -1};
        int threshold = -1, triggering = -1;
        int firstTarget = -1, lastTarget = -1;
    };
    struct EF {
        int input = -1, attack = -1, release = -1;
        int attackTarget = -1, releaseTarget = -1;
    };
    struct Midi {
        int input = -1, controllerNumber = -1, responseCurve = -1;
        std::string shortName;
    };

    // An empty layout when the plug-in is not this product's.
    explicit SourceLayout(GenericPlugin& plugin);

    int setCount(int kind) const;
    const XY& xy(int set) const { return xy_.at(std::size_t(set)); }
    const XLFO& xlfo(int set) const { return xlfo_.at(std::size_t(set)); }
    const EG& eg(int set) const { return eg_.at(std::size_t(set)); }
    const EF& ef(int set) const { return ef_.at(std::size_t(set)); }
    const Midi& midi(int set) const { return midi_.at(std::size_t(set)); }
    // The envelope followers may listen to the side chain: the plug-in has one and it is enabled.
    bool sideChainInput() const { return sideChainInput_; }

private:
    std::vector<XY> xy_;
    std::vector<XLFO> xlfo_;
    std::vector<EG> eg_;
    std::vector<EF> ef_;
    std::vector<Midi> midi_;
    bool sideChainInput_ = false;
};
