#include "TimelineGenerator.h"

#include <Orv/TimelineEngineModel/Serialization/Json/JsonTextToTimelineConverter.h>
#include <Orv/TimelineEngineModel/Serialization/Json/JsonToTimelineConverter.h>
#include <Orv/TimelineEngineModel/Serialization/Json/TimelineToJsonConverter.h>

#include <json/reader.h>

#include <gtest/gtest.h>

#include <algorithm>
#include <atomic>
#include <cctype>
#include <cstdint>
#include <exception>
#include <memory>
#include <ostream>
#include <string>
#include <string_view>
#include <thread>
#include <vector>

namespace {

using namespace Orv::TimelineEngineModel;
using namespace Orv::TimelineEngineModel::Serialization::Json;
using Orv::Common::Serialization::Json::Stringer;
using Report = JsonTextToTimelineConverter::Report;
using Path = Report::Path;
using Failure = Report::Failure;

// What a read leaves: its Result and the timeline, which starts as a
// recognisable one so that "untouched" shows.
struct Outcome {
    Orv::Common::Serialization::Result result;
    std::unique_ptr<Timeline> timeline = std::make_unique<Timeline>(Timeline::Identifier("untouched"));
};

// The route users took before: jsoncpp's default settings, then the converter.
Outcome ReferenceRead(const std::string& text) {
    Outcome outcome;
    Json::Value root;
    std::string errors;
    try {
        const std::unique_ptr<Json::CharReader> reader(Json::CharReaderBuilder().newCharReader());
        if (!reader->parse(text.data(), text.data() + text.size(), &root, &errors)) {
            outcome.result = Orv::Common::Serialization::Result(errors);
            return outcome;
        }
    } catch (const std::exception& error) {
        outcome.result = Orv::Common::Serialization::Result(error.what());
        return outcome;
    }
    outcome.result = JsonToTimelineConverter().To(root, outcome.timeline);
    return outcome;
}

void ExpectSameOutcome(const Outcome& actual, const Outcome& expected) {
    EXPECT_EQ(static_cast<bool>(actual.result), static_cast<bool>(expected.result));
    EXPECT_STREQ(actual.result.ErrorMessage(), expected.result.ErrorMessage());
    EXPECT_TRUE(actual.timeline && *actual.timeline == *expected.timeline);
}

// Reads `text` the three ways the converter takes it, each against the
// reference route; returns the report of the string_view read.
Report ReadAllWays(const std::string& text) {
    const Outcome expected = ReferenceRead(text);
    const JsonTextToTimelineConverter converter;
    std::string padded;  // read in place
    padded.reserve(text.size() + JsonTextToTimelineConverter::Padding);
    padded = text;
    Outcome outcomes[3];  // from a string view, a string without spare capacity, the padded string
    Report reports[2];
    outcomes[0].result = converter.To(std::string_view(text), outcomes[0].timeline, reports[0]);
    outcomes[1].result = converter.To(std::string(text), outcomes[1].timeline);
    outcomes[2].result = converter.To(padded, outcomes[2].timeline, reports[1]);
    for (const Outcome& outcome : outcomes) {
        ExpectSameOutcome(outcome, expected);
    }
    EXPECT_TRUE(reports[0].path == reports[1].path && reports[0].failure == reports[1].failure);
    return reports[0];
}

struct Case {
    const char* name;
    std::string text;
    Path path;
    Failure failure;
};

void PrintTo(const Case& testCase, std::ostream* out) { *out << testCase.name; }

std::string Nested(int depth) {
    return R"({"x":)" + std::string(depth, '[') + std::string(depth, ']') + "}";
}

// Where jsoncpp's default settings and a strict parser could disagree, which
// path settles it; the outcome is always the reference route's.
const Case kCases[] = {
    {"line comment", "{\"id\":\"a\" // note\n}", Path::Fallback, Failure::None},
    {"block comment", R"(/* note */ {"id":"a"})", Path::Fallback, Failure::None},
    {"trailing comma in an object", R"({"id":"a",})", Path::Fallback, Failure::None},
    {"trailing comma in an array", R"({"tracks":[{"id":"t"},]})", Path::Fallback, Failure::None},
    {"text after the root", R"({"id":"a","x":1} {"id":"b"})", Path::Fallback, Failure::None},
    {"byte order mark", "\xEF\xBB\xBF{\"id\":\"a\"}", Path::Fast, Failure::None},
    {"invalid UTF-8 in a string", "{\"id\":\"\xC3\x28\"}", Path::Fallback, Failure::None},
    {"control character in a string", "{\"id\":\"a\tb\"}", Path::Fallback, Failure::None},
    {"lone high surrogate", R"({"id":"\ud800"})", Path::Fallback, Failure::NotJson},
    {"lone low surrogate", R"({"id":"\udc00"})", Path::Fallback, Failure::None},
    {"high surrogate, then no low one", R"({"id":"\ud800\u0041"})", Path::Fallback, Failure::None},
    {"surrogate pair and escapes", R"({"id":"\ud83d\ude00\"\\\/\b\f\n\r\t\u00e9\u20AC"})", Path::Fast, Failure::None},
    {"NUL in a text", R"({"id":"a\u0000b","tracks":[{"items":[{"_type":"FxAudioTransitionItem\u0000"}]}]})",
     Path::Fast, Failure::None},
    {"NUL and escapes in keys", R"({"id\u0000":"x","\u0069d":"y","transaction\u0049d":"t"})", Path::Fast,
     Failure::None},
    {"duplicate keys: the last counts", R"({"id":"a","duration":"5","tracks":[{"id":"t"}],"id":"b","duration":7,
      "tracks":"none","mediaInfos":5,"mediaInfos":[null,{"limitIn":"1","limitIn":"2"}]})",
     Path::Fast, Failure::None},
    {"nesting within the fast limit", Nested(100), Path::Fast, Failure::None},
    {"nesting beyond the fast limit", Nested(200), Path::Fallback, Failure::None},
    {"nesting beyond jsoncpp's limit", Nested(1001), Path::Fallback, Failure::ParseAborted},
    {"number beyond a double", R"({"x":1e400})", Path::Fallback, Failure::NotJson},
    {"integer beyond 64 bits", R"({"x":18446744073709551616})", Path::Fallback, Failure::None},
    {"number jsoncpp alone accepts", R"({"x":-})", Path::Fallback, Failure::None},
    {"empty text", "", Path::Fallback, Failure::NotJson},
    {"blank text", " \r\n\t", Path::Fallback, Failure::NotJson},
    {"error after a carriage return", "{\r", Path::Fallback, Failure::NotJson},
    {"null root", " null ", Path::Fast, Failure::None},
    {"array root", R"([{"id":"a"}])", Path::Fallback, Failure::NotTimeline},
    {"string root", R"("a")", Path::Fallback, Failure::NotTimeline},
    {"integer text stoll refuses", R"({"id":"a","duration":"abc","tracks":[{}]})", Path::Fallback,
     Failure::NotTimeline},
    {"items neither object nor null", R"({"tracks":[{"id":"t","items":[{"id":"i"},5,[{}],"x"]}]})", Path::Fast,
     Failure::None},
    {"items with bad integers", R"({"tracks":[{"items":[{"id":"i","videoIn":"1","audioIn":"x","audioLevel":"2"},
      {"_type":"FxVideoTransitionItem","id":"v","fxType":"Mix","duration":"99999999999999999999"}]}]})",
     Path::Fast, Failure::None},
    {"track neither object nor null", R"({"tracks":[{"id":"t"},"x"]})", Path::Fallback, Failure::NotTimeline},
    {"lenient members", R"({"duration":" -12abc","tracks":[null,{"items":[null,{"_type":"Other","id":"s",
      "videoIn":"+3"},{"_type":"FxVideoTransitionItem","fxType":"Mix","offset":"-1","videoIn":"x","z":[{}]}]}],
      "unknown":{"a":[true,false,null,-1.5e-3,"\u0041"]},"transactionId":5})", Path::Fast, Failure::None},
};

