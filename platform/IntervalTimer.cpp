#include "platform/IntervalTimer.h"

#include <chrono>

namespace {
class MonotonicClock : public MillisecondClock {
public:
    uint32_t nowMs() const override {
        auto now = std::chrono::steady_clock::now().time_since_epoch();
        return static_cast<uint32_t>(std::chrono::duration_cast<std::chrono::milliseconds>(now).count());
    }
};
}  // namespace

const MillisecondClock& MillisecondClock::monotonic() {
    static const MonotonicClock clock;
    return clock;
}

std::unique_ptr<IntervalTimer> IntervalTimer::create(const MillisecondClock& clock) {
    return std::make_unique<PosixIntervalTimer>(clock);
}

PosixIntervalTimer::PosixIntervalTimer(const MillisecondClock& clock) : clock_(clock), start_(clock.nowMs()) {}

int32_t PosixIntervalTimer::elapsedMs() const { return static_cast<int32_t>(clock_.nowMs() - start_); }

int32_t PosixIntervalTimer::restart() {
    start_ = clock_.nowMs();
    return static_cast<int32_t>(start_);
}
