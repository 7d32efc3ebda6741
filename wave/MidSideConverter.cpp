#include "wave/MidSideConverter.h"

void MidSideConverter::produceOutputs(std::array<SampleBuffer*, kOutputCount>& buffers, int count,
                                      int flags) {
    if (flags & wave::OutputNotNeeded) return;
    SampleBuffer* inputs[kOutputCount];
    int inputFlags[kOutputCount];
    wave::Producer* producers[kOutputCount] = {first_, second_};
    for (int k = 0; k < kOutputCount; ++k) {
        if (producers[k]) {
            producers[k]->pull(count, flags);
            inputs[k] = producers[k]->currentOutput();
            inputFlags[k] = producers[k]->outputFlags();
        } else {  // a missing input is silence
            inputs[k] = &environment().zeroBuffer();
            inputFlags[k] = wave::ConstantBlock;
        }
    }
    int m = mode.get();
    if (m != Encode && m != Decode) {
        for (int k = 0; k < kOutputCount; ++k) {
            currentOutputs()[k] = inputs[k];
            output(k).setOutputFlags(inputFlags[k]);
        }
        return;
    }
    const float* a = inputs[0]->samples();
    const float* b = inputs[1]->samples();
    float* o1 = buffers[0]->samples();
    float* o2 = buffers[1]->samples();
    if (m == Encode) {
        for (int i = 0; i < count; ++i) {
            float half = (a[i] - b[i]) * 0.5f;
            o1[i] = a[i] - half;
            o2[i] = half;
        }
    } else {
        for (int i = 0; i < count; ++i) {
            float x = a[i];
            float y = b[i];
            o1[i] = x + y;
            o2[i] = x - y;
        }
    }
    int constant = inputFlags[0] & inputFlags[1] & wave::ConstantBlock;
    for (int k = 0; k < kOutputCount; ++k) output(k).setOutputFlags(constant);
}
