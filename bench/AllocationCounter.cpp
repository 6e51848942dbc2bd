#include "AllocationCounter.h"

#include <malloc.h>

#include <cerrno>

// glibc's own entry points, which the replacements below forward to.
extern "C" {
void* __libc_malloc(std::size_t size);
void* __libc_calloc(std::size_t count, std::size_t size);
void* __libc_realloc(void* block, std::size_t size);
void* __libc_memalign(std::size_t alignment, std::size_t size);
void __libc_free(void* block);
}

// The benchmarks run on one thread, so plain counters do: atomics would add a
// locked instruction to every allocation and tilt the figures towards the
// contenders that allocate the least.
namespace {
std::size_t allocationCount = 0;
std::size_t liveBytes = 0;
std::size_t peakBytes = 0;

void* Counted(void* block) noexcept {
    if (block != nullptr) {
        ++allocationCount;
        liveBytes += malloc_usable_size(block);
        if (liveBytes > peakBytes) {
            peakBytes = liveBytes;
        }
    }
    return block;
}

void Uncount(void* block) noexcept {
    if (block != nullptr) {
        liveBytes -= malloc_usable_size(block);
    }
}
}  // namespace

extern "C" {

void* malloc(std::size_t size) {
    return Counted(__libc_malloc(size));
}

void* calloc(std::size_t count, std::size_t size) {
    return Counted(__libc_calloc(count, size));
}

void* realloc(void* block, std::size_t size) {
    const std::size_t before = block != nullptr ? malloc_usable_size(block) : 0;
    void* moved = __libc_realloc(block, size);
    if (moved != nullptr || size == 0) {
        liveBytes -= before;
        Counted(moved);
    }
    return moved;
}

void free(void* block) {
    Uncount(block);
    __libc_free(block);
}

void* memalign(std::size_t alignment, std::size_t size) {
    return Counted(__libc_memalign(alignment, size));
}

void* aligned_alloc(std::size_t alignment, std::size_t size) {
    return Counted(__libc_memalign(alignment, size));
}

int posix_memalign(void** result, std::size_t alignment, std::size_t size) {
    void* block = Counted(__libc_memalign(alignment, size));
    if (block == nullptr) {
        return ENOMEM;
    }
    *result = block;
    return 0;
}

}  // extern "C"

namespace Orv::Bench {

HeapSnapshot Heap() noexcept {
    return {allocationCount, liveBytes};
}

void ResetHeapPeak() noexcept {
    peakBytes = liveBytes;
}

std::size_t HeapPeak() noexcept {
    return peakBytes;
}

}  // namespace Orv::Bench
