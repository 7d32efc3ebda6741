#pragma once

#include <atomic>
#include <cstdint>
#include <cstring>
#include <type_traits>

#include "platform/CriticalSection.h"

// A first-in-first-out queue of 8-byte payloads that any number of threads may push to and one
// thread pops from, without locks. Nodes live in a pool addressed by 16-bit indices; every link word
// (a node's next, head, tail, the free-list head) packs the index in its low half and a change
// counter in its high half, incremented by every successful compare-and-swap, so that a node reused
// between a read and the swap is detected. Node 0 is reserved: its next word heads the free list, and
// index 0 means "none".
//
// Growth: the pool's address range is reserved for all 65536 nodes up front (zero pages that the
// system maps only when first touched), so nodes never move; a push that finds no free node threads
// more of that range onto the free list, doubling the pool, under the queue's lock. That is the only
// step that locks, so the audio thread pushes with pushWithoutGrowing: its pools are sized for what it
// sends, and a payload that still finds the pool exhausted is dropped and counted.
class LockFreeFifoBase {
public:
    static constexpr int kMaxNodes = 0x10000;

    explicit LockFreeFifoBase(int initialNodes);
    ~LockFreeFifoBase();
    LockFreeFifoBase(const LockFreeFifoBase&) = delete;
    LockFreeFifoBase& operator=(const LockFreeFifoBase&) = delete;

    // [any] (not [audio]: may lock to grow the pool). False when the pool is exhausted and cannot
    // grow: the payload is dropped.
    bool pushRaw(const void* payload);
    // [any], [audio] included: never grows the pool, never locks. False, with the drop counted, when
    // no node is free.
    bool pushRawWithoutGrowing(const void* payload);
    // The consuming thread. False when the queue is empty.
    bool popRaw(void* payload);

    int poolSize() const { return poolSize_.load(std::memory_order_acquire); }
    // [any] Payloads dropped by pushRawWithoutGrowing since construction (a debug statistic).
    long droppedCount() const { return dropped_.load(std::memory_order_relaxed); }

private:
    struct Node {
        std::atomic<uint32_t> next;
        uint32_t payload[2];
    };
    static_assert(sizeof(Node) == 12);

    static uint32_t indexOf(uint32_t link) { return link & 0xFFFFu; }
    static uint32_t counterOf(uint32_t link) { return link >> 16; }
    static uint32_t link(uint32_t index, uint32_t counter) { return (index & 0xFFFFu) | (counter << 16); }

    uint32_t takeFreeNode();
    void releaseNode(uint32_t index);
    uint32_t grow();
    void append(uint32_t index, const void* payload);

    Node* nodes_;
    std::atomic<int> poolSize_;
    std::atomic<uint32_t> head_;
    std::atomic<uint32_t> tail_;
    std::atomic<long> dropped_{0};
    PosixCriticalSection growLock_;
};

template <typename T>
class LockFreeFifo : private LockFreeFifoBase {
    static_assert(sizeof(T) == 8 && std::is_trivially_copyable_v<T>, "payloads are 8-byte records");

public:
    explicit LockFreeFifo(int initialNodes) : LockFreeFifoBase(initialNodes) {}

    bool push(const T& payload) { return pushRaw(&payload); }
    bool pushWithoutGrowing(const T& payload) { return pushRawWithoutGrowing(&payload); }
    bool pop(T& payload) { return popRaw(&payload); }
    using LockFreeFifoBase::kMaxNodes;
    using LockFreeFifoBase::droppedCount;
    using LockFreeFifoBase::poolSize;
};
