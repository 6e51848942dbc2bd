#include "Contenders.h"
#include "Measure.h"
#include "Workloads.h"

#include <Orv/TimelineEngineModel/Serialization/Json/TimelineToJsonConverter.h>

#include <string>

namespace Orv::Bench {

namespace {
using Common::Serialization::Json::Stringer;
using TimelineEngineModel::Serialization::Json::TimelineToJsonConverter;

template <typename OneDocument>
void Register(const std::string& contender, const Workload& workload, OneDocument oneDocument) {
    const std::size_t bytes = workload.json.size();
    auto* benchmark = benchmark::RegisterBenchmark(
        ("Write/" + contender + "/" + workload.name).c_str(),
        [bytes, oneDocument](benchmark::State& state) { Measure(state, bytes, oneDocument); });
    benchmark->Unit(bytes > 1000000 ? benchmark::kMillisecond : benchmark::kMicrosecond);
}
}  // namespace

void RegisterWriteBenchmarks() {
    for (const Workload& workload : Workloads()) {
        const auto* timeline = &workload.timeline;
        Register("Ours", workload, [timeline] {
            Stringer stringer;
            static_cast<void>(TimelineToJsonConverter().To(*timeline, stringer));
            benchmark::DoNotOptimize(stringer);
        });
        // The text handed over as a std::stringstream: the two copies that
        // form costs on top of writing (into a string, then into the stream).
        Register("OursTakeStream", workload, [timeline] {
            Stringer stringer;
            static_cast<void>(TimelineToJsonConverter().To(*timeline, stringer));
            auto stream = stringer.TakeStream();
            benchmark::DoNotOptimize(stream);
        });
        // The text handed over as a std::string: one copy out of the buffer.
        Register("OursTakeString", workload, [timeline] {
            Stringer stringer;
            static_cast<void>(TimelineToJsonConverter().To(*timeline, stringer));
            auto text = stringer.TakeString();
            benchmark::DoNotOptimize(text);
        });
        Register("RapidJson", workload, [timeline] { benchmark::DoNotOptimize(RapidJsonWrite(*timeline)); });
        const auto* prebuilt = &workload.parsed;
        Register("JsonCppPrebuilt", workload, [prebuilt] { benchmark::DoNotOptimize(JsonCppWrite(*prebuilt)); });
        Register("JsonCppBuildWrite", workload,
                 [timeline] { benchmark::DoNotOptimize(JsonCppWrite(JsonCppBuild(*timeline))); });
        Register("NlohmannBuildDump", workload,
                 [timeline] { benchmark::DoNotOptimize(NlohmannBuildDump(*timeline)); });
    }
}

}  // namespace Orv::Bench
