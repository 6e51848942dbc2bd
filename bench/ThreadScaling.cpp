// Reads documents on 1, 2, ... threads at once, each thread its own copy of
// the document, for a fixed time each, and prints one JSON line per thread
// count: documents read per second in all, and per thread. Without the
// benchmark binary's counting malloc, so the C library's heap serves the
// threads as it serves a real program.
//
// Usage: orv-timeline-json-threads [DOCUMENT [SECONDS [MAX_THREADS]]]
//   DOCUMENT     a benchmark document (medium by default)
//   SECONDS      time per thread count (default 2)
//   MAX_THREADS  most threads (default: the machine's hardware threads)

#include "Workloads.h"

#include <Orv/TimelineEngineModel/Serialization/Json/JsonTextToTimelineConverter.h>

#include <atomic>
#include <chrono>
#include <cstdio>
#include <exception>
#include <memory>
#include <string>
#include <thread>
#include <vector>

namespace {
using Orv::TimelineEngineModel::Timeline;
using Orv::TimelineEngineModel::Serialization::Json::JsonTextToTimelineConverter;

// Documents read by `threads` threads in `seconds`, each thread reading its
// own copy of `text` until told to stop.
double Throughput(const std::string& text, unsigned threads, double seconds) {
    std::atomic<bool> stop{false};
    std::atomic<bool> failed{false};
    std::vector<unsigned long> counts(threads);
    std::vector<std::thread> workers;
    for (unsigned t = 0; t < threads; ++t) {
        workers.emplace_back([&, t] {
            const std::string copy = text;
            unsigned long count = 0;
            while (!stop.load(std::memory_order_relaxed)) {
                std::unique_ptr<Timeline> timeline;
                failed = failed || !JsonTextToTimelineConverter().To(copy, timeline);
                ++count;
            }
            counts[t] = count;
        });
    }
    const auto start = std::chrono::steady_clock::now();
    std::this_thread::sleep_for(std::chrono::duration<double>(seconds));
    stop = true;
    for (std::thread& worker : workers) {
        worker.join();
    }
    const double elapsed = std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
    if (failed) {
        throw std::runtime_error("a read failed");
    }
    unsigned long total = 0;
    for (unsigned long count : counts) {
        total += count;
    }
    return static_cast<double>(total) / elapsed;
}
}  // namespace

int main(int argc, char** argv) {
    try {
        const std::string name = argc > 1 ? argv[1] : "medium";
        const double seconds = argc > 2 ? std::stod(argv[2]) : 2.0;
        const unsigned most = argc > 3 ? static_cast<unsigned>(std::stoul(argv[3]))
                                       : std::max(1u, std::thread::hardware_concurrency());
        const std::string text = Orv::Bench::WriteWithOurs(Orv::Bench::WorkloadTimeline(name));
        for (unsigned threads = 1; threads <= most; ++threads) {
            const double documents = Throughput(text, threads, seconds);
            std::printf("{\"document\": \"%s\", \"threads\": %u, \"documents_per_second\": %.1f, "
                        "\"per_thread\": %.1f, \"bytes\": %zu}\n",
                        name.c_str(), threads, documents, documents / threads, text.size());
        }
    } catch (const std::exception& error) {
        std::fprintf(stderr, "orv-timeline-json-threads: %s\n", error.what());
        return 1;
    }
    return 0;
}
