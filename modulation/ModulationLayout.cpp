#include "modulation/ModulationLayout.h"

#include <cmath>

#include "framework/Tapers.h"
#include "modulation/EnvelopeGenerator.h"

namespace modulationlayout {
namespace {

KindLimits::Exception ef(float factor) { return {EFSource, factor}; }

std::array<KindLimits, kKindCount> makeKinds() {
    // The phase offset moves a whole cycle per unit where the level curve gives 1 at its middle.
    const float phase = 1.0f / tapers::level(0.5f);
    const float inputMax = std::pow(10.0f, kInputGainRangeDb / 20.0f);
    const float inputMin = std::pow(10.0f, -kInputGainRangeDb / 20.0f);
    const float shortest = EnvelopeGenerator::kMinimumTime;

    std::array<KindLimits, kKindCount> k{};
    // Default depth, maximum, minimum, then the depths for particular source types.
    k[LevelKind] = {1.0f, 1.0f, 0.0f, {ef(2.0f)}, 1};
    k[DelayTimeKind] = {4995.0f, 5000.0f, 5.0f, {{{XLFOSource, 500.0f}, {EGSource, 1000.0f}, ef(2000.0f)}}, 3};
    k[DelayOffsetKind] = {1.0f, 2.0f, -0.5f, {{{XLFOSource, 0.5f}, ef(2.0f)}}, 2};
    k[CrossFeedbackKind] = {2.0f, 2.0f, 0.0f, {ef(4.0f)}, 1};
    k[FilterFreqKind] = {10.0f, kHighestFilterOctave, kLowestFilterOctave,
                         {{{XLFOSource, 4.2f}, {SnappedXLFOSource, 1.0f}, ef(20.0f)}}, 3};
    k[FilterPanKind] = {7.0f, 3.5f, -3.5f, {ef(14.0f)}, 1};
    k[XLFOFreqKind] = {25.0f, 500.0f, 0.02f, {ef(50.0f)}, 1};
    k[XLFOGlideKind] = {2.0f, 1.0f, -1.0f, {ef(4.0f)}, 1};
    k[XLFOPhaseKind] = {phase, 100.0f, -100.0f, {ef(2.0f * phase)}, 1};
    k[EGHoldKind] = {9.5f, 19.0f, 0.0f, {ef(19.0f)}, 1};
    k[EGDelayKind] = {2.5f, 5.0f, 0.0f, {ef(5.0f)}, 1};
    k[EGAttackKind] = {1.5f, 3.0f, shortest, {ef(3.0f)}, 1};
    k[EGDecayKind] = {2.5f, 5.0f, shortest, {ef(5.0f)}, 1};
    k[EGReleaseKind] = {2.5f, 5.0f, shortest, {ef(5.0f)}, 1};
    k[EFAttackKind] = {0.4995f, 1.0f, 0.001f, {ef(0.999f)}, 1};
    k[EFReleaseKind] = {2.475f, 5.0f, 0.05f, {ef(4.95f)}, 1};
    k[PanKind] = {2.0f, 1.0f, -1.0f, {ef(4.0f)}, 1};
    k[InputGainKind] = {inputMax - inputMin, inputMax, inputMin, {}, 0};
    return k;
}

std::string setName(const char* prefix, int sets, int set) {
    if (sets == 1 && !*prefix) return {};
    return std::string(prefix) + " " + std::to_string(set + 1);
}

void append(std::string& list, const std::string& setName, const char* item) {
    if (!list.empty()) list += ',';
    list += setName;
    if (item && *item) list += (setName.empty() ? "" : " ") + std::string(item);
}

}  // namespace

const std::array<KindLimits, kKindCount>& kinds() {
    static const std::array<KindLimits, kKindCount> table = makeKinds();
    return table;
}

std::string sourceNames() {
    std::string list;
    for (const SourceGroup& g : kSourceGroups)
        for (int set = 0; set < g.sets; ++set)
            for (int i = 0; i < itemCount(g); ++i) append(list, setName(g.prefix, g.sets, set), g.items[std::size_t(i)]);
    return list;
}

std::string targetNames() {
    std::string list;
    for (const TargetGroup& g : kTargetGroups)
        for (int set = 0; set < g.sets; ++set)
            for (int i = 0; i < itemCount(g); ++i)
                append(list, setName(g.prefix, g.sets, set), g.items[std::size_t(i)].name);
    return list;
}

}  // namespace modulationlayout
