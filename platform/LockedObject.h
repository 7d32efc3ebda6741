#pragma once

#include "platform/CriticalSection.h"

// Base of objects guarded by a critical section of their own.
class LockedObject {
public:
    LockedObject() : lock_(CriticalSection::create()) {}
    virtual ~LockedObject() = default;

    void enter() const { lock_->enter(); }
    void leave() const { lock_->leave(); }
    CriticalSection& lock() const { return *lock_; }

private:
    std::unique_ptr<CriticalSection> lock_;
};
