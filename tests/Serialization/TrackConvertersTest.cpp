#include "Support/JsonTestHelpers.h"

#include <Orv/TimelineEngineModel/FxAudioTransitionItem.h>
#include <Orv/TimelineEngineModel/FxVideoTransitionItem.h>
#include <Orv/TimelineEngineModel/MediaSummaryItem.h>
#include <Orv/TimelineEngineModel/Track.h>
#include <Orv/TimelineEngineModel/Serialization/Json/JsonToTrackConverter.h>
#include <Orv/TimelineEngineModel/Serialization/Json/TrackItemToJsonConverter.h>
#include <Orv/TimelineEngineModel/Serialization/Json/TrackToJsonConverter.h>

#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <vector>

namespace {

using Orv::BusinessEntityModel::BaseTypes::Identifier;
using namespace Orv::TimelineEngineModel;
using namespace Orv::TimelineEngineModel::Serialization::Json;
using namespace Orv::Testing;

const TrackToJsonConverter writer;
const JsonToTrackConverter reader;

class UnknownItem : public TrackItem {
public:
    UnknownItem() = default;
};

class CountedItem : public MediaSummaryItem {
public:
    explicit CountedItem(int& live) : live(live) { ++live; }
    ~CountedItem() override { --live; }

private:
    int& live;
};

std::shared_ptr<TrackItem> Audio(const std::string& id) { return std::make_shared<FxAudioTransitionItem>(Identifier(id)); }
std::shared_ptr<TrackItem> Video(const std::string& id) { return std::make_shared<FxVideoTransitionItem>(Identifier(id)); }

Track MakeTrack(const std::string& id, const TrackItemArray& items) {
    Track track{Identifier(id)};
    track.TrackItems(items);
    return track;
}

// ---- Writer -------------------------------------------------------------------

TEST(TrackWriterTest, WritesIdTypeAndItems) {
    auto summary = std::make_shared<MediaSummaryItem>(Identifier("s"));
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
        const Written lvalue = Write(writer, c.track);
        EXPECT_TRUE(lvalue.result) << lvalue.result.ErrorMessage();
        EXPECT_EQ(lvalue.text, c.json);

        Track copy = c.track;
        Stringer stringer;
        EXPECT_TRUE(writer.To(std::move(copy), stringer));
        EXPECT_EQ(stringer.ToString(), c.json);
        EXPECT_EQ(copy, c.track);
        EXPECT_EQ(copy.TrackItems().size(), c.track.TrackItems().size());

        Stringer members;
        members.Object();
        writer.Append(members, c.track);
        EXPECT_EQ(members.Depth(), 1u);
        EXPECT_EQ(members.CloseObject().ToString(), c.json);
    }
}

TEST(TrackWriterTest, StringerFailureInTheSecondItemClosesEverythingOpened) {
    const Track track = MakeTrack("t", {Audio("a"), Video("b"), Audio("c")});
    std::size_t limit = 0;
    const Written written = WriteCutAfter(writer, track, R"("_type":"FxVideoTransitionItem")", limit);
    EXPECT_FALSE(written.result);
    EXPECT_EQ(written.result.ErrorMessage(), LimitMessage(limit));
    EXPECT_EQ(written.text,
              R"({"id":"t","type":"SUMMARY","items":[{"_type":"FxAudioTransitionItem","id":"a"},)"
              R"({"_type":"FxVideoTransitionItem"}]})");

    // Append closes the item and the array, and leaves the caller's object open.
    Stringer stringer;
    stringer.OutputLimit(limit);
    stringer.Object();
    EXPECT_EQ(MessageOf<std::length_error>([&] { writer.Append(stringer, track); }), LimitMessage(limit));
    EXPECT_EQ(stringer.Depth(), 1u);
    EXPECT_EQ(stringer.CloseObject().ToString(), written.text);
}

TEST(TrackWriterTest, AnEntryWithoutItemFailsAfterClosing) {
    const Track track = MakeTrack("t", {Audio("a"), nullptr, Audio("c")});
    const std::string message = MessageOf<std::invalid_argument>([] {
        Stringer stringer;
        stringer.Object();
        TrackItemToJsonConverter().Append(stringer, nullptr);
    });
    const Written written = Write(writer, track);
    EXPECT_FALSE(written.result);
    EXPECT_EQ(written.result.ErrorMessage(), message);
    EXPECT_EQ(written.text, R"({"id":"t","type":"SUMMARY","items":[{"_type":"FxAudioTransitionItem","id":"a"},{}]})");
}

