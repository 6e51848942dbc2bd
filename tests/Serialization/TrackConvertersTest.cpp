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

// ---- Writer -------------------------------------------------------------------

TEST(TrackWriterTest, WritesIdTypeAndItems) {
    auto summary = Summary("s");
    summary->VideoIn(-1);
    struct Case {
        Track track;
        std::string json;
    };
    const Case cases[] = {
        {Track(), R"({"type":"SUMMARY"})"},
        {MakeTrack("trk-1", {}), R"({"id":"trk-1","type":"SUMMARY"})"},
        {MakeTrack(" ", {}), R"({"id":" ","type":"SUMMARY"})"},
        {MakeTrack("t", {Audio("a"), Video(""), Audio("c")}),
         R"({"id":"t","type":"SUMMARY","items":[{"_type":"FxAudioTransitionItem","id":"a"},)"
         R"({"_type":"FxVideoTransitionItem"},{"_type":"FxAudioTransitionItem","id":"c"}]})"},
        {MakeTrack("", {summary, std::make_shared<UnknownItem>()}),
         R"({"type":"SUMMARY","items":[{"_type":"MediaSummaryItem","id":"s","videoIn":"-1","videoDuration":"0",)"
         R"("audioIn":"0","audioDuration":"0","mediaVideoIn":"0","mediaVideoDuration":"0","mediaAudioIn":"0",)"
         R"("mediaAudioDuration":"0","audioLevel":"0","monitoringChannel":"0"},{}]})"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.json);
        ExpectWrites(writer, c.track, c.json);
    }
}

TEST(TrackWriterTest, StringerFailureInTheSecondItemClosesEverythingOpened) {
    const Track track = MakeTrack("t", {Audio("a"), Video("b"), Audio("c")});
    const std::string json = R"({"id":"t","type":"SUMMARY","items":[{"_type":"FxAudioTransitionItem","id":"a"},)"
                             R"({"_type":"FxVideoTransitionItem"}]})";
    const std::size_t limit = ExpectCutAfter(writer, track, R"("_type":"FxVideoTransitionItem")", json);

    // Append closes the item and the array, and leaves the caller's object open.
    Stringer stringer;
    stringer.OutputLimit(limit);
    stringer.Object();
    EXPECT_EQ(MessageOf<std::length_error>([&] { writer.Append(stringer, track); }), LimitMessage(limit));
    EXPECT_EQ(stringer.Depth(), 1u);
    EXPECT_EQ(stringer.CloseObject().ToString(), json);
}

TEST(TrackWriterTest, AnEntryWithoutItemFailsAfterClosing) {
    const Written written = Write(writer, MakeTrack("t", {Audio("a"), nullptr, Audio("c")}));
    EXPECT_FALSE(written.result);
    EXPECT_EQ(written.result.ErrorMessage(), EmptyEntryMessage());
    EXPECT_EQ(written.text, R"({"id":"t","type":"SUMMARY","items":[{"_type":"FxAudioTransitionItem","id":"a"},{}]})");
    ExpectRefusedWhereKeyIsDue(writer, MakeTrack("t", {Audio("a")}));
}

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

TEST(TrackReaderTest, WrittenTrackReadsBackEqual) {
    auto summary = Summary("s\\");
    summary->MediaAssetId(Identifier("m\xc3\xa9"));
    summary->AudioDuration(INT64_MIN);
    const auto transition = Transition<FxVideoTransitionItem>("v", TransitionEffect(EffectType::Mix, -3, 12, "\"c\""));
    const Track tracks[] = {Track(), MakeTrack("t\n", {summary, transition, Audio(""), summary})};
    for (const Track& track : tracks) {
        const Written written = Write(writer, track);
        SCOPED_TRACE(written.text);
        std::unique_ptr<Track> back;
        EXPECT_TRUE(reader.To(Json::Value(Parse(written.text)), back));  // the rvalue form
        ASSERT_NE(back, nullptr);
        EXPECT_EQ(*back, track);
    }
}

}  // namespace
