#include "persistence/ProgramChangeQueue.h"

#include "framework/GenericPlugin.h"
#include "persistence/PresetManager.h"

void ProgramChangeQueue::programChange(int bank, int program) {
    std::uint64_t word = kPending |
                         (static_cast<std::uint64_t>(static_cast<std::uint32_t>(bank) & 0x7FFFFFFFu) << 32) |
                         static_cast<std::uint32_t>(program);
    pending_.store(word, std::memory_order_release);
}

bool ProgramChangeQueue::take(int& bank, int& program) {
    std::uint64_t word = pending_.exchange(0, std::memory_order_acq_rel);
    if (!(word & kPending)) return false;
    bank = static_cast<int>((word >> 32) & 0x7FFFFFFFu);
    program = static_cast<int>(static_cast<std::uint32_t>(word));
    return true;
}

bool ProgramChangeQueue::deliver(GenericPlugin& plugin, PresetManager& manager) {
    int bank = 0, program = 0;
    if (!take(bank, program)) return false;
    std::optional<GenericPlugin::PresetRecord> preset = manager.recordByProgram(bank, program);
    return preset && plugin.loadPreset(*preset);
}
