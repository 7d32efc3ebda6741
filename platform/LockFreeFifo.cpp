#include "platform/LockFreeFifo.h"

#include <algorithm>
#include <cstdlib>
#include <new>

LockFreeFifoBase::LockFreeFifoBase(int initialNodes) {
    // calloc of this size maps fresh zero pages: only the nodes in use take memory.
    nodes_ = static_cast<Node*>(std::calloc(kMaxNodes, sizeof(Node)));
    if (!nodes_) throw std::bad_alloc();
    int size = std::clamp(initialNodes, 2, kMaxNodes);
    poolSize_.store(size, std::memory_order_relaxed);
    // Nodes 1 .. size-1 form the free list; node 0's next word is its head.
    for (int i = 1; i < size; ++i) nodes_[i].next.store(link(i + 1 < size ? i + 1 : 0, 0), std::memory_order_relaxed);
    nodes_[0].next.store(link(1, 0), std::memory_order_relaxed);
    uint32_t marker = takeFreeNode();
    head_.store(link(marker, 0), std::memory_order_relaxed);
    tail_.store(link(marker, 0), std::memory_order_release);
}

LockFreeFifoBase::~LockFreeFifoBase() { std::free(nodes_); }

uint32_t LockFreeFifoBase::takeFreeNode() {
    std::atomic<uint32_t>& freeHead = nodes_[0].next;
    uint32_t first = freeHead.load(std::memory_order_acquire);
    for (;;) {
        uint32_t index = indexOf(first);
        if (index == 0) return 0;
        uint32_t after = nodes_[index].next.load(std::memory_order_acquire);
        if (freeHead.compare_exchange_weak(first, link(indexOf(after), counterOf(first) + 1),
                                           std::memory_order_acq_rel, std::memory_order_acquire)) {
            nodes_[index].next.store(link(0, counterOf(after) + 1), std::memory_order_relaxed);
            return index;
        }
    }
}

void LockFreeFifoBase::releaseNode(uint32_t index) {
    std::atomic<uint32_t>& freeHead = nodes_[0].next;
    uint32_t first = freeHead.load(std::memory_order_acquire);
    for (;;) {
        uint32_t own = nodes_[index].next.load(std::memory_order_relaxed);
        nodes_[index].next.store(link(indexOf(first), counterOf(own) + 1), std::memory_order_relaxed);
        if (freeHead.compare_exchange_weak(first, link(index, counterOf(first) + 1), std::memory_order_acq_rel,
                                           std::memory_order_acquire))
            return;
    }
}

uint32_t LockFreeFifoBase::grow() {
    CriticalSectionGuard guard(growLock_);
    // Another pusher may have grown the pool, or the consumer freed a node, while we waited.
    if (uint32_t index = takeFreeNode()) return index;
    int size = poolSize_.load(std::memory_order_relaxed);
    if (size >= kMaxNodes) return 0;
    int newSize = std::min(2 * size, kMaxNodes);
    for (int i = size + 1; i < newSize; ++i) releaseNode(i);
    poolSize_.store(newSize, std::memory_order_release);
    nodes_[size].next.store(0, std::memory_order_relaxed);
    return static_cast<uint32_t>(size);
}

bool LockFreeFifoBase::pushRaw(const void* payload) {
    uint32_t index = takeFreeNode();
    if (!index) index = grow();
    if (!index) return false;
    append(index, payload);
    return true;
}

bool LockFreeFifoBase::pushRawWithoutGrowing(const void* payload) {
    uint32_t index = takeFreeNode();
    if (!index) {
        dropped_.fetch_add(1, std::memory_order_relaxed);
        return false;
    }
    append(index, payload);
    return true;
}

void LockFreeFifoBase::append(uint32_t index, const void* payload) {
    Node& node = nodes_[index];
    std::memcpy(node.payload, payload, sizeof node.payload);
    // The node's next is already "none" with a fresh counter.
    for (;;) {
        uint32_t tail = tail_.load(std::memory_order_acquire);
        uint32_t next = nodes_[indexOf(tail)].next.load(std::memory_order_acquire);
        if (tail != tail_.load(std::memory_order_acquire)) continue;
        if (indexOf(next) != 0) {
            tail_.compare_exchange_weak(tail, link(indexOf(next), counterOf(tail) + 1), std::memory_order_acq_rel);
            continue;
        }
        if (nodes_[indexOf(tail)].next.compare_exchange_weak(next, link(index, counterOf(next) + 1),
                                                             std::memory_order_acq_rel)) {
            tail_.compare_exchange_strong(tail, link(index, counterOf(tail) + 1), std::memory_order_acq_rel);
            return;
        }
    }
}

bool LockFreeFifoBase::popRaw(void* payload) {
    for (;;) {
        uint32_t head = head_.load(std::memory_order_acquire);
        uint32_t tail = tail_.load(std::memory_order_acquire);
        uint32_t next = nodes_[indexOf(head)].next.load(std::memory_order_acquire);
        if (head != head_.load(std::memory_order_acquire)) continue;
        if (indexOf(head) == indexOf(tail)) {
            if (indexOf(next) == 0) return false;
            tail_.compare_exchange_weak(tail, link(indexOf(next), counterOf(tail) + 1), std::memory_order_acq_rel);
            continue;
        }
        uint32_t value[2];
        std::memcpy(value, nodes_[indexOf(next)].payload, sizeof value);
        if (head_.compare_exchange_weak(head, link(indexOf(next), counterOf(head) + 1), std::memory_order_acq_rel)) {
            std::memcpy(payload, value, sizeof value);
            releaseNode(indexOf(head));
            return true;
        }
    }
}
