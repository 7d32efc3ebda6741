#pragma once

#include <vector>

#include "core/Property.h"
#include "wave/Producer.h"

// A threshold detector with hysteresis on a level signal: it turns on when the level rises above the
// threshold and off once the level has stayed below half the threshold for longer than the hold time.
// Each run lists the state changes of the block with their sample positions.
class Trigger : public PropertyOwner {
public:
    struct Event {
        int state;        // 1 on, 0 off
        int sampleIndex;  // within the block
    };

    explicit Trigger(wave::Environment& environment);

    Property<float> holdTime;          // ms
    Property<int> enabled;             // 0 disables the trigger
    LimitedProperty<float> threshold;  // 0 .. 1

    void setLevelInput(wave::Producer* producer) { levelInput_ = producer; }
    wave::Producer* levelInput() const { return levelInput_; }

    // Audio thread. Never blocks or allocates. Runs at most once per processing cycle.
    void run(int count);

    const std::vector<Event>& events() const { return events_; }
    int state() const { return state_; }
    int holdCount() const { return holdCount_; }
    bool isEnabled() const { return enabled.get() != 0; }

    void propertyChanged(AbstractProperty* property) override;

private:
    void updateHoldCount();

    wave::Environment& environment_;
    wave::Producer* levelInput_ = nullptr;
    int holdCount_ = 1;
    float holdRate_ = 0.0f;  // sample rate the hold count was computed for
    int belowCounter_ = 0;
    int state_ = 0;
    int cycleStamp_ = -1;
    std::vector<Event> events_;
};
