#pragma once

#include <memory>
#include <mutex>

// A lock that the owning thread may enter recursively.
class CriticalSection {
public:
    virtual ~CriticalSection() = default;
    virtual void enter() = 0;
    virtual void leave() = 0;

    static std::unique_ptr<CriticalSection> create();
};

class PosixCriticalSection : public CriticalSection {
public:
    void enter() override { mutex_.lock(); }
    void leave() override { mutex_.unlock(); }

private:
    std::recursive_mutex mutex_;
};

// Scoped entry into a critical section.
class CriticalSectionGuard {
public:
    explicit CriticalSectionGuard(CriticalSection& section) : section_(section) { section_.enter(); }
    ~CriticalSectionGuard() { section_.leave(); }
    CriticalSectionGuard(const CriticalSectionGuard&) = delete;
    CriticalSectionGuard& operator=(const CriticalSectionGuard&) = delete;

private:
    CriticalSection& section_;
};
