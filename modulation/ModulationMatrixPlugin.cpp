#include "modulation/ModulationMatrixPlugin.h"

#include <bit>
#include <cmath>
#include <cstdint>

#include "framework/Tapers.h"
#include "modulation/ModulationMatrix.h"

namespace {

struct NameGroup {
    const char* prefix;
    const char* items;
    int count;
};

std::string joinGroups(std::initializer_list<NameGroup> groups) {
    std::string text;
    auto append = [&text](const std::string& name) {
        if (!text.empty()) text += ',';
        text += name;
    };
    for (const NameGroup& group : groups) {
        std::string items = group.items;
        for (int i = 1; i <= group.count; ++i) {
            std::size_t start = 0;
            while (start <= items.size()) {
                std::size_t end = items.find(',', start);
                if (end == std::string::npos) end = items.size();
                std::string item = items.substr(start, end - start);
                append(item.empty() ? std::string(group.prefix) + " " + std::to_string(i)
                                    : std::string(group.prefix) + " " + std::to_string(i) + " " + item);
                start = end + 1;
            }
        }
    }
    return text;
}

// Targets of one kind: first, count and stride.
struct KindTargets {
    int kind;
    int first;
    int count;
    int stride;
};

}  // namespace

ModulationMatrixPlugin::ModulationMatrixPlugin() = default;

void ModulationMatrixPlugin::applyParameterChanges() {
    ModulationMatrix* matrix = getMatrix();
    if (matrix) matrix->beginSlotBatch();
    GenericPlugin::applyParameterChanges();
    if (matrix) matrix->endSlotBatch();
}

ModulationMatrixPlugin::~ModulationMatrixPlugin() = default;

float ModulationMatrixPlugin::getSourceDisplayValue(int) {
    return 0.0f;
}

std::string ModulationMatrixPlugin::sourceNames() {
    return joinGroups(
        {{"XY", "Hor,Ver", 4}, {"XLFO", "", 6}, {"EG", "", 6}, {"EF", "", 4}, {"MIDI", "", 10}});
}

std::string ModulationMatrixPlugin::targetNames() {
    std::string text = joinGroups({{"Delay", "Time,Offset,Feedback,Cross Feedback,Pan", 2},
                                   {"Filter", "Freq,Pan,Peak", 2},
                                   {"XLFO", "Freq,Glide,Phase Offset", 6},
                                   {"EG", "Hold,Delay,Attack,Decay,Sustain,Release", 6},
                                   {"EF", "Attack,Release", 4}});
    text += ",Input Level,Dry Level,Dry Pan,Wet Level,Wet Pan";
    for (int n = 1; n <= ModulationMatrix::kSlotCount; ++n) text += ",Slot " + std::to_string(n) + " Level";
    return text;
}

