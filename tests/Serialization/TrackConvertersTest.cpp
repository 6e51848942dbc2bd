#include "Support/JsonTestHelpers.h"
#include "Support/ModelBuilders.h"

#include <Orv/TimelineEngineModel/Serialization/Json/JsonToTrackConverter.h>
#include <Orv/TimelineEngineModel/Serialization/Json/TrackToJsonConverter.h>

#include <gtest/gtest.h>

#include <memory>
#include <string>

namespace {

using namespace Orv::TimelineEngineModel::Serialization::Json;
using namespace Orv::Testing;

const TrackToJsonConverter writer;
const JsonToTrackConverter reader;

// ---- Reader -------------------------------------------------------------------

TEST(TrackReaderTest, PointerVariantBuildsANewTrackEvenWhenItFails) {
    struct Case {
        Json::Value json;
        Track expected;
        std::string message = "";  // "" for success
    };
    const Case cases[] = {
        {Parse("{}"), Track()},
        {Parse("null"), Track()},
        {Parse(R"({"id":5,"type":"Unknown","items":{"_type":"FxAudioTransitionItem"}})"), Track()},
        {Parse(R"({"id":"trk","items":"text"})"), MakeTrack("trk", {})},
        {Parse(R"({"id":"","items":[]})"), Track()},
        {Parse(R"({"items":[{"_type":"FxAudioTransitionItem","id":"a"},5,{"_type":"FxVideoTransitionItem","id":"b"}]})"),
         MakeTrack("", {Audio("a"), nullptr, Video("b")})},
        {Parse(R"({"items":[null,{"id":"x","videoIn":"abc"}]})"),  // a failed item is kept as far as it was read
         MakeTrack("", {Summary(""), Summary("")})},
        {Json::Value(5), Track(), LookupMessage(Json::Value(5))},
        {Json::Value(Json::arrayValue), Track(), LookupMessage(Json::Value(Json::arrayValue))},
        {Json::Value("t"), Track(), LookupMessage(Json::Value("t"))},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.json.toStyledString());
        int live = 0;
        auto pointer = std::make_unique<Track>(MakeTrack("old", {std::make_shared<CountedItem>(live)}));
        ExpectOutcome(reader.To(c.json, pointer), c.message);
        EXPECT_EQ(live, 0);  // the track held before is gone, and its item with it
        ASSERT_NE(pointer, nullptr);
        EXPECT_EQ(pointer->GetType(), TrackType::Summary);
        EXPECT_EQ(*pointer, c.expected);
        if (!c.message.empty()) {  // the reference variant lets the failure through and changes nothing
            Track track = MakeTrack("keep", {Audio("a")});
            EXPECT_EQ(MessageOf([&] { reader.To(c.json, track); }), c.message);
            EXPECT_EQ(track, MakeTrack("keep", {Audio("a")}));
        }
    }
}

TEST(TrackReaderTest, ReferenceVariantAppendsAndKeepsWhatIsNotGiven) {
    const auto first = Audio("1");
    const auto second = Video("2");
    Track track = MakeTrack("keep", {first, second});
    EXPECT_TRUE(reader.To(Parse(R"({"id":7,"type":"Unknown","items":[{"_type":"FxAudioTransitionItem","id":"3"},)"
                                R"({"_type":"FxAudioTransitionItem","id":"4"},{"id":"5"}]})"),
                          track));
    EXPECT_EQ(track, MakeTrack("keep", {first, second, Audio("3"), Audio("4"), Summary("5")}));
    EXPECT_EQ(track.TrackItems()[0], first);  // the very same entries first

    EXPECT_TRUE(reader.To(Parse("{}"), track));
    EXPECT_TRUE(reader.To(Parse("null"), track));
    EXPECT_TRUE(reader.To(Parse(R"({"id":"new"})"), track));
    EXPECT_EQ(track.Id(), Identifier("new"));
    EXPECT_EQ(track.TrackItems().size(), 5u);
}

}  // namespace
