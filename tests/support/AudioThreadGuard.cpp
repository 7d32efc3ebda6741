#include "AudioThreadGuard.h"

#include <dlfcn.h>
#include <pthread.h>

#include <cstddef>
#include <cstdlib>
#include <new>

namespace {
thread_local bool active = false;
thread_local long allocationCount = 0;
thread_local long lockCount = 0;

// With LORIMANE_TRAP_AUDIO_ALLOCATIONS set, a counted allocation or lock stops the program, so that a
// debugger shows where it came from.
[[maybe_unused]] void counted(long& counter) {
    ++counter;
    static const bool trap = std::getenv("LORIMANE_TRAP_AUDIO_ALLOCATIONS") != nullptr;
    if (trap) __builtin_trap();
}

}  // namespace

AudioThreadGuard::AudioThreadGuard()
    : allocationsAtStart_(allocationCount), locksAtStart_(lockCount), wasActive_(active) {
    active = true;
}
AudioThreadGuard::~AudioThreadGuard() { active = wasActive_; }
long AudioThreadGuard::allocations() const { return allocationCount - allocationsAtStart_; }
long AudioThreadGuard::locks() const { return lockCount - locksAtStart_; }

#if defined(__SANITIZE_THREAD__) || defined(__SANITIZE_ADDRESS__)
bool AudioThreadGuard::countsLocks() { return false; }
#define LORIMANE_REPLACE_ALLOCATION 0
#else
bool AudioThreadGuard::countsLocks() { return true; }
#define LORIMANE_REPLACE_ALLOCATION 1

// Interposes the lock call of the C library so that std::mutex and friends are counted too.
extern "C" int pthread_mutex_lock(pthread_mutex_t* mutex) {
    using LockFunction = int (*)(pthread_mutex_t*);
    static LockFunction real = reinterpret_cast<LockFunction>(dlsym(RTLD_NEXT, "pthread_mutex_lock"));
    if (active) counted(lockCount);
    return real(mutex);
}
#endif

#if LORIMANE_REPLACE_ALLOCATION
// The C allocation functions are replaced too, so that calloc and malloc in any code are counted.
extern "C" {
void* __libc_malloc(std::size_t);
void* __libc_calloc(std::size_t, std::size_t);
void* __libc_realloc(void*, std::size_t);
void* __libc_memalign(std::size_t, std::size_t);

void* malloc(std::size_t size) {
    if (active) counted(allocationCount);
    return __libc_malloc(size);
}
void* calloc(std::size_t count, std::size_t size) {
    if (active) counted(allocationCount);
    return __libc_calloc(count, size);
}
void* realloc(void* p, std::size_t size) {
    if (active) counted(allocationCount);
    return __libc_realloc(p, size);
}
}

namespace {
void* allocate(std::size_t size, std::size_t alignment) {
    if (size == 0) size = 1;
    if (alignment <= alignof(std::max_align_t)) return std::malloc(size);
    if (active) counted(allocationCount);
    return __libc_memalign(alignment, size);
}
}  // namespace

void* operator new(std::size_t size) {
    if (void* p = allocate(size, 0)) return p;
    throw std::bad_alloc();
}
void* operator new[](std::size_t size) { return operator new(size); }
void* operator new(std::size_t size, const std::nothrow_t&) noexcept { return allocate(size, 0); }
void* operator new[](std::size_t size, const std::nothrow_t&) noexcept { return allocate(size, 0); }
void* operator new(std::size_t size, std::align_val_t al) {
    if (void* p = allocate(size, static_cast<std::size_t>(al))) return p;
    throw std::bad_alloc();
}
void* operator new[](std::size_t size, std::align_val_t al) { return operator new(size, al); }
void operator delete(void* p) noexcept { std::free(p); }
void operator delete[](void* p) noexcept { std::free(p); }
void operator delete(void* p, std::size_t) noexcept { std::free(p); }
void operator delete[](void* p, std::size_t) noexcept { std::free(p); }
void operator delete(void* p, std::align_val_t) noexcept { std::free(p); }
void operator delete[](void* p, std::align_val_t) noexcept { std::free(p); }
void operator delete(void* p, std::size_t, std::align_val_t) noexcept { std::free(p); }
void operator delete[](void* p, std::size_t, std::align_val_t) noexcept { std::free(p); }
#endif
