#include "persistence/LorimanePresetFormats.h"

#include <algorithm>
#include <bit>
#include <cmath>
#include <cstdint>

#include "framework/AbstractParameterSetList.h"
#include "framework/GenericPlugin.h"
#include "framework/Tapers.h"
#include "modulation/ModMatrixParamController.h"
#include "modulation/ModulationLayout.h"
#include "modulation/ModulationMatrix.h"
#include "modulation/ModulationMatrixOwner.h"

namespace {

const char* const kDelaySets[2] = {"Delay L", "Delay R"};
const char* const kFilterSets[2] = {"Filter 1", "Filter 2"};
const char* const kFilterMembers[7] = {" Freq",     " Pan",   " Peak",   " Characteristic",
                                       " Response", " Slope", " Enabled"};
const char* const kLevels[5] = {"Input Level", "Dry Level", "Dry Pan", "Wet Level", "Wet Pan"};
const char* const kSlotMembers[5] = {" Source", " Level", " Bypassed", " Inverted", " Target"};

// Numbers of the current layout.
namespace layout = modulationlayout;
constexpr int kFirstXLFOSource = layout::firstSource(layout::XLFOSources);
constexpr int kFirstEGSource = layout::firstSource(layout::EGSources);
constexpr int kFirstMidiSource = layout::firstSource(layout::MidiSources);
constexpr int kFirstSlotLevelTarget = layout::kFirstSlotLevelTarget;
constexpr int kXLFOs = layout::kSourceGroups[layout::XLFOSources].sets;

// MIDI source inputs.
constexpr int kModWheel = 0;
constexpr int kPitchBend = 1;
constexpr int kVelocity = 2;
constexpr int kKBTrack = 4;

constexpr int kVersion1Sources[] = {8, 9, 24, 25};
constexpr int kVersion1Targets[] = {0,  1,  5,  6,  2,  -1, 3,  -1, 10, 11, 12,
                                    13, 14, 15, 16, 19, 78, 79, 80, 81, 82};
constexpr int kVersion2Sources[] = {8, 9, 14, 24, 25, 26, 27, 28};
constexpr int kVersion2Targets[] = {0,  1,  2,  3,  4,  5,  6,  7,  8,  9,  10, 11, 12, 13,
                                    14, 15, 16, 19, 36, 37, 38, 39, 78, 79, 80, 81, 82};

std::string slotName(int slot) {
    return "Slot " + std::to_string(slot + 1);
}
std::string xlfoName(int n) {
    return "XLFO " + std::to_string(n + 1);
}
std::string stepName(int n, int step) {
    return xlfoName(n) + " Step " + std::to_string(step + 1);
}
std::string midiName(int n) {
    return "MIDI Source " + std::to_string(n + 1);
}

int whole(float x) {
    return static_cast<int>(std::trunc(x));
}

}  // namespace

LorimanePresetFormats::LorimanePresetFormats(GenericPlugin& plugin, ModulationMatrixOwner& matrix,
                                             Lists lists)
    : plugin_(plugin), matrix_(matrix), lists_(lists) {
    for (int i = 0; i < plugin.getParameterCount(); ++i)
        if (AbstractPluginParameter* p = plugin.getParameter(i)) byName_.emplace(p->name(), p);
}

AbstractPluginParameter* LorimanePresetFormats::parameter(const std::string& name) const {
    auto it = byName_.find(name);
    return it == byName_.end() ? nullptr : it->second;
}

int LorimanePresetFormats::index(const std::string& name) const {
    AbstractPluginParameter* p = parameter(name);
    return p ? p->index() : kDropped;
}

void LorimanePresetFormats::set(const std::string& name, float value) const {
    if (AbstractPluginParameter* p = parameter(name)) p->setValue(value, 0);
}

float LorimanePresetFormats::value(const std::string& name) const {
    AbstractPluginParameter* p = parameter(name);
    return p ? p->value() : 0.0f;
}

