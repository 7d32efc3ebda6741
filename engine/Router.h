#pragma once

#include <memory>
#include <vector>

#include "core/Property.h"
#include "wave/Producer.h"
#include "wave/SmoothedValue.h"

// Selects one of its inputs, cross-fading over 20 ms when the selection changes: every input has a
// gain ramp that the selection sends to 1 (selected) or 0. Inputs whose ramp stands at 0 are neither
// pulled nor added; a lone input at full gain is passed through by pointer.
class Router : public wave::Source, public PropertyOwner {
public:
    static constexpr float kFadeMs = 20.0f;

    Router(wave::Environment& environment, int inputs);
    ~Router() override;

    // Set-up. Connecting an input sets its ramp at once: 1 when it is the selected one, else 0.
    void setInput(int i, wave::Producer* input);
    wave::Producer* input(int i) const { return inputs_[i].input; }
    int inputCount() const { return static_cast<int>(inputs_.size()); }

    // Audio thread (bound to a parameter): the selected input.
    Property<int> selected;

    void produce(SampleBuffer& output, int count, int flags) override;
    void propertyChanged(AbstractProperty* property) override;

private:
    struct Input {
        wave::Producer* input = nullptr;
        std::unique_ptr<SmoothedValue> ramp;
    };
    std::vector<Input> inputs_;
};
