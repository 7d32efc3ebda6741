#pragma once

// Counts the heap allocations (and, outside sanitizer builds, the mutex locks) that the calling
// thread makes while a guard is alive. Tests wrap every call that must be real-time safe:
//
//     AudioThreadGuard guard;
//     plugin.process(...);
//     EXPECT_EQ(guard.allocations(), 0);
//
// The counting works by replacing the global allocation functions and pthread_mutex_lock in the
// test binaries; other threads are never counted.
class AudioThreadGuard {
public:
    AudioThreadGuard();
    ~AudioThreadGuard();
    AudioThreadGuard(const AudioThreadGuard&) = delete;
    AudioThreadGuard& operator=(const AudioThreadGuard&) = delete;

    long allocations() const;
    long locks() const;  // 0 in builds that cannot count locks
    // True when lock calls are counted in this build.
    static bool countsLocks();

private:
    long allocationsAtStart_;
    long locksAtStart_;
    bool wasActive_;
};
