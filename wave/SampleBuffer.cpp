#include "wave/SampleBuffer.h"

#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <new>

SampleBuffer& SampleBuffer::operator=(SampleBuffer&& other) noexcept {
    if (this != &other) {
        release();
        length_ = other.length_;
        samples_ = other.samples_;
        other.length_ = 0;
        other.samples_ = nullptr;
    }
    return *this;
}

void SampleBuffer::allocate(int length) {
    release();
    if (length < 0) length = 0;
    size_t bytes = static_cast<size_t>(length) * sizeof(float) + 23;
    auto* start = static_cast<unsigned char*>(std::calloc(bytes, 1));
    if (!start) throw std::bad_alloc();
    uintptr_t aligned = (reinterpret_cast<uintptr_t>(start) + 8 + 15) & ~uintptr_t(15);
    std::memcpy(reinterpret_cast<void*>(aligned - 8), &start, sizeof start);
    samples_ = reinterpret_cast<float*>(aligned);
    length_ = length;
}

void SampleBuffer::release() {
    if (!samples_) return;
    void* start;
    std::memcpy(&start, reinterpret_cast<unsigned char*>(samples_) - 8, sizeof start);
    std::free(start);
    samples_ = nullptr;
    length_ = 0;
}