class JsonTextToTimelineConverterTest : public ::testing::TestWithParam<Case> {};

TEST_P(JsonTextToTimelineConverterTest, GivesTheReferenceOutcomeOnTheExpectedPath) {
    const Report report = ReadAllWays(GetParam().text);
    EXPECT_EQ(static_cast<int>(report.path), static_cast<int>(GetParam().path));
    EXPECT_EQ(static_cast<int>(report.failure), static_cast<int>(GetParam().failure));
    EXPECT_FALSE(report.path == Path::Fallback && report.anomaly);  // the fallback does not look
}

INSTANTIATE_TEST_SUITE_P(Disagreements, JsonTextToTimelineConverterTest, ::testing::ValuesIn(kCases),
                         [](const auto& info) {
                             std::string name = info.param.name;
                             std::replace_if(name.begin(), name.end(), [](char c) { return !std::isalnum(c); }, '_');
                             return name;
                         });

// Generated documents, compact and pretty, read as the reference does: on
// the fast path, except those with awkward texts, whose bytes above 0x7F are
// not UTF-8.
TEST(JsonTextToTimelineConverterGeneratedTest, ReadsGeneratedDocumentsLikeTheReference) {
    for (std::uint64_t seed = 1; seed <= 8; ++seed) {
        Orv::Testing::TimelineShape shape;
        shape.awkwardTexts = seed % 2 == 0;
        shape.extremeIntegers = seed % 4 >= 2;
        Stringer stringer = seed % 3 == 0 ? Stringer::PrettyStringer() : Stringer();
        ASSERT_TRUE(TimelineToJsonConverter().To(Orv::Testing::GenerateTimeline(seed, shape), stringer));
        SCOPED_TRACE("seed " + std::to_string(seed));
        const Report report = ReadAllWays(stringer.ToString());
        EXPECT_TRUE(report.path == (shape.awkwardTexts ? Path::Fallback : Path::Fast));
        EXPECT_TRUE(report.failure == Failure::None);
    }
}

