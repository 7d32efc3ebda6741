#pragma once

#include <cstdint>

// One raw MIDI message with its sample offset in the host block; an 8-byte queue record.
struct MidiMessage {
    uint8_t status = 0;
    uint8_t data1 = 0;  // 0 when the message is shorter
    uint8_t data2 = 0;  // 0 when the message is shorter
    uint8_t unused = 0;
    int32_t offset = 0;
};
static_assert(sizeof(MidiMessage) == 8);

// Receives raw MIDI messages.
class MidiMessageReceiver {
public:
    virtual ~MidiMessageReceiver() = default;
    virtual void receiveMidi(const MidiMessage& message) = 0;
};
