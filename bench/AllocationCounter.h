#pragma once

#include <cstddef>

namespace Orv::Bench {

// Heap traffic seen by the malloc family of this binary. The executable's
// malloc, calloc, realloc and free take precedence over the C library's, so
// every allocation is seen: operator new of the C++ runtime (our library,
// jsoncpp, nlohmann) and RapidJSON's allocators, which call malloc directly.
struct HeapSnapshot {
    std::size_t allocations = 0;  // malloc, calloc and realloc calls so far
    std::size_t liveBytes = 0;    // bytes allocated and not yet freed
};

HeapSnapshot Heap() noexcept;

// Starts a new high-water mark at the current live byte count.
void ResetHeapPeak() noexcept;
// Highest live byte count since the last ResetHeapPeak().
std::size_t HeapPeak() noexcept;

}  // namespace Orv::Bench
