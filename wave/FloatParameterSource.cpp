#include "wave/FloatParameterSource.h"

#include <cstring>

namespace wave {
void renderSmoothedValue(Producer& producer, SmoothedValue& value, SampleBuffer& output, int count, int flags) {
    if (flags & OutputNotNeeded) {
        value.skip(count);
        return;
    }
    value.advance();
    bool constant = false;
    const float* samples = value.render(count, constant);
    if (output.empty()) {
        producer.setCurrentOutput(&value.renderBuffer());
    } else {
        std::memcpy(output.samples(), samples, sizeof(float) * count);
    }
    producer.setOutputFlags(constant ? ConstantBlock : 0);
}
}  // namespace wave

FloatParameterSource::FloatParameterSource(wave::Environment& environment, float value, bool ownBuffer)
    : wave::Source(environment, ownBuffer), value_(environment, value) {}

void FloatParameterSource::produce(SampleBuffer& output, int count, int flags) {
    wave::renderSmoothedValue(*this, value_, output, count, flags);
}

void FloatParameterForwarder::produce(SampleBuffer& output, int count, int flags) {
    if (!value_) {
        setCurrentOutput(&environment().zeroBuffer());
        setOutputFlags(wave::ConstantBlock);
        return;
    }
    wave::renderSmoothedValue(*this, *value_, output, count, flags);
}
