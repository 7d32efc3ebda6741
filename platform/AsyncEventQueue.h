#pragma once

#include <cstdint>
#include <deque>
#include <memory>
#include <mutex>
#include <thread>
#include <utility>
#include <vector>

// Hands work to the thread that created the queue. post() may be called from any thread; the
// posted (value, pointer) pairs are delivered, in posting order, only on the owning thread, when
// its event loop calls dispatchPending() (the loop waits on eventFd() to know when to).
// Delivery calls the primary handler first, then the listeners from the last added to the first.
class AsyncEventQueue {
public:
    class Handler {
    public:
        virtual ~Handler() = default;
        virtual void handleEvent(AsyncEventQueue& queue) = 0;
    };
    class Listener {
    public:
        virtual ~Listener() = default;
        virtual void eventPosted(AsyncEventQueue& queue) = 0;
    };

    virtual ~AsyncEventQueue() = default;

    // Any thread; only queues. False when the event could not be queued.
    virtual bool post(int32_t value, void* pointer) = 0;

    // Owning thread. Delivers every waiting event; answers how many were delivered (0 when called
    // from another thread, which never delivers).
    virtual int dispatchPending() = 0;
    // A descriptor that is readable while events wait, for the owning thread's poll loop.
    virtual int eventFd() const = 0;

    // Owning thread.
    void setHandler(std::unique_ptr<Handler> handler) { handler_ = std::move(handler); }
    void addListener(Listener* listener) { listeners_.push_back(listener); }
    void removeListener(Listener* listener);

    // The event being delivered.
    int32_t lastValue() const { return lastValue_; }
    void* lastPointer() const { return lastPointer_; }

    bool isOwningThread() const { return std::this_thread::get_id() == owner_; }

    // Creates a queue owned by the calling thread.
    static std::unique_ptr<AsyncEventQueue> create();
    // Delivers the waiting events of every queue the calling thread owns; answers how many.
    static int dispatchForCurrentThread();
    // Number of queues alive in the process.
    static int liveQueueCount();

protected:
    AsyncEventQueue() : owner_(std::this_thread::get_id()) {}
    void deliver(int32_t value, void* pointer);

private:
    std::thread::id owner_;
    std::unique_ptr<Handler> handler_;
    std::vector<Listener*> listeners_;
    int32_t lastValue_ = 0;
    void* lastPointer_ = nullptr;
};

class PosixAsyncEventQueue : public AsyncEventQueue {
public:
    PosixAsyncEventQueue();
    ~PosixAsyncEventQueue() override;

    bool post(int32_t value, void* pointer) override;
    int dispatchPending() override;
    int eventFd() const override { return fd_; }

private:
    int fd_;
    std::mutex mutex_;
    std::deque<std::pair<int32_t, void*>> pending_;
};
