// Texts through JsonTextToTimelineConverter and through the route it
// replaces (jsoncpp at its default settings, then JsonToTimelineConverter):
// the same Result text, equal timelines (the old one untouched when the parse
// fails), the same text when each timeline is written back, and a report
// that tells the failure as the reference route saw it. The text is read
// twice, from a std::string_view (a padded copy) and in place from a
// std::string with spare capacity. On the fast path, the report's anomaly
// flag must be set exactly when JsonDocumentChecker finds something. At exit
// it prints how many inputs took the fast path.
//
// An input is the text itself, any bytes, unless its first byte is below 9
// (no JSON text starts so): then it is a recipe, whose bytes after the first
// choose a JSON document built from the readers' keys (plain, escaped,
// unknown), their values (integer texts, type names, escapes, other JSON
// types), nesting and white space. Random bytes rarely make JSON that both
// parsers accept, which is where the fast path is; the recipes mostly do.
//
// ORV_FUZZ_WRITE_SEEDS=DIR orv_fuzz_text_reader writes generated timeline
// documents, each also with perturbed members (escaped and duplicate keys,
// other JSON types, comments, surrogates, ...), into DIR and exits.

#include "DocumentPerturbations.h"
#include "TimelineGenerator.h"

#include <Orv/Common/Serialization/Json/Stringer.h>
#include <Orv/TimelineEngineModel/Serialization/Json/JsonDocumentChecker.h>
#include <Orv/TimelineEngineModel/Serialization/Json/JsonTextToTimelineConverter.h>
#include <Orv/TimelineEngineModel/Serialization/Json/JsonToTimelineConverter.h>
#include <Orv/TimelineEngineModel/Serialization/Json/TimelineToJsonConverter.h>

#include <json/reader.h>

#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <exception>
#include <fstream>
#include <memory>
#include <random>
#include <string>
#include <vector>
#include <string_view>

namespace {

using namespace Orv::TimelineEngineModel;
using namespace Orv::TimelineEngineModel::Serialization::Json;
using Orv::Common::Serialization::Result;
using Orv::Common::Serialization::Json::Stringer;
using Report = JsonTextToTimelineConverter::Report;

[[noreturn]] void Fail(const char* what, const std::string& first = {}, const std::string& second = {}) {
    std::fprintf(stderr, "FUZZ PROPERTY BROKEN: %s\n--- first:\n%s\n--- second:\n%s\n", what, first.c_str(),
                 second.c_str());
    std::abort();
}

struct Counts {
    std::size_t inputs = 0;
    std::size_t fast = 0;
    ~Counts() {
        if (inputs == 0) {
            return;
        }
        std::fprintf(stderr, "orv_fuzz_text_reader: fast path for %zu of %zu inputs (%.1f %%)\n", fast, inputs,
                     100.0 * static_cast<double>(fast) / static_cast<double>(inputs));
    }
} counts;

std::unique_ptr<Timeline> Untouched() {
    return std::make_unique<Timeline>(Timeline::Identifier("untouched"));
}

// The reference route; `failure` says where it stopped.
Result ReferenceRead(const std::string& text, std::unique_ptr<Timeline>& timeline, Report::Failure& failure) {
    static const std::unique_ptr<Json::CharReader> reader(Json::CharReaderBuilder().newCharReader());
    Json::Value root;
    std::string errors;
    try {
        if (!reader->parse(text.data(), text.data() + text.size(), &root, &errors)) {
            failure = Report::Failure::NotJson;
            return Result(errors);
        }
    } catch (const std::exception& error) {
        failure = Report::Failure::ParseAborted;
        return Result(error.what());
    }
    const Result result = JsonToTimelineConverter().To(root, timeline);
    failure = result ? Report::Failure::None : Report::Failure::NotTimeline;
    return result;
}

bool Writable(const Timeline& timeline) {
    for (const Track& track : timeline.Tracks()) {
        for (const auto& item : track.TrackItems()) {
            if (!item) {
                return false;
            }
        }
    }
    return true;
}

std::string Write(const Timeline& timeline, bool pretty = false) {
    Stringer stringer = pretty ? Stringer::PrettyStringer() : Stringer();
    const Result result = TimelineToJsonConverter().To(timeline, stringer);
    if (!result) {
        Fail("a writable timeline does not write", result.ErrorMessage());
    }
    return stringer.ToString();
}

void Compare(const Result& expected, const Timeline& expectedTimeline, Report::Failure expectedFailure,
             const Result& actual, const Timeline* actualTimeline, const Report& report) {
    if (static_cast<bool>(actual) != static_cast<bool>(expected) ||
        std::strcmp(actual.ErrorMessage(), expected.ErrorMessage()) != 0) {
        Fail("the results differ", expected.ErrorMessage(), actual.ErrorMessage());
    }
    if (actualTimeline == nullptr || !(*actualTimeline == expectedTimeline)) {
        Fail("the timelines differ");
    }
    if (report.failure != expectedFailure || (report.path == Report::Path::Fast && !actual)) {
        Fail("the report does not tell the outcome");
    }
    if (Writable(expectedTimeline) && Write(expectedTimeline) != Write(*actualTimeline)) {
        Fail("the timelines write differently", Write(expectedTimeline), Write(*actualTimeline));
    }
}

// ---- Recipes ----------------------------------------------------------------

class Recipe {
public:
    Recipe(const std::uint8_t* data, std::size_t size) : next(data), end(data + size) {}