TEST(TrackWriterTest, RefusedObjectWritesNothing) {
    Stringer stringer;
    stringer.Object();
    const Result result = writer.To(MakeTrack("t", {Audio("a")}), stringer);
    EXPECT_FALSE(result);
    EXPECT_EQ(result.ErrorMessage(), ValueWhereKeyIsDueMessage());
    EXPECT_EQ(stringer.ToString(), "{");
}

// ---- Reader -------------------------------------------------------------------

TEST(TrackReaderTest, PointerVariantBuildsANewTrack) {
    struct Case {
        const char* json;
        Track expected;
    };
    const Case cases[] = {
        {"{}", Track()},
        {"null", Track()},
        {R"({"id":5,"type":"Unknown","items":{"_type":"FxAudioTransitionItem"}})", Track()},
        {R"({"id":"trk","items":"text"})", MakeTrack("trk", {})},
        {R"({"id":"","items":[]})", Track()},
        {R"({"items":[{"_type":"FxAudioTransitionItem","id":"a"},5,{"_type":"FxVideoTransitionItem","id":"b"}]})",
         MakeTrack("", {Audio("a"), nullptr, Video("b")})},
        {R"({"items":[null,{"id":"x","videoIn":"abc"}]})",  // a failed item is kept as far as it was read
         MakeTrack("", {std::make_shared<MediaSummaryItem>(), std::make_shared<MediaSummaryItem>()})},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.json);
        int live = 0;
        auto pointer = std::make_unique<Track>(MakeTrack("old", {std::make_shared<CountedItem>(live)}));
        const Result result = reader.To(Parse(c.json), pointer);
        EXPECT_TRUE(result) << result.ErrorMessage();
        EXPECT_EQ(live, 0);  // the track held before is gone, and its item with it
        ASSERT_NE(pointer, nullptr);
        EXPECT_EQ(pointer->GetType(), TrackType::Summary);
        EXPECT_EQ(*pointer, c.expected);
    }
}

TEST(TrackReaderTest, ReferenceVariantAppendsAndKeepsWhatIsNotGiven) {
    const auto first = Audio("1");
    const auto second = Video("2");
    Track track = MakeTrack("keep", {first, second});
    EXPECT_TRUE(reader.To(Parse(R"({"id":7,"type":"Unknown","items":[{"_type":"FxAudioTransitionItem","id":"3"},)"
                                R"({"_type":"FxAudioTransitionItem","id":"4"},{"id":"5"}]})"),
                          track));
    EXPECT_EQ(track, MakeTrack("keep", {first, second, Audio("3"), Audio("4"),
                                        std::make_shared<MediaSummaryItem>(Identifier("5"))}));
    EXPECT_EQ(track.TrackItems()[0], first);  // the very same entries first

    EXPECT_TRUE(reader.To(Parse("{}"), track));
    EXPECT_TRUE(reader.To(Parse("null"), track));
    EXPECT_TRUE(reader.To(Parse(R"({"id":"new"})"), track));
    EXPECT_EQ(track.Id(), Identifier("new"));
    EXPECT_EQ(track.TrackItems().size(), 5u);
}

TEST(TrackReaderTest, InputThatIsNeitherObjectNorNullFails) {
    for (const Json::Value& input : {Json::Value(5), Json::Value(Json::arrayValue), Json::Value("t")}) {
        SCOPED_TRACE(input.toStyledString());
        const std::string message = LookupMessage(input);
        int live = 0;
        auto pointer = std::make_unique<Track>(MakeTrack("old", {std::make_shared<CountedItem>(live)}));
        const Result result = reader.To(input, pointer);
        EXPECT_FALSE(result);
        EXPECT_EQ(result.ErrorMessage(), message);
        EXPECT_EQ(live, 0);
        ASSERT_NE(pointer, nullptr);
        EXPECT_EQ(*pointer, Track());

        Track track = MakeTrack("keep", {Audio("a")});
        EXPECT_EQ(MessageOf([&] { reader.To(input, track); }), message);
        EXPECT_EQ(track, MakeTrack("keep", {Audio("a")}));
    }
}

TEST(TrackReaderTest, WrittenTrackReadsBackEqual) {
    auto summary = std::make_shared<MediaSummaryItem>(Identifier("s\\"));
    summary->MediaAssetId(Identifier("m\xc3\xa9"));
    summary->AudioDuration(INT64_MIN);
    auto transition = std::make_shared<FxVideoTransitionItem>(Identifier("v"));
    transition->FxTransition(TransitionEffect(EffectType::Mix, -3, 12, "\"cfg\""));
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