bool LorimanePresetFormats::layout(int version, Layout& layout) const {
    std::vector<int>& list = layout.positions;
    list.clear();
    auto add = [&](const std::string& name) { list.push_back(index(name)); };
    auto addCaptures = [&](int first, int count) {
        for (int i = 0; i < count; ++i) list.push_back(capture(first + i));
    };
    auto addFilters = [&] {
        for (const char* set : kFilterSets)
            for (const char* member : kFilterMembers) add(std::string(set) + member);
    };
    auto addSlots = [&](int count) {
        for (int s = 0; s < count; ++s)
            for (const char* member : kSlotMembers) add(slotName(s) + member);
    };
    switch (version) {
        case 4:
        case 3:
            layout.tag = plugin_.getChunkTag();
            list =
                allParametersExcept(plugin_.getParameterCount(), version == 3 ? index("Delay Freeze") : -1);
            return true;
        case 2:
            layout.tag = "BLor";
            for (const char* set : kDelaySets)
                for (const char* member :
                     {" Time", " Offset", " Sync", " Feedback", " Cross Feedback", " Pan"})
                    add(std::string(set) + member);
            for (const char* name : {"Feedback Link", "Delay Link", "Delay Buffer Read Style"}) add(name);
            addFilters();
            add("Filter Routing");
            for (const char* name : kLevels) add(name);
            addCaptures(kLfoA, 7);
            addCaptures(kLfoB, 7);
            for (const char* member :
                 {" Threshold", " Triggering", " Attack", " Decay", " Sustain", " Release"})
                add(std::string("EG 1") + member);
            add("Receive Midi");
            addSlots(24);
            add("Delay L Feedback Invert");
            add("Delay R Feedback Invert");
            add("Auto Mute Self-Osc");
            add("Dry Enabled");
            return true;
        case 1:
            layout.tag = "BDel";
            for (const char* set : kDelaySets)
                for (const char* member : {" Time", " Offset", " Sync"}) add(std::string(set) + member);
            for (const char* name : {"Delay Link", "Delay Buffer Read Style", "Filter Routing"}) add(name);
            for (int slot : {kFeedback, kFeedbackBalance, kCross, kCrossBalance})
                list.push_back(capture(slot));
            for (const char* name : kLevels) add(name);
            addFilters();
            addCaptures(kLfoA, 6);
            addCaptures(kLfoB, 6);
            add("Receive Midi");
            addSlots(21);
            return true;
        default:
            return false;
    }
}

void LorimanePresetFormats::prepareLoad(int version, std::span<float>) {
    if (version != 1) return;
    set("Delay L Pan", -1.0f);
    set("Delay R Pan", 1.0f);
}

void LorimanePresetFormats::convertDelays(int version, std::span<const float> c) {
    if (version == 4) return;
    // The older layouts stored the time on a shorter scale of the same curve.
    float low = version == 1 ? 25.0f : 10.0f;
    float span = version == 1 ? 2475.0f : 4990.0f;
    for (int d = 0; d < 2; ++d) {
        AbstractPluginParameter* time = parameter(std::string(kDelaySets[d]) + " Time");
        if (time) time->setValue(time->displayToPlain(low + span * tapers::level(time->value())), 0);
        if (version != 1) continue;
        // One level and a balance between the two lines became one amount per line.
        auto amount = [&](float level, float balance) {
            return d == 0 ? level * (1.0f - std::max(balance, 0.0f))
                          : level * (1.0f + std::min(balance, 0.0f));
        };
        set(std::string(kDelaySets[d]) + " Feedback",
            amount(c[std::size_t(kFeedback)], c[std::size_t(kFeedbackBalance)]));
        set(std::string(kDelaySets[d]) + " Cross Feedback",
            amount(c[std::size_t(kCross)], c[std::size_t(kCrossBalance)]));
    }
}

