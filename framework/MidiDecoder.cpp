#include "framework/MidiDecoder.h"

namespace {
constexpr float kInverse127 = 1.0f / 127.0f;
constexpr float kPitchBendFactor = 6.1038882e-5f;  // 16385 / 2^28
}  // namespace

MidiDecoder::MidiDecoder(AbstractMusicEventReceiver& receiver) : receiver_(receiver) { receiver_.attached(); }

void MidiDecoder::receiveMidi(const MidiMessage& received) {
    MidiMessage message = received;
    if (message.status < 0x80) {
        // Running status: the bytes are the data of another message with the last status.
        if (!runningStatus_) return;
        message.data2 = message.data1;
        message.data1 = message.status;
        message.status = runningStatus_;
    }
    int status = message.status;
    if (receiver_.rawMessageHook) receiver_.rawMessageHook(status, message.data1, message.data2);
    if (status >= 0x80 && status <= 0xEF) {
        runningStatus_ = message.status;
        decodeForSlot(0, message);
        decodeForSlot((status & 0x0F) + 1, message);
    } else if (status >= 0xF0 && status <= 0xF7) {
        runningStatus_ = 0;  // system common messages cancel running status; real-time ones do not
    } else if (status == 0xFF) {
        if (receiver_.systemResetHook) receiver_.systemResetHook();
    }
}

void MidiDecoder::decodeForSlot(int slot, const MidiMessage& message) {
    AbstractChannelEventReceiver* r = receiver_.channelReceivers[slot].get();
    if (!r) return;
    int d1 = message.data1 & 0x7F;
    int d2 = message.data2 & 0x7F;
    int& bank = banks_[slot];
    switch (message.status >> 4) {
        case 0x8:
            r->noteOff(d1, d2 * kInverse127);
            break;
        case 0x9:
            if (d2 != 0)
                r->noteOn(d1, d2 * kInverse127);
            else
                r->noteOff(d1, 0.0f);
            break;
        case 0xA:
            r->polyPressure(d1, d2 * kInverse127);
            break;
        case 0xB:
            if (d1 == 0)
                bank = (d2 << 7) | (bank & 0x7F);
            else if (d1 == 32)
                bank = (bank & 0x3F80) + d2;
            else if (d1 == 123)
                r->allNotesOff();
            else
                r->controlChange(d1, d2, d2 * kInverse127);
            break;
        case 0xC:
            r->programChange(bank, d1);
            break;
        case 0xD:
            r->channelPressure(d1 * kInverse127);
            break;
        case 0xE:
            r->pitchBend(static_cast<float>(d1 + 128 * d2) * kPitchBendFactor - 0.5f);
            break;
    }
}
