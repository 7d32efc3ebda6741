#include "platform/AsyncEventQueue.h"

#include <sys/eventfd.h>
#include <unistd.h>

#include <algorithm>

namespace {
// Every live queue, so that a thread's event loop can serve all the queues it owns.
std::mutex& registryMutex() {
    static std::mutex m;
    return m;
}
std::vector<AsyncEventQueue*>& registry() {
    static std::vector<AsyncEventQueue*> queues;
    return queues;
}
}  // namespace

void AsyncEventQueue::removeListener(Listener* listener) { std::erase(listeners_, listener); }

void AsyncEventQueue::deliver(int32_t value, void* pointer) {
    lastValue_ = value;
    lastPointer_ = pointer;
    if (handler_) handler_->handleEvent(*this);
    for (size_t i = listeners_.size(); i > 0; --i) {
        if (i <= listeners_.size()) listeners_[i - 1]->eventPosted(*this);
    }
}

std::unique_ptr<AsyncEventQueue> AsyncEventQueue::create() { return std::make_unique<PosixAsyncEventQueue>(); }

int AsyncEventQueue::dispatchForCurrentThread() {
    std::vector<AsyncEventQueue*> mine;
    {
        std::lock_guard<std::mutex> lock(registryMutex());
        for (AsyncEventQueue* q : registry())
            if (q->isOwningThread()) mine.push_back(q);
    }
    int delivered = 0;
    for (AsyncEventQueue* q : mine) delivered += q->dispatchPending();
    return delivered;
}

int AsyncEventQueue::liveQueueCount() {
    std::lock_guard<std::mutex> lock(registryMutex());
    return static_cast<int>(registry().size());
}

PosixAsyncEventQueue::PosixAsyncEventQueue() : fd_(eventfd(0, EFD_NONBLOCK | EFD_CLOEXEC)) {
    std::lock_guard<std::mutex> lock(registryMutex());
    registry().push_back(this);
}

PosixAsyncEventQueue::~PosixAsyncEventQueue() {
    {
        std::lock_guard<std::mutex> lock(registryMutex());
        std::erase(registry(), static_cast<AsyncEventQueue*>(this));
    }
    if (fd_ >= 0) close(fd_);
}

bool PosixAsyncEventQueue::post(int32_t value, void* pointer) {
    if (fd_ < 0) return false;
    {
        std::lock_guard<std::mutex> lock(mutex_);
        pending_.emplace_back(value, pointer);
    }
    uint64_t one = 1;
    return write(fd_, &one, sizeof one) == static_cast<ssize_t>(sizeof one);
}

int PosixAsyncEventQueue::dispatchPending() {
    if (!isOwningThread()) return 0;
    uint64_t count;
    while (read(fd_, &count, sizeof count) > 0) {
    }
    int delivered = 0;
    for (;;) {
        std::pair<int32_t, void*> event;
        {
            std::lock_guard<std::mutex> lock(mutex_);
            if (pending_.empty()) break;
            event = pending_.front();
            pending_.pop_front();
        }
        deliver(event.first, event.second);
        ++delivered;
    }
    return delivered;
}