TEST(JsonTextToTimelineConverterLiteralTest, ALiteralOrCStringIsText) {
    std::unique_ptr<Timeline> timeline;
    ASSERT_TRUE(JsonTextToTimelineConverter().To("{\"id\":\"a\"}", timeline));
    EXPECT_EQ(timeline->Id().Value(), "a");
    const char* none = nullptr;
    EXPECT_STREQ(JsonTextToTimelineConverter().To(none, timeline).ErrorMessage(), ReferenceRead("").result.ErrorMessage());
}

// One converter shared by threads; a text above 2 MiB goes through the one
// spare parser that the process keeps, which the threads must not share.
TEST(JsonTextToTimelineConverterGeneratedTest, ServesThreadsAtOnce) {
    Orv::Testing::TimelineShape shape;
    shape.tracks = 4;
    shape.itemsPerTrack = 2400;
    Stringer stringer;
    ASSERT_TRUE(TimelineToJsonConverter().To(Orv::Testing::GenerateTimeline(9, shape), stringer));
    const std::string text = stringer.ToString();
    ASSERT_GT(text.size(), std::size_t{2} << 20);
    const Outcome expected = ReferenceRead(text);
    const JsonTextToTimelineConverter converter;
    std::atomic<int> equal{0};
    std::vector<std::thread> threads;
    for (int thread = 0; thread < 4; ++thread) {
        threads.emplace_back([&] {
            for (int read = 0; read < 3; ++read) {
                std::unique_ptr<Timeline> timeline;
                equal += converter.To(std::string_view(text), timeline) && *timeline == *expected.timeline ? 1 : 0;
            }
        });
    }
    for (std::thread& thread : threads) {
        thread.join();
    }
    EXPECT_EQ(equal, 12);
}

}  // namespace
