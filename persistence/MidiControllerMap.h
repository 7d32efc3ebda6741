#pragma once

#include <array>
#include <atomic>
#include <cstdint>
#include <string>
#include <string_view>

#include "framework/AbstractMusicEventReceiver.h"

// Which parameter each MIDI continuous controller (0 to 127) drives: a plug-in parameter index, or
// 0x100000 + i for MIDI-virtual parameter i, or -1. A parameter number occurs in at most one entry.
// Stored as "MidiControllerMap.bxm": tag "BXCM", version 1, then the 128 entries as int32.
//
// The map is shared by every instance of the process. The audio thread reads entries and, while a
// learn target is set, writes one or two; the UI thread edits, loads and saves. Each entry is one
// atomic 32-bit word, which is the unit of change; nothing locks.
class MidiControllerMap : public AbstractChannelEventReceiver::ControllerMap {
public:
    static constexpr int kControllers = 128;
    static constexpr std::int32_t kVirtualBase = 0x100000;
    static constexpr const char* kFileName = "MidiControllerMap.bxm";
    static constexpr const char* kTag = "BXCM";

    MidiControllerMap() { clearAll(); }

    // Audio thread or UI thread. Parameter number bound to the controller, -1 when none or out of range.
    int parameterFor(int controller) const override;
    // Audio thread or UI thread: assignController.
    void assign(int controller, int parameterNumber) override {
        assignController(controller, parameterNumber);
    }
    // When c already holds p nothing changes; otherwise the entry holding p is cleared and, unless c
    // is -1, entry c becomes p.
    void assignController(int controller, int parameterNumber);
    // The controller bound to the parameter number, -1 when none.
    int controllerFor(int parameterNumber) const;
    void clear(int controller);
    void clearAll();

    // What a stored entry may hold: -1, a parameter index below parameterLimit, or a virtual number
    // below kVirtualBase + virtualLimit. The plug-in narrows the defaults to its own counts.
    void setLimits(int parameterLimit, int virtualLimit);

    // UI thread. Reads the whole map and checks it (tag, 128 entries, each entry valid, no parameter
    // twice) before replacing the current one; otherwise the map is kept and the answer is false.
    bool load(const std::string& path);
    bool loadBytes(std::string_view bytes);
    // All -1, then the embedded "MidiControllerMap.bxm" when one exists.
    void loadDefault();
    // UI thread. Atomic write; false when the file could not be written.
    bool save(const std::string& path) const;
    std::string serialize() const;

private:
    bool valid(std::int32_t entry) const;

    std::array<std::atomic<std::int32_t>, kControllers> entries_;
    int parameterLimit_ = kVirtualBase;
    int virtualLimit_ = kVirtualBase;
};
