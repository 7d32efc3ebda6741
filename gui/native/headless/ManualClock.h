#pragma once

#include <atomic>
#include <cstdint>

#include "platform/IntervalTimer.h"

namespace gui::native {

// A millisecond clock that only moves when told to; it wraps like the platform's counter.
class ManualClock : public MillisecondClock {
public:
    explicit ManualClock(uint32_t start = 1000) : now_(start) {}
    uint32_t nowMs() const override { return now_.load(std::memory_order_relaxed); }
    void set(uint32_t ms) { now_.store(ms, std::memory_order_relaxed); }
    void advance(uint32_t ms) { now_.fetch_add(ms, std::memory_order_relaxed); }

private:
    std::atomic<uint32_t> now_;
};

}  // namespace gui::native