void LorimanePresetFormats::convertLfo(std::span<const float> c) {
    AbstractPluginParameter* active = lists_.xlfos ? &lists_.xlfos->numActiveParameter() : nullptr;
    if (!active) return;
    int n = whole(active->value());
    if (n >= kXLFOs) return;
    active->setValue(float(n + 1), 0);
    const std::string x = xlfoName(n);
    set(x + " Frequency", c[0]);
    set(x + " Balance", c[2]);
    int mode = whole(c[4]);
    set(x + " Sync Mode", mode != 0 ? float(whole(c[3]) + 1) : 0.0f);
    float ratio = mode == 2 ? 0.6666667f : mode == 3 ? 1.5f : 1.0f;
    set(x + " Frequency Offset", std::log2(ratio));
    set("Num Active " + x + " Steps", 2.0f);
    set(stepName(n, 0) + " Value", -1.0f);
    set(stepName(n, 1) + " Value", 1.0f);
    set(x + " Glide", 1.0f);
    set(x + " MIDI Trigger", c[5] != 0.0f ? 1.0f : 0.0f);
    for (int step = 0; step < 2; ++step) set(stepName(n, step) + " Glide function", 0.0f);
    switch (whole(c[1])) {
        case 1:  // square
            set(x + " Glide", 0.0f);
            set(stepName(n, 0) + " Value", 0.0f);
            break;
        case 2:  // sine
            for (int step = 0; step < 2; ++step) set(stepName(n, step) + " Glide function", 3.0f);
            break;
        case 3:  // smooth random
            for (int step = 0; step < 2; ++step) set(stepName(n, step) + " Random", 1.0f);
            break;
        case 4:  // stepped random
            set(x + " Glide", 0.0f);
            for (int step = 0; step < 2; ++step) set(stepName(n, step) + " Random", 1.0f);
            break;
        default:
            break;
    }
}

void LorimanePresetFormats::remapSlots(std::span<const int> sources, std::span<const int> targets,
                                       int count) {
    // A source or target outside its version's table cannot come from a real file: such a slot is
    // cleared rather than pointed anywhere.
    ModMatrixParamController& c = matrix_.getController();
    c.beginUpdate();
    for (int s = 0; s < ModulationMatrix::kSlotCount; ++s) {
        int source = c.getSource(s), target = c.getTarget(s);
        bool clear = false;
        int mapped = -1;
        if (source >= 0) {
            if (OldSlotRemap::source(source, sources, mapped) == OldSlotRemap::Mapped)
                c.setSource(s, mapped);
            else
                clear = true;
        }
        if (target >= 0 && !clear) {
            switch (OldSlotRemap::target(target, targets, count, kFirstSlotLevelTarget,
                                         ModulationMatrix::kSlotCount, mapped)) {
                case OldSlotRemap::Mapped:
                    c.setTarget(s, mapped);
                    break;
                case OldSlotRemap::NoTarget:
                    c.setTarget(s, -1);
                    break;
                case OldSlotRemap::Clear:
                    clear = true;
                    break;
            }
        }
        if (clear) {
            c.setSource(s, -1);
            c.setTarget(s, -1);
        }
    }
    c.endUpdate();
}

void LorimanePresetFormats::scaleMidiSlots() {
    struct Scale {
        int kind;  // -1: every kind
        float a, b;
    };
    const float kb0 = std::bit_cast<float>(std::uint32_t(0x3FC19D0B));
    const float kb1 = std::bit_cast<float>(std::uint32_t(0x40A15834));
    const float kb2 = std::bit_cast<float>(std::uint32_t(0x4272044D));
    const float kb3 = std::bit_cast<float>(std::uint32_t(0x40419D0B));
    const struct {
        int input;
        std::vector<Scale> scales;
    } kByInput[] = {
        {kVelocity, {{-1, 1, 2}, {layout::LevelKind, 2, 1}, {layout::XLFOFreqKind, 2, 1}, {layout::FilterPanKind, 5, 7}}},
        {kPitchBend,
         {{layout::PanKind, 1, 2},
          {layout::FilterPanKind, 10, 7},
          {layout::EGAttackKind, 1, 2},
          {layout::EGDecayKind, 1, 2},
          {layout::EGReleaseKind, 1, 2}}},
        {kKBTrack,
         {{layout::LevelKind, kb0, 1},
          {layout::PanKind, kb1, 2},
          {layout::XLFOFreqKind, kb2, 25},
          {layout::FilterPanKind, 5, 7},
          {layout::EGAttackKind, kb3, 1.5f},
          {layout::EGDecayKind, kb1, 2.5f},
          {layout::EGReleaseKind, kb1, 2.5f}}},
        {kModWheel, {{layout::FilterPanKind, 10, 7}}},
    };
    int active = lists_.midiSources ? whole(lists_.midiSources->numActiveParameter().value()) : 0;
    for (const auto& entry : kByInput) {
        for (int n = 0; n < active; ++n) {
            if (whole(value(midiName(n) + " Input")) != entry.input) continue;
            for (const Scale& s : entry.scales)
                matrix_.scaleSlotsForKind(s.kind, kFirstMidiSource + n, s.a, s.b);
            break;
        }
    }
}

