#include "Contenders.h"
#include "Measure.h"
#include "ModelCopy.h"
#include "TextReaders.h"
#include "Workloads.h"

#include <Orv/TimelineEngineModel/Serialization/Json/JsonTextToTimelineConverter.h>
#include <Orv/TimelineEngineModel/Serialization/Json/JsonToTimelineConverter.h>

#include <memory>
#include <string>

namespace Orv::Bench {

namespace {
using TimelineEngineModel::Serialization::Json::JsonTextToTimelineConverter;
using TimelineEngineModel::Serialization::Json::JsonToTimelineConverter;

template <typename OneDocument>
void Register(const std::string& contender, const Workload& workload, OneDocument oneDocument) {
    const std::size_t bytes = workload.json.size();
    auto* benchmark = benchmark::RegisterBenchmark(
        ("Read/" + contender + "/" + workload.name).c_str(),
        [bytes, oneDocument](benchmark::State& state) { Measure(state, bytes, oneDocument); });
    benchmark->Unit(bytes > 1000000 ? benchmark::kMillisecond : benchmark::kMicrosecond);
}
}  // namespace

void RegisterReadBenchmarks() {
    for (const Workload& workload : Workloads()) {
        const auto* text = &workload.json;
        const auto* parsed = &workload.parsed;
        Register("JsonCppParse", workload, [text] { benchmark::DoNotOptimize(JsonCppParse(*text)); });
        // The conversion alone, on a document jsoncpp parsed beforehand.
        Register("OursConvert", workload, [parsed] {
            std::unique_ptr<TimelineEngineModel::Timeline> timeline;
            static_cast<void>(JsonToTimelineConverter().To(*parsed, timeline));
            benchmark::DoNotOptimize(timeline);
        });
        Register("JsonCppParseOursConvert", workload, [text] {
            const auto value = JsonCppParse(*text);
            std::unique_ptr<TimelineEngineModel::Timeline> timeline;
            static_cast<void>(JsonToTimelineConverter().To(value, timeline));
            benchmark::DoNotOptimize(timeline);
        });
        // The same with the tree kept: its release is left out of the time.
        const auto bytes = workload.json.size();
        benchmark::RegisterBenchmark(("Read/JsonCppParseOursConvertKept/" + workload.name).c_str(),
                                     [bytes, text](benchmark::State& state) {
                                         MeasureKept(state, bytes, [text] {
                                             auto value = std::make_unique<JsonToTimelineConverter::JsonObject>(
                                                 JsonCppParse(*text));
                                             std::unique_ptr<TimelineEngineModel::Timeline> timeline;
                                             static_cast<void>(JsonToTimelineConverter().To(*value, timeline));
                                             benchmark::DoNotOptimize(timeline);
                                             return value;
                                         });
                                     })
            ->Unit(bytes > 1000000 ? benchmark::kMillisecond : benchmark::kMicrosecond);
        Register("RapidJsonDom", workload, [text] { benchmark::DoNotOptimize(RapidJsonRead(*text)); });
        if (workload.validUtf8) {
            Register("Nlohmann", workload, [text] { benchmark::DoNotOptimize(NlohmannRead(*text)); });
        }
        // No text to read at all: building the model alone, the floor.
        const auto* timeline = &workload.timeline;
        Register("ModelCopy", workload, [timeline] { benchmark::DoNotOptimize(CopyModel(*timeline)); });
        for (const TextReader& reader : TextReaders()) {
            const auto read = reader.read;
            Register(reader.name, workload, [text, read] { benchmark::DoNotOptimize(read(*text)); });
        }
        // The text reader on a text with room for the parser's padding after
        // it, as the file reader loads one: read where it lies, not copied.
        const auto spare = std::make_shared<std::string>();
        spare->reserve(workload.json.size() + JsonTextToTimelineConverter::Padding);
        spare->assign(workload.json);
        Register("TextToModelInPlace", workload, [spare] {
            std::unique_ptr<TimelineEngineModel::Timeline> timeline;
            static_cast<void>(JsonTextToTimelineConverter().To(*spare, timeline));
            benchmark::DoNotOptimize(timeline);
        });
    }
}

}  // namespace Orv::Bench
