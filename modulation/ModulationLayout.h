#pragma once

#include <array>
#include <string>
#include <string_view>

// The product's modulation sources and targets, written once. Sources and targets are numbered in
// table order: group by group, within a group set by set, within a set item by item. Every source or
// target number the matrix, the engine, the parameter sets and the preset formats use comes from
// here, and so do the matrix's sizes and the limits of each kind of target.
namespace modulationlayout {

// What a source is; it decides the depth of its slots on each kind of target.
enum SourceType { XYSource, XLFOSource, EGSource, EFSource, MidiSource, SnappedXLFOSource };

// How a family of targets is modulated (see kinds() for depths and limits).
enum Kind {
    LevelKind,
    DelayTimeKind,
    DelayOffsetKind,
    CrossFeedbackKind,
    FilterFreqKind,
    FilterPanKind,
    XLFOFreqKind,
    XLFOGlideKind,
    XLFOPhaseKind,
    EGHoldKind,
    EGDelayKind,
    EGAttackKind,
    EGDecayKind,
    EGReleaseKind,
    EFAttackKind,
    EFReleaseKind,
    PanKind,
    InputGainKind,
    kKindCount
};

constexpr int kMaxItems = 6;

struct TargetItem {
    const char* name;
    Kind kind;
};
// Sets of targets: set n of a group is named "<prefix> <n>" (a group of one set without a prefix
// names its items alone) and owns one target per item.
struct TargetGroup {
    const char* prefix;
    int sets;
    std::array<TargetItem, kMaxItems> items;
    const char* owner;  // the parameter set (or list) that holds the target parameters
};
struct SourceGroup {
    const char* prefix;
    int sets;
    std::array<const char*, kMaxItems> items;  // one source per item; one unnamed item per set when empty
    SourceType type;
    int ownTargets;  // the target group whose set n belongs to source set n, or -1
    const char* owner;
};

enum TargetGroupId { DelayTargets, FilterTargets, XLFOTargets, EGTargets, EFTargets, MixTargets, SlotTargets };
enum SourceGroupId { XYSources, XLFOSources, EGSources, EFSources, MidiSources };

// Items of the target sets, in table order (checked against the names below).
enum DelayTarget { DelayTime, DelayOffset, DelayFeedback, DelayCrossFeedback, DelayPan };
enum FilterTarget { FilterFreq, FilterPan, FilterPeak };
enum MixTarget { InputLevel, DryLevel, DryPan, WetLevel, WetPan };

// The range of the input level, in dB either side of unity gain.
constexpr float kInputGainRangeDb = 36.0f;
// The filter frequency's engine range: log2 of 4.81 Hz and of 75.6 kHz.
constexpr float kLowestFilterOctave = 2.2666f;
constexpr float kHighestFilterOctave = 16.2064f;

constexpr TargetGroup kTargetGroups[] = {
    {"Delay",
     2,
     {{{"Time", DelayTimeKind},
       {"Offset", DelayOffsetKind},
       {"Feedback", LevelKind},
       {"Cross Feedback", CrossFeedbackKind},
       {"Pan", PanKind}}},
     "Delay n"},
    {"Filter", 2, {{{"Freq", FilterFreqKind}, {"Pan", FilterPanKind}, {"Peak", LevelKind}}}, "Filter n"},
    {"XLFO", 6, {{{"Freq", XLFOFreqKind}, {"Glide", XLFOGlideKind}, {"Phase Offset", XLFOPhaseKind}}}, "XLFOs"},
    {"EG",
     6,
     {{{"Hold", EGHoldKind},
       {"Delay", EGDelayKind},
       {"Attack", EGAttackKind},
       {"Decay", EGDecayKind},
       {"Sustain", LevelKind},
       {"Release", EGReleaseKind}}},
     "EGs"},
    {"EF", 4, {{{"Attack", EFAttackKind}, {"Release", EFReleaseKind}}}, "EFs"},
    {"",
     1,
     {{{"Input Level", InputGainKind},
       {"Dry Level", LevelKind},
       {"Dry Pan", PanKind},
       {"Wet Level", LevelKind},
       {"Wet Pan", PanKind}}},
     "the plug-in"},
    {"Slot", 24, {{{"Level", LevelKind}}}, "Slots"},
};

constexpr SourceGroup kSourceGroups[] = {
    {"XY", 4, {"Hor", "Ver"}, XYSource, -1, "XY Controllers"},
    {"XLFO", 6, {}, XLFOSource, XLFOTargets, "XLFOs"},
    {"EG", 6, {}, EGSource, EGTargets, "EGs"},
    {"EF", 4, {}, EFSource, EFTargets, "EFs"},
    {"MIDI", 10, {}, MidiSource, -1, "MIDI Sources"},
};

// How deep a slot of depth 1 modulates a kind of target, by source type, and the limits of the
// modulated value. Built on first use, read-only afterwards.
struct KindLimits {
    float defaultFactor;
    float maximum;
    float minimum;
    struct Exception {
        SourceType type;
        float factor;
    };
    std::array<Exception, 3> exceptions;
    int exceptionCount;
};
const std::array<KindLimits, kKindCount>& kinds();

// --- numbers derived from the tables ---------------------------------------------------------
constexpr int itemCount(const TargetGroup& g) {
    int n = 0;
    while (n < kMaxItems && g.items[std::size_t(n)].name) ++n;
    return n;
}
constexpr int itemCount(const SourceGroup& g) {
    int n = 0;
    while (n < kMaxItems && g.items[std::size_t(n)]) ++n;
    return n == 0 ? 1 : n;
}
constexpr int targetsPerSet(TargetGroupId g) { return itemCount(kTargetGroups[g]); }
constexpr int sourcesPerSet(SourceGroupId g) { return itemCount(kSourceGroups[g]); }
constexpr int firstTarget(TargetGroupId g) {
    int first = 0;
    for (int i = 0; i < g; ++i) first += kTargetGroups[i].sets * itemCount(kTargetGroups[i]);
    return first;
}
constexpr int firstSource(SourceGroupId g) {
    int first = 0;
    for (int i = 0; i < g; ++i) first += kSourceGroups[i].sets * itemCount(kSourceGroups[i]);
    return first;
}
// The target of item in set of group.
constexpr int target(TargetGroupId g, int set, int item) {
    return firstTarget(g) + set * targetsPerSet(g) + item;
}
constexpr int source(SourceGroupId g, int set, int item = 0) {
    return firstSource(g) + set * sourcesPerSet(g) + item;
}

constexpr int kTargetGroupCount = int(std::size(kTargetGroups));
constexpr int kSourceGroupCount = int(std::size(kSourceGroups));
constexpr int kTargetCount = firstTarget(TargetGroupId(kTargetGroupCount));
constexpr int kSourceCount = firstSource(SourceGroupId(kSourceGroupCount));
constexpr int kSlotCount = kTargetGroups[SlotTargets].sets;
constexpr int kFirstSlotLevelTarget = firstTarget(SlotTargets);

// The kind of a target, -1 outside the numbering.
constexpr int kindOf(int target) {
    for (int g = 0; g < kTargetGroupCount; ++g) {
        int per = itemCount(kTargetGroups[g]);
        int first = firstTarget(TargetGroupId(g));
        if (target >= first && target < first + kTargetGroups[g].sets * per)
            return kTargetGroups[g].items[std::size_t((target - first) % per)].kind;
    }
    return -1;
}

// Source and target names, comma-separated in numbering order.
std::string sourceNames();
std::string targetNames();

namespace detail {
constexpr bool itemIs(TargetGroupId g, int item, std::string_view name) {
    return name == kTargetGroups[g].items[std::size_t(item)].name;
}
static_assert(itemIs(DelayTargets, DelayTime, "Time") && itemIs(DelayTargets, DelayPan, "Pan") &&
              itemIs(DelayTargets, DelayFeedback, "Feedback") &&
              itemIs(DelayTargets, DelayCrossFeedback, "Cross Feedback"));
static_assert(itemIs(FilterTargets, FilterFreq, "Freq") && itemIs(FilterTargets, FilterPeak, "Peak"));
static_assert(itemIs(MixTargets, InputLevel, "Input Level") && itemIs(MixTargets, DryLevel, "Dry Level") &&
              itemIs(MixTargets, DryPan, "Dry Pan") && itemIs(MixTargets, WetLevel, "Wet Level") &&
              itemIs(MixTargets, WetPan, "Wet Pan"));
}  // namespace detail

}  // namespace modulationlayout
