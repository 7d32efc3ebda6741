#pragma once

// A block of float samples, 16-byte aligned and zero-filled when allocated. The storage carries 23
// spare bytes: the aligned pointer is the first 16-byte boundary at least 8 bytes past the start of
// the allocation, and the start is kept in the 8 bytes just before the aligned pointer, from where
// it is freed. Allocation happens only at construction, never on the audio thread.
class SampleBuffer {
public:
    SampleBuffer() = default;
    explicit SampleBuffer(int length) { allocate(length); }
    ~SampleBuffer() { release(); }
    SampleBuffer(const SampleBuffer&) = delete;
    SampleBuffer& operator=(const SampleBuffer&) = delete;
    SampleBuffer(SampleBuffer&& other) noexcept : length_(other.length_), samples_(other.samples_) {
        other.length_ = 0;
        other.samples_ = nullptr;
    }
    SampleBuffer& operator=(SampleBuffer&& other) noexcept;

    void allocate(int length);
    void release();

    int length() const { return length_; }
    float* samples() { return samples_; }
    const float* samples() const { return samples_; }
    float& operator[](int i) { return samples_[i]; }
    float operator[](int i) const { return samples_[i]; }
    bool empty() const { return samples_ == nullptr; }

private:
    int length_ = 0;
    float* samples_ = nullptr;
};
