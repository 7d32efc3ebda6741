#pragma once

// What the host hands the processing callback: one context per instance, its fields laid out by the
// component description (each field a pointer to the host's storage for it), MIDI nodes with their
// packets and the transport.

#include <array>
#include <cstdint>
#include <vector>

#include "host/aax/sdk/AAX_Types.h"

struct AAX_CMidiPacket {
    uint32_t mTimestamp = 0;  // sample offset in the block
    uint32_t mLength = 0;     // bytes used of mData
    uint8_t mData[4] = {0, 0, 0, 0};
};

struct AAX_CMidiStream {
    uint32_t mBufferSize = 0;  // packets
    const AAX_CMidiPacket* mBuffer = nullptr;
};

class AAX_ITransport {
public:
    virtual ~AAX_ITransport() = default;
    virtual AAX_Result GetCurrentTempo(double& bpm) const = 0;
    virtual AAX_Result GetCurrentMeter(int32_t& numerator, int32_t& denominator) const = 0;
    // Bar (from 1), beat within the bar (from 1) and ticks within the beat (960000 a quarter note)
    // at a sample location of the block.
    virtual AAX_Result GetBarBeatPosition(int32_t& bars, int32_t& beats, int64_t& displayTicks,
                                          int64_t sampleLocation) const = 0;
};

class AAX_IMIDINode {
public:
    virtual ~AAX_IMIDINode() = default;
    virtual const AAX_CMidiStream* GetNodeBuffer() const = 0;
    virtual const AAX_ITransport* GetTransport() const = 0;
};

// Field storage of one instance, addressed by field index.
struct AAX_SRenderContext {
    static constexpr int kMaxFields = 16;
    std::array<void*, kMaxFields> field{};

    template <typename T>
    T* get(AAX_CFieldIndex index) const {
        return index >= 0 && index < kMaxFields ? static_cast<T*>(field[index]) : nullptr;
    }
};
