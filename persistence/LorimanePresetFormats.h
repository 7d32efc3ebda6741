#pragma once

#include <map>
#include <string>

#include "persistence/OlderPresetFormats.h"

class AbstractParameterSetList;
class AbstractPluginParameter;
class GenericPlugin;
class ModulationMatrixOwner;

// The delay's earlier preset layouts: versions 3 and 4 of "BLms" (the current list without
// "Delay Freeze", and the current list with some older meanings), "BLor" 2 (180 or 176 values) and
// "BDel" 1 (150 values), whose two old LFOs become XLFOs, whose feedback balances become two
// feedback amounts, and whose modulation slots use the older source and target numbering.
// Parameters are found by the names they have while the channel mode is Left/Right, so the object
// is made before any preset loads. UI thread.
class LorimanePresetFormats : public OlderPresetFormats {
public:
    struct Lists {
        AbstractParameterSetList* xlfos;
        AbstractParameterSetList* egs;
        AbstractParameterSetList* midiSources;
    };

    LorimanePresetFormats(GenericPlugin& plugin, ModulationMatrixOwner& matrix, Lists lists);

    bool layout(int version, Layout& layout) const override;
    int captureCount() const override { return kCaptureCount; }
    void prepareLoad(int version, std::span<float> captures) override;
    void finishLoad(int version, std::span<const float> captures) override;

    // Capture slots: the two old LFOs (seven values each) and version 1's feedback levels and
    // balances.
    static constexpr int kLfoA = 0;
    static constexpr int kLfoB = 7;
    static constexpr int kFeedback = 14;
    static constexpr int kFeedbackBalance = 15;
    static constexpr int kCross = 16;
    static constexpr int kCrossBalance = 17;
    static constexpr int kCaptureCount = 18;

private:
    // Null when the plug-in has no parameter of that name.
    AbstractPluginParameter* parameter(const std::string& name) const;
    int index(const std::string& name) const;
    void set(const std::string& name, float value) const;
    float value(const std::string& name) const;

    void convertDelays(int version, std::span<const float> captures);
    void convertLfo(std::span<const float> lfo);
    void remapSlots(std::span<const int> sources, std::span<const int> targets, int count);
    void scaleMidiSlots();

    GenericPlugin& plugin_;
    ModulationMatrixOwner& matrix_;
    Lists lists_;
    std::map<std::string, AbstractPluginParameter*> byName_;
};
