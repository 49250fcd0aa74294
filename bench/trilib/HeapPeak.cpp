#include "HeapPeak.h"

#include <atomic>
#include <cstdint>

#ifndef VANTREL_NO_HEAP_PEAK

#include <malloc.h>

// glibc's allocator under its internal names: the wrappers below take the
// public names and forward here.
extern "C" {
void* __libc_malloc(std::size_t size) noexcept;
void __libc_free(void* p) noexcept;
void* __libc_calloc(std::size_t count, std::size_t size) noexcept;
void* __libc_realloc(void* p, std::size_t size) noexcept;
void* __libc_memalign(std::size_t alignment, std::size_t size) noexcept;
void* __libc_valloc(std::size_t size) noexcept;
void* __libc_pvalloc(std::size_t size) noexcept;
}

namespace {

std::atomic<bool> counting{false};
std::atomic<std::int64_t> live{0};
std::atomic<std::int64_t> peak{0};

// Blocks freed during a measurement may predate it, so `live` can go
// negative: the peak is the growth over the starting point.
void grow(void* p) {
    if (p == nullptr || !counting.load(std::memory_order_relaxed)) {
        return;
    }
    const auto size = static_cast<std::int64_t>(malloc_usable_size(p));
    const std::int64_t now = live.fetch_add(size, std::memory_order_relaxed) + size;
    std::int64_t seen = peak.load(std::memory_order_relaxed);
    while (now > seen && !peak.compare_exchange_weak(seen, now, std::memory_order_relaxed)) {
    }
}

void shrink(void* p) {
    if (p == nullptr || !counting.load(std::memory_order_relaxed)) {
        return;
    }
    live.fetch_sub(static_cast<std::int64_t>(malloc_usable_size(p)), std::memory_order_relaxed);
}

} // namespace

extern "C" {

void* malloc(std::size_t size) noexcept {
    void* p = __libc_malloc(size);
    grow(p);
    return p;
}

void free(void* p) noexcept {
    shrink(p);
    __libc_free(p);
}

void* calloc(std::size_t count, std::size_t size) noexcept {
    void* p = __libc_calloc(count, size);
    grow(p);
    return p;
}

void* realloc(void* p, std::size_t size) noexcept {
    shrink(p);
    void* q = __libc_realloc(p, size);
    // A failed realloc keeps the old block.
    grow(q != nullptr || size == 0 ? q : p);
    return q;
}

void* memalign(std::size_t alignment, std::size_t size) noexcept {
    void* p = __libc_memalign(alignment, size);
    grow(p);
    return p;
}

void* aligned_alloc(std::size_t alignment, std::size_t size) noexcept {
    return memalign(alignment, size);
}

int posix_memalign(void** out, std::size_t alignment, std::size_t size) noexcept {
    if (alignment % sizeof(void*) != 0 || (alignment & (alignment - 1)) != 0) {
        return 22; // EINVAL
    }
    void* p = memalign(alignment, size);
    if (p == nullptr) {
        return 12; // ENOMEM
    }
    *out = p;
    return 0;
}

void* valloc(std::size_t size) noexcept {
    void* p = __libc_valloc(size);
    grow(p);
    return p;
}

void* pvalloc(std::size_t size) noexcept {
    void* p = __libc_pvalloc(size);
    grow(p);
    return p;
}

} // extern "C"

namespace bench {

bool heapPeakAvailable() { return true; }

void heapPeakStart() {
    live.store(0);
    peak.store(0);
    counting.store(true);
}

std::size_t heapPeakStop() {
    counting.store(false);
    return static_cast<std::size_t>(peak.load());
}

} // namespace bench

#else

namespace bench {

bool heapPeakAvailable() { return false; }
void heapPeakStart() {}
std::size_t heapPeakStop() { return 0; }

} // namespace bench

#endif
