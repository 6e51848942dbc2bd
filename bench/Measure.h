#pragma once

#include "AllocationCounter.h"

#include <benchmark/benchmark.h>

#include <cstddef>
#include <cstdint>

namespace Orv::Bench {

// Runs `oneDocument` for every iteration of `state` and reports, besides the
// time: bytes_per_second (of the document's JSON text), allocs_per_doc (heap
// allocations per document) and peak_heap_MB (the most heap held at once
// above what was held before the first iteration).
template <typename OneDocument>
void Measure(benchmark::State& state, std::size_t documentBytes, OneDocument&& oneDocument) {
    const HeapSnapshot before = Heap();
    ResetHeapPeak();
    for (auto _ : state) {
        oneDocument();
    }
    const HeapSnapshot after = Heap();
    const auto iterations = static_cast<double>(state.iterations());
    state.SetBytesProcessed(static_cast<std::int64_t>(state.iterations()) *
                            static_cast<std::int64_t>(documentBytes));
    state.counters["allocs_per_doc"] = static_cast<double>(after.allocations - before.allocations) / iterations;
    state.counters["peak_heap_MB"] = static_cast<double>(HeapPeak() - before.liveBytes) / 1e6;
}

// As Measure, for a `oneDocument` that returns what it made: its release
// happens with the clock stopped.
template <typename OneDocument>
void MeasureKept(benchmark::State& state, std::size_t documentBytes, OneDocument&& oneDocument) {
    Measure(state, documentBytes, [&] {
        auto made = oneDocument();
        state.PauseTiming();
        made.reset();
        state.ResumeTiming();
    });
}

void RegisterWriteBenchmarks();
void RegisterReadBenchmarks();

}  // namespace Orv::Bench
