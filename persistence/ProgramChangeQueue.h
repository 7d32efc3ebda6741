#pragma once

#include <atomic>
#include <cstdint>

#include "framework/DefaultEventReceiver.h"

class GenericPlugin;
class PresetManager;

// Carries MIDI program changes from the audio thread to the thread that owns the preset managers.
// The audio side stores the latest (bank, program) in one atomic word: no allocation, no lock, no
// I/O; a newer change before the owner looked replaces the older one, which is what a user stepping
// through programs wants. The owner polls (its timer or idle handler) and loads the preset there.
class ProgramChangeQueue : public DefaultChannelEventReceiver::ProgramChangeHandler {
public:
    // [audio] Never blocks or allocates.
    void programChange(int bank, int program) override;
    // [any] Whether a change waits for the owner.
    bool pending() const { return pending_.load(std::memory_order_acquire) & kPending; }
    // [ui] [worker] Takes the pending change; false when there is none.
    bool take(int& bank, int& program);
    // [ui] [worker] Takes the pending change and loads manager.byProgram (bank, program) into the
    // plug-in; false when nothing was pending or no preset has that number.
    bool deliver(GenericPlugin& plugin, PresetManager& manager);

private:
    static constexpr std::uint64_t kPending = 1ull << 63;
    std::atomic<std::uint64_t> pending_{0};
};
