#include "Support/JsonTestHelpers.h"
#include "Support/ModelBuilders.h"

#include <Orv/TimelineEngineModel/Serialization/Json/JsonToTimelineConverter.h>
#include <Orv/TimelineEngineModel/Serialization/Json/TimelineToJsonConverter.h>

#include <gtest/gtest.h>

#include <cstdint>
#include <memory>
#include <string>
#include <vector>

namespace {

using namespace Orv::TimelineEngineModel::Serialization::Json;
using namespace Orv::Testing;

const TimelineToJsonConverter writer;
const JsonToTimelineConverter reader;

const char* const WorkedExampleJson =
    R"({"id":"tl-1","duration":"1500","tracks":[{"id":"trk-1","type":"SUMMARY"}],)"
    R"("mediaInfos":[{"mediaAssetId":"asset-7","limitDuration":"250"}]})";

Timeline MakeTimeline(const std::string& id, const std::string& transactionId, int64_t duration,
                      const std::vector<std::string>& trackIds, const MediaInfoArray& mediaInfos) {
    Timeline timeline{Identifier(id)};
    timeline.TransactionId(Identifier(transactionId));
    timeline.Duration(duration);
    for (const std::string& trackId : trackIds) {
        timeline.Tracks().push_back(Track(Identifier(trackId)));
    }
    timeline.MediaInfos(mediaInfos);
    return timeline;
}

Timeline WorkedExample() {
    return MakeTimeline("tl-1", "", 1500, {"trk-1"}, {MediaInfo(Identifier("asset-7"), 0, 250, "")});
}

// ---- Writer -------------------------------------------------------------------

TEST(TimelineWriterTest, WritesTheRootObject) {
    struct Case {
        Timeline timeline;
        std::string json;
    };
    const Case cases[] = {
        {Timeline(), R"({"duration":"0"})"},
        {WorkedExample(), WorkedExampleJson},
        {MakeTimeline("", "", -5, {}, {}), R"({"duration":"-5"})"},
        {MakeTimeline("", "tx", INT64_MAX, {}, {}), R"({"transactionId":"tx","duration":"9223372036854775807"})"},
        {MakeTimeline(" ", " ", INT64_MIN, {}, {}), R"({"id":" ","transactionId":" ","duration":"-9223372036854775808"})"},
        {MakeTimeline("a", "b", 1, {"", "t\\"}, {MediaInfo(), MediaInfo(Identifier("m"), 1, 0, "")}),
         R"({"id":"a","transactionId":"b","duration":"1","tracks":[{"type":"SUMMARY"},{"id":"t\\","type":"SUMMARY"}],)"
         R"("mediaInfos":[{},{"mediaAssetId":"m","limitIn":"1"}]})"},
        {MakeTimeline("\x01\xff", "", 0, {}, {MediaInfo(Identifier(""), 0, 0, "C")}),
         "{\"id\":\"\\u0001\xff\",\"duration\":\"0\",\"mediaInfos\":[{\"channels\":\"C\"}]}"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.json);
        ExpectWrites(writer, c.timeline, c.json);
    }
}

TEST(TimelineWriterTest, StringerFailureClosesWhatWasOpenAndWritesNothingAfter) {
    const Timeline timeline = MakeTimeline("tl", "", 1, {"trk-1", "trk-2"}, {MediaInfo(Identifier("m1"), 0, 5, ""),
                                                                              MediaInfo(Identifier("m2"), 0, 6, "")});
    const char* const cases[][2] = {
        {R"("duration":)", R"({"id":"tl"})"},
        {R"({"id":"trk-2")", R"({"id":"tl","duration":"1","tracks":[{"id":"trk-1","type":"SUMMARY"},{"id":"trk-2"}]})"},
        {R"({"id":"trk-2","type":"SUMMARY"})",
         R"({"id":"tl","duration":"1","tracks":[{"id":"trk-1","type":"SUMMARY"},{"id":"trk-2","type":"SUMMARY"}]})"},
        {R"("mediaAssetId":"m2")",
         R"({"id":"tl","duration":"1","tracks":[{"id":"trk-1","type":"SUMMARY"},{"id":"trk-2","type":"SUMMARY"}],)"
         R"("mediaInfos":[{"mediaAssetId":"m1","limitDuration":"5"},{"mediaAssetId":"m2"}]})"},
    };
    for (const auto& c : cases) {
        ExpectCutAfter(writer, timeline, c[0], c[1]);
    }
}

TEST(TimelineWriterTest, AnEntryWithoutItemFailsTheWholeDocument) {
    Timeline timeline = MakeTimeline("", "", 0, {"t"}, {MediaInfo(Identifier("m"), 0, 0, "")});
    timeline.Tracks()[0].TrackItems() = {Audio("a"), nullptr};
    const Written written = Write(writer, timeline);
    EXPECT_FALSE(written.result);
    EXPECT_EQ(written.result.ErrorMessage(), EmptyEntryMessage());
    EXPECT_EQ(written.text,
              R"({"duration":"0","tracks":[{"id":"t","type":"SUMMARY","items":[{"_type":"FxAudioTransitionItem","id":"a"},{}]}]})");
}

TEST(TimelineWriterTest, WritesWhereverAValueMayStandAndNowhereElse) {
    Stringer stringer;
    stringer.Array();
    EXPECT_TRUE(writer.To(Timeline(), stringer));
    stringer.Object();
    const Result refused = writer.To(WorkedExample(), stringer);
    EXPECT_FALSE(refused);
    EXPECT_EQ(refused.ErrorMessage(), ValueWhereKeyIsDueMessage());
    EXPECT_EQ(stringer.ToString(), R"([{"duration":"0"},{)");
}

// ---- Reader -------------------------------------------------------------------

// The pointer variant builds a new timeline, even when it fails (then holding
// what was read before the failure); the reference variant, into a fresh
// timeline, gives the same.
TEST(TimelineReaderTest, ReadsIntoANewTimelineAndKeepsWhatWasReadBeforeAFailure) {
    struct Case {
        const char* json;
        Timeline expected;
        std::string message = "";  // "" for success
    };
    const Case cases[] = {
        {WorkedExampleJson, WorkedExample()},
        {R"({"duration":"0"})", Timeline()},
        {"{}", Timeline()},
        {"null", Timeline()},
        {R"({"id":5,"transactionId":"","duration":1500,"tracks":{"id":"t"},"mediaInfos":[]})", Timeline()},
        {R"({"tracks":[null,{},{"id":"b","type":"Unknown"}],"mediaInfos":[null,{"channels":"C"}]})",
         MakeTimeline("", "", 0, {"", "", "b"}, {MediaInfo(), MediaInfo(Identifier(""), 0, 0, "C")})},
        {R"({"id":"x","transactionId":"tx","other":"ignored","duration":" -7"})", MakeTimeline("x", "tx", -7, {}, {})},
        {R"({"id":"a","duration":"abc","tracks":[{"id":"t"}]})", MakeTimeline("a", "", 0, {}, {}), "stoll"},
        {R"({"id":"a","tracks":[{"id":"t1"},5,{"id":"t3"}],"mediaInfos":[{}]})", MakeTimeline("a", "", 0, {"t1"}, {}),
         LookupMessage(Json::Value(5))},
        {R"({"tracks":[{"id":"t1"}],"mediaInfos":[{"limitIn":"1"},{"limitIn":"x"},{"limitIn":"3"}]})",
         MakeTimeline("", "", 0, {"t1"}, {MediaInfo(Identifier(""), 1, 0, "")}), "stoll"},
        {R"({"tracks":[{"id":"t1"},{"id":"t2","items":"x"},[1]]})", MakeTimeline("", "", 0, {"t1", "t2"}, {}),
         LookupMessage(Json::Value(Json::arrayValue))},
        {R"([{"id":"a"}])", Timeline(), LookupMessage(Json::Value(Json::arrayValue))},
        {R"("text")", Timeline(), LookupMessage(Json::Value("text"))},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.json);
        const Json::Value json = Parse(c.json);
        int live = 0;
        auto pointer = std::make_unique<Timeline>(MakeTimeline("old", "tx", 9, {"t"}, {MediaInfo()}));
        pointer->Tracks()[0].TrackItems().push_back(std::make_shared<CountedItem>(live));
        ExpectOutcome(reader.To(json, pointer), c.message);
        EXPECT_EQ(live, 0);  // the timeline held before is gone, even when the conversion failed
        ASSERT_NE(pointer, nullptr);
        EXPECT_EQ(*pointer, c.expected);
        for (const Track& track : pointer->Tracks()) {
            EXPECT_EQ(track.GetType(), TrackType::Summary);
        }

        std::unique_ptr<Timeline> fromRvalue;  // also from an empty pointer
        ExpectOutcome(reader.To(Json::Value(json), fromRvalue), c.message);
        ASSERT_NE(fromRvalue, nullptr);
        EXPECT_EQ(*fromRvalue, c.expected);

        Timeline timeline;
        EXPECT_EQ(ThrownBy([&] { return reader.To(json, timeline); }), c.message);
        EXPECT_EQ(timeline, c.expected);
    }
}