void ModulationMatrixPlugin::configureMatrix(ModulationMatrix& m) {
    // Kinds: default factor, maximum, minimum, then the factors for particular source types.
    float phaseFactor = 1.0f / tapers::level(0.5f);
    float inputMax = std::pow(10.0f, 36.0f / 20.0f);
    float inputMin = std::pow(10.0f, -36.0f / 20.0f);
    float shortestTime = std::bit_cast<float>(std::uint32_t(0x3ABE37C5));  // 64 samples at 44.1 kHz
    m.setKind(0, 1.0f, 1.0f, 0.0f);
    m.addSourceFactor(0, EFSource, 2.0f);
    m.setKind(1, 4995.0f, 5000.0f, 5.0f);
    m.addSourceFactor(1, XLFOSource, 500.0f);
    m.addSourceFactor(1, EGSource, 1000.0f);
    m.addSourceFactor(1, EFSource, 2000.0f);
    m.setKind(2, 1.0f, 2.0f, -0.5f);
    m.addSourceFactor(2, XLFOSource, 0.5f);
    m.addSourceFactor(2, EFSource, 2.0f);
    m.setKind(3, 2.0f, 2.0f, 0.0f);
    m.addSourceFactor(3, EFSource, 4.0f);
    m.setKind(4, 10.0f, std::bit_cast<float>(std::uint32_t(0x4181A6B5)),
              std::bit_cast<float>(std::uint32_t(0x40110FF9)));
    m.addSourceFactor(4, XLFOSource, 4.2f);
    m.addSourceFactor(4, SnappedXLFOSource, 1.0f);
    m.addSourceFactor(4, EFSource, 20.0f);
    m.setKind(5, 7.0f, 3.5f, -3.5f);
    m.addSourceFactor(5, EFSource, 14.0f);
    m.setKind(6, 25.0f, 500.0f, 0.02f);
    m.addSourceFactor(6, EFSource, 50.0f);
    m.setKind(7, 2.0f, 1.0f, -1.0f);
    m.addSourceFactor(7, EFSource, 4.0f);
    m.setKind(8, phaseFactor, 100.0f, -100.0f);
    m.addSourceFactor(8, EFSource, 2.0f * phaseFactor);
    m.setKind(9, 9.5f, 19.0f, 0.0f);
    m.addSourceFactor(9, EFSource, 19.0f);
    m.setKind(10, 2.5f, 5.0f, 0.0f);
    m.addSourceFactor(10, EFSource, 5.0f);
    m.setKind(11, 1.5f, 3.0f, shortestTime);
    m.addSourceFactor(11, EFSource, 3.0f);
    m.setKind(12, 2.5f, 5.0f, shortestTime);
    m.addSourceFactor(12, EFSource, 5.0f);
    m.setKind(13, 2.5f, 5.0f, shortestTime);
    m.addSourceFactor(13, EFSource, 5.0f);
    m.setKind(14, 0.4995f, 1.0f, 0.001f);
    m.addSourceFactor(14, EFSource, 0.999f);
    m.setKind(15, 2.475f, 5.0f, 0.05f);
    m.addSourceFactor(15, EFSource, 4.95f);
    m.setKind(16, 2.0f, 1.0f, -1.0f);
    m.addSourceFactor(16, EFSource, 4.0f);
    m.setKind(17, inputMax - inputMin, inputMax, inputMin);

    const KindTargets kindTargets[] = {
        {0, 2, 2, 5},   {0, 12, 2, 3},  {0, 38, 6, 6},  {0, 79, 1, 1},  {0, 81, 1, 1},
        {0, 83, 24, 1}, {1, 0, 2, 5},   {2, 1, 2, 5},   {3, 3, 2, 5},   {4, 10, 2, 3},
        {5, 11, 2, 3},  {6, 16, 6, 3},  {7, 17, 6, 3},  {8, 18, 6, 3},  {9, 34, 6, 6},
        {10, 35, 6, 6}, {11, 36, 6, 6}, {12, 37, 6, 6}, {13, 39, 6, 6}, {14, 70, 4, 2},
        {15, 71, 4, 2}, {16, 4, 2, 5},  {16, 80, 1, 1}, {16, 82, 1, 1}, {17, 78, 1, 1},
    };
    for (const KindTargets& k : kindTargets)
        for (int i = 0; i < k.count; ++i) m.setTargetKind(k.first + i * k.stride, k.kind);

    for (int i = 0; i < ModulationMatrix::kSlotCount; ++i)
        m.wireSlotLevel(i, ModulationMatrix::kFirstSlotLevelTarget + i);

    // Sources: XY axes 0-7, XLFOs 8-13, EGs 14-19, EFs 20-23, MIDI sources 24-33.
    for (int s = 0; s < 8; ++s) m.setSourceType(s, XYSource);
    for (int n = 0; n < 6; ++n) {
        m.setSourceType(8 + n, XLFOSource);
        for (int k = 0; k < 3; ++k) m.addOwnTarget(8 + n, 16 + 3 * n + k);
    }
    for (int n = 0; n < 6; ++n) {
        m.setSourceType(14 + n, EGSource);
        for (int k = 0; k < 6; ++k) m.addOwnTarget(14 + n, 34 + 6 * n + k);
    }
    for (int n = 0; n < 4; ++n) {
        m.setSourceType(20 + n, EFSource);
        for (int k = 0; k < 2; ++k) m.addOwnTarget(20 + n, 70 + 2 * n + k);
    }
    for (int s = 24; s < 34; ++s) m.setSourceType(s, MidiSource);
}
