#pragma once

#include <array>

#include "framework/AbstractMusicEventReceiver.h"
#include "framework/MidiMessage.h"

// Turns raw MIDI messages into musical events for a music event receiver. Keeps the last bank
// number (14 bits) per receiver slot. A message that starts with a data byte continues the last
// channel message's status (running status). Audio thread.
class MidiDecoder : public MidiMessageReceiver {
public:
    explicit MidiDecoder(AbstractMusicEventReceiver& receiver);

    void receiveMidi(const MidiMessage& message) override;

    int bank(int slot) const { return banks_[slot]; }

private:
    void decodeForSlot(int slot, const MidiMessage& message);

    AbstractMusicEventReceiver& receiver_;
    std::array<int, AbstractMusicEventReceiver::kSlotCount> banks_{};
    uint8_t runningStatus_ = 0;  // last channel status, 0 when none
};
