#include <gtest/gtest.h>

#include <atomic>
#include <thread>
#include <vector>

#include "platform/AsyncEventQueue.h"

namespace {
struct Log {
    std::vector<std::pair<int, int>> calls;  // (who, value)
    std::thread::id thread;
};
struct RecordingHandler : AsyncEventQueue::Handler {
    explicit RecordingHandler(Log& log) : log(log) {}
    void handleEvent(AsyncEventQueue& q) override {
        log.calls.emplace_back(0, q.lastValue());
        log.thread = std::this_thread::get_id();
    }
    Log& log;
};
struct RecordingListener : AsyncEventQueue::Listener {
    RecordingListener(Log& log, int id) : log(log), id(id) {}
    void eventPosted(AsyncEventQueue& q) override { log.calls.emplace_back(id, q.lastValue()); }
    Log& log;
    int id;
};
}  // namespace

TEST(AsyncEventQueue, DeliversOnTheOwningThreadHandlerFirstThenListenersLastToFirst) {
    Log log;
    auto queue = AsyncEventQueue::create();
    queue->setHandler(std::make_unique<RecordingHandler>(log));
    RecordingListener first(log, 1), second(log, 2);
    queue->addListener(&first);
    queue->addListener(&second);

    std::thread poster([&] {
        EXPECT_TRUE(queue->post(7, &log));
        EXPECT_EQ(queue->dispatchPending(), 0);  // another thread never delivers
    });
    poster.join();
    EXPECT_TRUE(log.calls.empty());
    EXPECT_EQ(AsyncEventQueue::dispatchForCurrentThread(), 1);
    EXPECT_EQ(log.calls, (std::vector<std::pair<int, int>>{{0, 7}, {2, 7}, {1, 7}}));
    EXPECT_EQ(log.thread, std::this_thread::get_id());
    EXPECT_EQ(queue->lastPointer(), &log);
}

TEST(AsyncEventQueue, EventsFromManyThreadsArriveInPostingOrderPerThread) {
    Log log;
    auto queue = AsyncEventQueue::create();
    queue->setHandler(std::make_unique<RecordingHandler>(log));
    constexpr int kThreads = 4, kEach = 500;
    std::vector<std::thread> threads;
    for (int t = 0; t < kThreads; ++t)
        threads.emplace_back([&, t] {
            for (int i = 0; i < kEach; ++i) queue->post(t * kEach + i, nullptr);
        });
    int delivered = 0;
    while (delivered < kThreads * kEach) delivered += queue->dispatchPending();
    for (auto& t : threads) t.join();
    std::vector<int> last(kThreads, -1);
    for (auto [who, value] : log.calls) {
        int t = value / kEach;
        EXPECT_GT(value, last[t]);
        last[t] = value;
    }
    EXPECT_EQ(static_cast<int>(log.calls.size()), kThreads * kEach);
}

TEST(AsyncEventQueue, QueuesAreCountedProcessWide) {
    int before = AsyncEventQueue::liveQueueCount();
    {
        auto a = AsyncEventQueue::create();
        auto b = AsyncEventQueue::create();
        EXPECT_EQ(AsyncEventQueue::liveQueueCount(), before + 2);
        a.reset();
        EXPECT_EQ(AsyncEventQueue::liveQueueCount(), before + 1);
    }
    EXPECT_EQ(AsyncEventQueue::liveQueueCount(), before);
}
