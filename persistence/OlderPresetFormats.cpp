#include "persistence/OlderPresetFormats.h"

std::vector<int> OlderPresetFormats::allParametersExcept(int count, int except) {
    std::vector<int> positions;
    for (int i = 0; i < count; ++i)
        if (i != except) positions.push_back(i);
    return positions;
}

OldSlotRemap::Result OldSlotRemap::source(int oldSource, std::span<const int> table, int& newSource) {
    if (oldSource < 0 || oldSource >= static_cast<int>(table.size())) return Clear;
    newSource = table[static_cast<std::size_t>(oldSource)];
    return newSource < 0 ? Clear : Mapped;
}

OldSlotRemap::Result OldSlotRemap::target(int oldTarget, std::span<const int> table, int count,
                                          int slotLevelBase, int slotCount, int& newTarget) {
    if (oldTarget < 0) return Clear;
    if (oldTarget >= count) {
        int level = slotLevelBase + oldTarget - count;
        if (level >= slotLevelBase + slotCount) return Clear;
        newTarget = level;
        return Mapped;
    }
    if (oldTarget >= static_cast<int>(table.size())) return Clear;
    newTarget = table[static_cast<std::size_t>(oldTarget)];
    return newTarget == -1 ? NoTarget : newTarget < -1 ? Clear : Mapped;
}
