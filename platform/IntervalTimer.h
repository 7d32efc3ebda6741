#pragma once

#include <cstdint>
#include <memory>

// A 32-bit millisecond clock that wraps like the system tick counter. Tests inject their own.
class MillisecondClock {
public:
    virtual ~MillisecondClock() = default;
    virtual uint32_t nowMs() const = 0;

    // The process's monotonic clock.
    static const MillisecondClock& monotonic();
};

// Measures elapsed milliseconds; the difference is taken modulo 2^32 so that it stays true across
// the wrap of the counter. Any thread, one at a time.
class IntervalTimer {
public:
    virtual ~IntervalTimer() = default;
    virtual int32_t elapsedMs() const = 0;
    // Starts measuring again; answers the new start time.
    virtual int32_t restart() = 0;

    static std::unique_ptr<IntervalTimer> create(const MillisecondClock& clock = MillisecondClock::monotonic());
};

class PosixIntervalTimer : public IntervalTimer {
public:
    explicit PosixIntervalTimer(const MillisecondClock& clock);
    int32_t elapsedMs() const override;
    int32_t restart() override;

private:
    const MillisecondClock& clock_;
    uint32_t start_;
};