    std::string Document() {
        std::string text;
        Object(text, 0);
        return text;
    }

private:
    std::size_t Pick(std::size_t count) { return next == end ? 0 : *next++ % count; }

    template <std::size_t Count>
    const char* PickFrom(const char* const (&choices)[Count]) {
        return choices[Pick(Count)];
    }

    void Space(std::string& text) {
        static const char* const spaces[] = {"", "", "", " ", "\n  ", "\r\n", "\t"};
        text += PickFrom(spaces);
    }

    void Object(std::string& text, int depth) {
        static const char* const keys[] = {
            "id", "transactionId", "duration", "tracks", "mediaInfos", "items", "type", "_type", "videoIn",
            "videoDuration", "audioIn", "audioDuration", "mediaAssetId", "mediaVideoIn", "mediaVideoDuration",
            "mediaAudioIn", "mediaAudioDuration", "audioLevel", "monitoringChannel", "fxType", "offset", "config",
            "limitIn", "limitDuration", "channels", "\\u0069d", "id\\u0000", "x", "", "Id", "$schema"};
        text += '{';
        for (std::size_t i = 0, count = Pick(9); i < count; ++i) {
            Space(text);
            const std::string key = PickFrom(keys);
            text += (i == 0 ? "\"" : ",\"") + key + "\":";
            Space(text);
            const bool list = key == "tracks" || key == "items" || key == "mediaInfos";
            if (list && Pick(4) != 0) {
                Array(text, depth + 1);
            } else {
                Value(text, depth + 1);
            }
        }
        Space(text);
        text += '}';
    }

    void Array(std::string& text, int depth) {
        text += '[';
        for (std::size_t i = 0, count = Pick(5); i < count; ++i) {
            text += i == 0 ? "" : ",";
            Space(text);
            if (Pick(3) != 0 && depth < 12) {
                Object(text, depth + 1);
            } else {
                Value(text, depth + 1);
            }
        }
        text += ']';
    }