void LorimanePresetFormats::finishLoad(int version, std::span<const float> c) {
    if (c.size() < std::size_t(kCaptureCount)) return;
    convertDelays(version, c);
    if (version >= 3) {
        // The feedback targets now respond twice as strongly to envelope followers, and the
        // filter frequencies more strongly to snapped XLFOs.
        for (int d = 0; d < 2; ++d)
            matrix_.halveEnvelopeFollowerSlots(layout::target(layout::DelayTargets, d, layout::DelayFeedback));
        for (int n = 0; n < kXLFOs; ++n) {
            if (value(xlfoName(n) + " Snap") == 0.0f) continue;
            for (int f = 0; f < 2; ++f)
                matrix_.scaleSlotsOfTargetFromSource(layout::target(layout::FilterTargets, f, layout::FilterFreq),
                                                     kFirstXLFOSource + n);
        }
        return;
    }

    convertLfo(c.subspan(std::size_t(kLfoA), 7));
    convertLfo(c.subspan(std::size_t(kLfoB), 7));

    auto setActive = [](AbstractParameterSetList* list, int count) {
        if (list) list->numActiveParameter().setValue(float(count), 0);
    };
    if (version == 1) {
        setActive(lists_.egs, 0);
        setActive(lists_.midiSources, 2);
        set(midiName(0) + " Input", float(kPitchBend));
        set(midiName(1) + " Input", float(kModWheel));
        remapSlots(kVersion1Sources, kVersion1Targets, 21);
    } else {
        setActive(lists_.egs, 1);
        if (whole(value("EG 1 Triggering")) == 1) set("EG 1 Triggering", 2.0f);
        setActive(lists_.midiSources, 5);
        const int inputs[5] = {kPitchBend, kModWheel, kVelocity, 3, kKBTrack};
        for (int n = 0; n < 5; ++n) set(midiName(n) + " Input", float(inputs[n]));
        remapSlots(kVersion2Sources, kVersion2Targets, 27);
    }

    matrix_.normalizeSlots(version == 1 ? 21 : 24);
    if (lists_.xlfos) matrix_.removeSourcesWithoutSlots(*lists_.xlfos, kFirstXLFOSource);
    if (lists_.egs) matrix_.removeSourcesWithoutSlots(*lists_.egs, kFirstEGSource);
    if (lists_.midiSources) matrix_.removeSourcesWithoutSlots(*lists_.midiSources, kFirstMidiSource);

    if (version == 1) {
        // One feedback slot drove both lines; now each line has its own feedback targets.
        AbstractPluginParameter* activeSlots = parameter("Num Active Slots");
        int active = activeSlots ? whole(activeSlots->value()) : 0;
        // A copy brings copies of the slots that modulate its level: count every slot it took.
        auto usedSlots = [this] {
            int used = 0;
            for (int s = 0; s < matrix_.slotCount(); ++s)
                if (matrix_.slotSource(s) >= 0 || matrix_.slotTarget(s) >= 0) ++used;
            return used;
        };
        const int usedBefore = usedSlots();
        for (int s = 0; s < active; ++s) {
            int target = matrix_.slotTarget(s);
            if (target != 2 && target != 3) continue;
            int d = matrix_.duplicateSlot(s, 1.0f);
            if (d >= 0) matrix_.setSlotTarget(d, target + 5);
        }
        int added = usedSlots() - usedBefore;
        if (added > 0) matrix_.normalizeSlots(std::min(active + added, int(ModulationMatrix::kSlotCount)));
    }
    scaleMidiSlots();
}