TEST(TimelineReaderTest, ReferenceVariantKeepsWhatIsNotGivenAndAppends) {
    Timeline timeline = MakeTimeline("keep", "tx", 42, {"old"}, {MediaInfo(Identifier("m0"), 0, 0, "")});
    EXPECT_TRUE(reader.To(Parse("{}"), timeline));
    EXPECT_TRUE(reader.To(Parse("null"), timeline));
    EXPECT_TRUE(reader.To(Parse(R"({"id":1,"duration":1500,"tracks":[{"id":"a"},{"id":"b"}],)"
                                R"("mediaInfos":[{"mediaAssetId":"m1"}]})"),
                          timeline));
    EXPECT_EQ(timeline, MakeTimeline("keep", "tx", 42, {"old", "a", "b"},
                                     {MediaInfo(Identifier("m0"), 0, 0, ""), MediaInfo(Identifier("m1"), 0, 0, "")}));
    EXPECT_TRUE(reader.To(Parse(R"({"id":"","transactionId":"t2"})"), timeline));
    EXPECT_EQ(timeline.Id(), Identifier::Empty());
    EXPECT_EQ(timeline.TransactionId(), Identifier("t2"));
}

TEST(TimelineReaderTest, DurationTexts) {
    for (const IntegerTextCase& c : IntegerTexts()) {
        Json::Value json(Json::objectValue);
        json["duration"] = c.text;
        Timeline timeline;
        ExpectReferenceRead(c, [&] { return reader.To(json, timeline); }, [&] { return timeline.Duration(); });
        std::unique_ptr<Timeline> pointer;
        ExpectPointerRead(c, [&] { return reader.To(json, pointer); }, [&] { return pointer->Duration(); });
    }
}

}  // namespace