    void Value(std::string& text, int depth) {
        static const char* const strings[] = {
            "\"12\"", "\" -9x\"", "\"+7\"", "\"abc\"", "\"\"", "\"9223372036854775807\"",
            "\"-9223372036854775809\"", "\"MediaSummaryItem\"", "\"FxAudioTransitionItem\"",
            "\"FxVideoTransitionItem\"", "\"FxAudio\\u0054ransitionItem\"", "\"Cut\"", "\"Mix\"",
            "\"a\\u0000b\"", "\"\\ud83d\\ude00\\\"\\\\\\/\\b\\f\\n\\r\\t\"", "\"\\u00e9\\u20ac\"",
            "\"caf\xc3\xa9\"", "\"\\u0031\\u0032\""};
        static const char* const others[] = {"null", "true", "false", "0", "-1.5e-3", "12", "1E+2", "[]", "{}"};
        switch (Pick(depth < 12 ? 5 : 3)) {
            case 0: text += PickFrom(others); break;
            case 3: Object(text, depth); break;
            case 4: Array(text, depth); break;
            default: text += PickFrom(strings); break;
        }
    }

    const std::uint8_t* next;
    const std::uint8_t* end;
};

// ---- Seeds ------------------------------------------------------------------

void WriteSeeds(const std::string& directory) {
    for (std::uint64_t seed = 1; seed <= 6; ++seed) {
        Orv::Testing::TimelineShape shape;
        shape.tracks = 2;
        shape.itemsPerTrack = 3;
        shape.mediaInfos = 1;
        shape.extremeIntegers = seed % 3 == 0;
        const std::string document = Write(Orv::Testing::GenerateTimeline(seed, shape), seed % 2 == 0);
        for (int kind = -1; kind < Orv::Testing::PerturbationCount; ++kind) {
            const std::string path = directory + "/generated-" + std::to_string(seed) + "-" + std::to_string(kind + 1);
            std::ofstream(path, std::ios::binary) << (kind < 0 ? document : Orv::Testing::Perturb(document, kind));
        }
    }
    std::mt19937 engine(1);
    for (int recipe = 0; recipe < 20; ++recipe) {
        std::ofstream file(directory + "/recipe-" + std::to_string(recipe), std::ios::binary);
        file << static_cast<char>(recipe % 9);
        for (int i = 0; i < 400; ++i) {
            file << static_cast<char>(engine() & 0xFF);
        }
    }
}

}  // namespace

extern "C" int LLVMFuzzerInitialize(int*, char***) {
    if (const char* directory = std::getenv("ORV_FUZZ_WRITE_SEEDS")) {
        WriteSeeds(directory);
        std::exit(0);
    }
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const bool recipe = size > 0 && data[0] < 9;
    const std::string text =
        recipe ? Recipe(data + 1, size - 1).Document() : std::string(reinterpret_cast<const char*>(data), size);
    std::unique_ptr<Timeline> expected = Untouched();
    Report::Failure expectedFailure = Report::Failure::None;
    const Result expectedResult = ReferenceRead(text, expected, expectedFailure);

    const JsonTextToTimelineConverter converter;
    Report report;
    std::unique_ptr<Timeline> viewed = Untouched();
    const Result viewedResult = converter.To(std::string_view(text), viewed, report);
    Compare(expectedResult, *expected, expectedFailure, viewedResult, viewed.get(), report);

    std::string padded;
    padded.reserve(text.size() + JsonTextToTimelineConverter::Padding);
    padded.assign(text);
    Report inPlaceReport;
    std::unique_ptr<Timeline> inPlace = Untouched();
    const Result inPlaceResult = converter.To(padded, inPlace, inPlaceReport);
    Compare(expectedResult, *expected, expectedFailure, inPlaceResult, inPlace.get(), inPlaceReport);
    if (inPlaceReport.path != report.path) {
        Fail("the path depends on how the text is passed", text);
    }
    if (report.path == Report::Path::Fast) {
        std::vector<JsonDiagnostic> diagnostics;
        static_cast<void>(JsonDocumentChecker().Check(text, DocumentKind::Timeline, diagnostics));
        if (report.anomaly == diagnostics.empty() || inPlaceReport.anomaly != report.anomaly) {
            Fail("the anomaly flag disagrees with the document checker", text,
                 diagnostics.empty() ? std::string() : diagnostics.front().message);
        }
    }

    ++counts.inputs;
    counts.fast += report.path == Report::Path::Fast ? 1 : 0;
    return 0;
}
