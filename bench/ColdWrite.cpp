// One write of one document in a fresh process: the first write a program
// makes, when the heap has not yet grown and every page the text needs is
// new to the process. scripts/bench.sh runs it many times, each a process of
// its own, and report.py takes the medians.
//
// Usage: orv-timeline-json-cold WRITER DOCUMENT [STATE]
//   WRITER    ours | rapidjson
//   DOCUMENT  a benchmark document (large, uuid, ...)
//   STATE     fresh (the default): the model is built, nothing else was done;
//             parsed: the document was written, parsed by jsoncpp and read
//             back into the model, and text, parsed value and model stay
//             alive while the read model is written.
// Prints one JSON object: the figures of the one timed write, from a new
// writer to the whole text written and freed, as the warm benchmarks time
// it: each text stays in its writer's buffer (ours seen through View(),
// RapidJSON's in its StringBuffer), no copy into a std::string.

#include "Contenders.h"
#include "Workloads.h"

#include <Orv/TimelineEngineModel/Serialization/Json/JsonToTimelineConverter.h>
#include <Orv/TimelineEngineModel/Serialization/Json/TimelineToJsonConverter.h>

#include <sys/resource.h>

#include <chrono>
#include <cstdio>
#include <ctime>
#include <exception>
#include <memory>
#include <stdexcept>
#include <string>

namespace {
using namespace Orv::Bench;
using Orv::Common::Serialization::Json::Stringer;
using Orv::TimelineEngineModel::Serialization::Json::JsonToTimelineConverter;
using Orv::TimelineEngineModel::Serialization::Json::TimelineToJsonConverter;

struct Sample {
    double cpuSeconds;
    double wallSeconds;
    long pageFaults;
};

double CpuSeconds() {
    timespec now{};
    clock_gettime(CLOCK_PROCESS_CPUTIME_ID, &now);
    return static_cast<double>(now.tv_sec) + static_cast<double>(now.tv_nsec) * 1e-9;
}

long MinorFaults() {
    rusage usage{};
    getrusage(RUSAGE_SELF, &usage);
    return usage.ru_minflt;
}

// Times `write`, which returns the length of the text it made.
template <typename Write>
Sample Time(std::size_t& bytes, Write&& write) {
    const long faults = MinorFaults();
    const double cpu = CpuSeconds();
    const auto wall = std::chrono::steady_clock::now();
    bytes = write();
    const std::chrono::duration<double> elapsed = std::chrono::steady_clock::now() - wall;
    return {CpuSeconds() - cpu, elapsed.count(), MinorFaults() - faults};
}

int Run(const std::string& writer, const std::string& document, const std::string& state) {
    if (state != "fresh" && state != "parsed") {
        throw std::invalid_argument("unknown state " + state);
    }
    Timeline timeline = WorkloadTimeline(document);
    std::string text;
    Orv::Common::Serialization::Json::JsonObject parsed;
    if (state == "parsed") {
        text = WriteWithOurs(timeline);
        parsed = JsonCppParse(text);
        Timeline read;
        const auto result = JsonToTimelineConverter().To(parsed, read);
        if (!result) {
            throw std::runtime_error(std::string("our reader failed: ") + result.ErrorMessage());
        }
        timeline = std::move(read);
    }
    std::size_t bytes = 0;
    Sample sample{};
    if (writer == "ours") {
        sample = Time(bytes, [&] {
            Stringer stringer;
            static_cast<void>(TimelineToJsonConverter().To(timeline, stringer));
            return stringer.View().size();
        });
    } else if (writer == "rapidjson") {
        sample = Time(bytes, [&] { return RapidJsonWrite(timeline); });
    } else {
        throw std::invalid_argument("unknown writer " + writer);
    }
    std::printf("{\"writer\": \"%s\", \"document\": \"%s\", \"state\": \"%s\", \"bytes\": %zu, "
                "\"cpu_seconds\": %.6f, \"wall_seconds\": %.6f, \"page_faults\": %ld}\n",
                writer.c_str(), document.c_str(), state.c_str(), bytes, sample.cpuSeconds, sample.wallSeconds,
                sample.pageFaults);
    return 0;
}
}  // namespace

int main(int argc, char** argv) {
    if (argc < 3 || argc > 4) {
        std::fprintf(stderr, "usage: orv-timeline-json-cold ours|rapidjson DOCUMENT [fresh|parsed]\n");
        return 2;
    }
    try {
        return Run(argv[1], argv[2], argc == 4 ? argv[3] : "fresh");
    } catch (const std::exception& error) {
        std::fprintf(stderr, "orv-timeline-json-cold: %s\n", error.what());
        return 1;
    }
}
