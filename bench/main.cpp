// Checks once that every contender makes or reads the same document as our
// converters, then runs the benchmarks (Google Benchmark's own flags apply).

#include "Contenders.h"
#include "Measure.h"
#include "ModelCopy.h"
#include "TextReaders.h"
#include "Workloads.h"

#include <Orv/TimelineEngineModel/Serialization/Json/JsonToTimelineConverter.h>

#include <cctype>
#include <exception>
#include <iostream>
#include <memory>
#include <string>

namespace {
using namespace Orv::Bench;
using Orv::TimelineEngineModel::Serialization::Json::JsonToTimelineConverter;

// RapidJSON spells the \u00XX escapes with upper-case hex digits, we with
// lower-case ones; nothing else may differ.
std::string LowerCaseUnicodeEscapes(std::string text) {
    for (std::size_t i = 0; i + 1 < text.size(); ++i) {
        if (text[i] != '\\') {
            continue;
        }
        if (text[i + 1] == 'u') {
            for (std::size_t k = i + 2; k < i + 6 && k < text.size(); ++k) {
                text[k] = static_cast<char>(std::tolower(static_cast<unsigned char>(text[k])));
            }
        }
        ++i;  // the escaped character is not the start of another escape
    }
    return text;
}

Timeline ReadWithOurs(const Orv::Common::Serialization::Json::JsonObject& value) {
    std::unique_ptr<Timeline> timeline;
    const auto result = JsonToTimelineConverter().To(value, timeline);
    if (!result) {
        throw std::runtime_error(std::string("our reader failed: ") + result.ErrorMessage());
    }
    return *timeline;
}

bool Check(bool ok, const Workload& workload, const char* what) {
    if (!ok) {
        std::cerr << "orv-timeline-json-bench: " << workload.name << ": " << what << "\n";
    }
    return ok;
}

// Every contender on the same document: writers give our text (RapidJSON and
// nlohmann byte for byte; jsoncpp, which sorts keys, the same value), readers
// and the model copy give the model our reader gives.
bool CheckContenders() {
    bool ok = true;
    for (const Workload& workload : Workloads()) {
        const Timeline ours = ReadWithOurs(workload.parsed);
        ok &= Check(ours == workload.timeline, workload, "our reader does not give back the timeline");
        ok &= Check(LowerCaseUnicodeEscapes(RapidJsonText(workload.timeline)) == workload.json, workload,
                    "the RapidJSON writer's text differs from ours");
        ok &= Check(RapidJsonRead(workload.json) == ours, workload, "the RapidJSON reading differs from ours");
        if (workload.validUtf8) {
            ok &= Check(JsonCppParse(JsonCppWrite(JsonCppBuild(workload.timeline))) == workload.parsed, workload,
                        "the jsoncpp document differs from ours");
            ok &= Check(NlohmannBuildDump(workload.timeline) == workload.json, workload,
                        "the nlohmann writer's text differs from ours");
            ok &= Check(NlohmannRead(workload.json) == ours, workload, "the nlohmann reading differs from ours");
        }
        ok &= Check(CopyModel(workload.timeline) == workload.timeline, workload, "the model copy differs");
        for (const TextReader& reader : TextReaders()) {
            ok &= Check(reader.read(workload.json) == ours, workload, "a text reader's model differs from ours");
        }
        benchmark::AddCustomContext("bytes_" + workload.name, std::to_string(workload.json.size()));
    }
    return ok;
}
}  // namespace

int main(int argc, char** argv) {
    benchmark::Initialize(&argc, argv);
    if (benchmark::ReportUnrecognizedArguments(argc, argv)) {
        return 2;
    }
    try {
        if (!CheckContenders()) {
            return 1;
        }
    } catch (const std::exception& error) {
        std::cerr << "orv-timeline-json-bench: " << error.what() << "\n";
        return 1;
    }
    RegisterWriteBenchmarks();
    RegisterReadBenchmarks();
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
