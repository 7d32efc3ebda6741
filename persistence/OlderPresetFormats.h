#pragma once

#include <span>
#include <string>
#include <vector>

// What the engine tells the loader of older presets about its predecessors' layouts: for each
// accepted version, the file tag and where each value position goes, and the conversion that runs
// once all values are in. The loader owns the capture slots that hold values without a parameter of
// their own (an old LFO's settings, a feedback balance). UI thread.
class OlderPresetFormats {
public:
    // A position's destination: a parameter index (0 or more), kDropped, or a capture slot
    // (capture(slot)).
    static constexpr int kDropped = -1;
    static constexpr int capture(int slot) { return -2 - slot; }
    static constexpr bool isCapture(int position) { return position <= -2; }
    static constexpr int captureSlot(int position) { return -2 - position; }

    struct Layout {
        std::string tag;
        std::vector<int> positions;
    };

    virtual ~OlderPresetFormats() = default;
    // False when the version is not one of the older layouts.
    virtual bool layout(int version, Layout& layout) const = 0;
    virtual int captureCount() const = 0;
    // After every parameter was reset to its default and the captures to 0.
    virtual void prepareLoad(int /*version*/, std::span<float> /*captures*/) {}
    // After every value was applied: converts the values whose meaning changed.
    virtual void finishLoad(int version, std::span<const float> captures) = 0;

    // Every parameter of a count in index order, except one (-1: none): the layouts of versions
    // that differ from the current one only in meaning or by a missing parameter.
    static std::vector<int> allParametersExcept(int count, int except);
};

// Old modulation slots name sources and targets by the older numbering. A value outside the table
// of its version cannot come from a real file: the slot is cleared instead of pointing anywhere.
struct OldSlotRemap {
    enum Result { Mapped, NoTarget, Clear };
    // Source s becomes table[s].
    static Result source(int oldSource, std::span<const int> table, int& newSource);
    // Target t below count becomes table[t] (an entry -1: NoTarget); t at or beyond count is the
    // level of old slot t - count, i.e. target slotLevelBase + t - count, valid below
    // slotLevelBase + slotCount.
    static Result target(int oldTarget, std::span<const int> table, int count, int slotLevelBase,
                         int slotCount, int& newTarget);
};
