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

Timeline WorkedExample() {
    return MakeTimeline("tl-1", "", 1500, {"trk-1"}, {MediaInfo(Identifier("asset-7"), 0, 250, "")});
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
