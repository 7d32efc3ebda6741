#include "wave/Input.h"

#include <algorithm>
#include <cstring>

namespace wave {

void Input::produce(SampleBuffer& output, int count, int) {
    // Without a host buffer, or past its end, the input is silent rather than reading stray memory.
    int available = readPointer_ && count > 0 ? std::clamp(remaining_, 0, count) : 0;
    if (available <= 0) {
        setCurrentOutput(&environment_->zeroBuffer());
        setOutputFlags(ConstantBlock);
    } else {
        std::copy(readPointer_, readPointer_ + available, output.samples());
        std::fill(output.samples() + available, output.samples() + count, 0.0f);
        setOutputFlags(0);
    }
    if (readPointer_) readPointer_ += count;
    remaining_ -= count;
}

}  // namespace wave
