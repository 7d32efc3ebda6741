#include "wave/Input.h"

#include <algorithm>
#include <cstdint>
#include <cstring>

namespace wave {

void Input::produce(SampleBuffer& output, int count, int) {
    // Without a host buffer, or past its end, the input is silent rather than reading stray memory.
    int available = readPointer_ && count > 0 ? std::clamp(remaining_, 0, count) : 0;
    if (available <= 0) {
        publishSilence();
    } else {
        // An addition rather than a copy: with denormals-are-zero set on the audio thread it turns
        // the denormals a careless host sends into zeros before anything passes them on.
        float* out = output.samples();
        uint32_t magnitudeBits = 0;  // an integer reduction, so that the loop stays vectorised
        for (int i = 0; i < available; ++i) {
            out[i] = readPointer_[i] + 0.0f;
            uint32_t bits;
            std::memcpy(&bits, &out[i], sizeof bits);
            magnitudeBits |= bits & 0x7fffffffu;
        }
        bool silent = magnitudeBits == 0;
        std::fill(out + available, out + count, 0.0f);
        setOutputFlags(0);
        // A silent host block is passed on as silence, so that nodes downstream can skip it.
        if (silent) publishSilence();
    }
    if (readPointer_) readPointer_ += count;
    remaining_ -= count;
}

}  // namespace wave
