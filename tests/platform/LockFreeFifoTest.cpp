#include <gtest/gtest.h>

#include <atomic>
#include <thread>
#include <vector>

#include "AudioThreadGuard.h"
#include "platform/LockFreeFifo.h"

namespace {
struct Record {
    int32_t producer;
    int32_t sequence;
};
}  // namespace

TEST(LockFreeFifo, PopOnEmptyQueueFailsAndLeavesItUsable) {
    LockFreeFifo<Record> q(16);
    Record r{-1, -1};
    EXPECT_FALSE(q.pop(r));
    EXPECT_FALSE(q.pop(r));
    EXPECT_EQ(r.producer, -1);
    EXPECT_TRUE(q.push({1, 2}));
    EXPECT_TRUE(q.pop(r));
    EXPECT_EQ(r.sequence, 2);
    EXPECT_FALSE(q.pop(r));
}

TEST(LockFreeFifo, FullPoolHolds65534PayloadsInOrderAndRefusesTheRest) {
    LockFreeFifo<Record> q(8192);
    int accepted = 0;
    for (int i = 0; i < 70000; ++i) accepted += q.push({0, i}) ? 1 : 0;
    EXPECT_EQ(accepted, 65534);  // node 0 is reserved and one node is the queue's marker
    EXPECT_EQ(q.poolSize(), LockFreeFifo<Record>::kMaxNodes);
    Record r;
    for (int i = 0; i < 65534; ++i) {
        ASSERT_TRUE(q.pop(r));
        ASSERT_EQ(r.sequence, i);
    }
    EXPECT_FALSE(q.pop(r));
    // The nodes went back to the free list: the full pool is usable again.
    for (int i = 0; i < 65534; ++i) ASSERT_TRUE(q.push({0, i}));
    EXPECT_FALSE(q.push({0, -1}));
}

TEST(LockFreeFifo, PushAndPopWithinThePoolNeitherAllocateNorLock) {
    LockFreeFifo<Record> q(1024);
    AudioThreadGuard guard;
    Record r;
    for (int round = 0; round < 10; ++round) {
        for (int i = 0; i < 1000; ++i) q.push({0, i});
        while (q.pop(r)) {
        }
    }
    EXPECT_EQ(guard.allocations(), 0);
    EXPECT_EQ(guard.locks(), 0);  // always 0 in builds that cannot count locks
}

// Several producers push numbered records while one consumer pops; the pool starts tiny so that it
// grows while the producers contend. Every record must arrive exactly once and, per producer, in order.
TEST(LockFreeFifoStress, ManyProducersOneConsumerLoseAndDuplicateNothing) {
    constexpr int kProducers = 4;
    constexpr int kEach = 60000;
    LockFreeFifo<Record> q(4);
    std::atomic<int> started{0};
    std::vector<std::thread> producers;
    std::atomic<long> refused{0};
    for (int p = 0; p < kProducers; ++p) {
        producers.emplace_back([&, p] {
            started.fetch_add(1);
            while (started.load() < kProducers) {
            }
            for (int i = 0; i < kEach; ++i) {
                while (!q.push({p, i})) {
                    refused.fetch_add(1);  // pool exhausted: wait for the consumer
                    std::this_thread::yield();
                }
            }
        });
    }
    std::vector<int> next(kProducers, 0);
    long received = 0;
    Record r;
    bool ordered = true;
    while (received < static_cast<long>(kProducers) * kEach) {
        if (!q.pop(r)) continue;
        if (r.producer < 0 || r.producer >= kProducers || r.sequence != next[r.producer]) ordered = false;
        else ++next[r.producer];
        ++received;
    }
    for (auto& t : producers) t.join();
    EXPECT_TRUE(ordered);
    for (int p = 0; p < kProducers; ++p) EXPECT_EQ(next[p], kEach);
    EXPECT_FALSE(q.pop(r));
    EXPECT_GT(q.poolSize(), 4);
}

TEST(LockFreeFifo, PushWithoutGrowingDropsAndCountsWhenThePoolIsExhausted) {
    LockFreeFifo<Record> q(16);
    AudioThreadGuard guard;
    int accepted = 0;
    for (int i = 0; i < 40; ++i) accepted += q.pushWithoutGrowing({0, i}) ? 1 : 0;
    EXPECT_EQ(guard.locks(), 0);
    EXPECT_EQ(guard.allocations(), 0);
    EXPECT_EQ(accepted, 14);  // node 0 and the marker are never payloads
    EXPECT_EQ(q.droppedCount(), 26);
    EXPECT_EQ(q.poolSize(), 16);
    Record r;
    for (int i = 0; i < 14; ++i) {
        ASSERT_TRUE(q.pop(r));
        EXPECT_EQ(r.sequence, i);
    }
    EXPECT_TRUE(q.pushWithoutGrowing({0, 99}));  // freed nodes are usable again
}
