#include "Support/JsonTestHelpers.h"
#include "Support/ModelBuilders.h"

#include <Orv/TimelineEngineModel/Serialization/Json/JsonToTrackItemConverter.h>
#include <Orv/TimelineEngineModel/Serialization/Json/TrackItemToJsonConverter.h>

#include <gtest/gtest.h>

#include <cstdint>
#include <memory>
#include <string>

namespace {

using namespace Orv::TimelineEngineModel::Serialization::Json;
using namespace Orv::Testing;

const JsonToTrackItemConverter reader;

// ---- Reader -------------------------------------------------------------------

TEST(TrackItemReaderTest, IntegerTexts) {
    for (const char* key : {"videoIn", "monitoringChannel"}) {
        for (const IntegerTextCase& c : IntegerTexts()) {
            Json::Value json(Json::objectValue);
            json[key] = c.text;
            std::unique_ptr<TrackItem> item;
            ExpectPointerRead(c, [&] { return reader.To(json, item); }, [&] {
                const auto& summary = static_cast<const MediaSummaryItem&>(*item);
                return std::string(key) == "videoIn" ? summary.VideoIn() : summary.MonitoringChannel();
            });
        }
    }
    // The effect's integers go through the same parsing.
    std::unique_ptr<TrackItem> item;
    ExpectOutcome(reader.To(Parse(R"({"_type":"FxAudioTransitionItem","offset":"9223372036854775808"})"), item),
                  "stoll");
}

// The reader replaces the held item by a new one of the kind "_type" names
// exactly (a media summary item otherwise), holding the members of that kind
// only; when a member fails, as far as it was read.
TEST(TrackItemReaderTest, ReplacesTheHeldItemByOneOfTheNamedKind) {
    auto summary = Summary("s");
    summary->AudioIn(-5);
    summary->MediaAssetId(Identifier("m"));
    summary->MonitoringChannel(12);
    auto partial = Summary("");
    partial->VideoIn(3);
    struct Case {
        const char* json;
        std::shared_ptr<TrackItem> expected;
        std::string message = "";
    };
    const Case cases[] = {
        {"{}", Summary("")},
        {"null", Summary("")},
        {R"({"_type":"MediaSummaryItem"})", Summary("")},
        {R"({"_type":"FxAudioTransitionItem"})", Audio("")},
        {R"({"_type":"FxVideoTransitionItem"})", Video("")},
        {R"({"_type":"fxaudiotransitionitem"})", Summary("")},
        {R"({"_type":"FxAudio"})", Summary("")},
        {R"({"_type":"FxVideoTransitionItem "})", Summary("")},
        {R"({"_type":"FxVideoTransitionItemX"})", Summary("")},
        {R"({"_type":"FxVideoTransitionItem\u0000"})", Summary("")},
        {R"({"_type":""})", Summary("")},
        {R"({"_type":2})", Summary("")},
        {R"({"_type":["FxAudioTransitionItem"]})", Summary("")},
        {R"({"_type":"FxAudioTransitionItem","id":"a"})", Audio("a")},
        {R"({"id":"b"})", Summary("b")},
        {R"({"_type":"FxVideoTransitionItem","id":"t7","duration":"25","videoIn":"5"})",
         Transition<FxVideoTransitionItem>("t7", TransitionEffect(EffectType::Unknown, 0, 25, ""))},
        {R"({"_type":"FxAudioTransitionItem","videoIn":"5"})", Audio("")},
        {R"({"_type":"MediaSummaryItem","id":"s","videoIn":5,"audioIn":"-5",)"
         R"("mediaAssetId":"m","fxType":"Mix","duration":"9","monitoringChannel":"12abc"})", summary},
        {R"({"id":7})", Summary("")},
        {R"({"id":""})", Summary("")},
        {R"({"id":" "})", Summary(" ")},
        {R"({"id":"a","videoIn":"abc"})", Summary(""), "stoll"},
        {R"({"id":"a","videoIn":"3","audioIn":"x","mediaVideoIn":"4"})", partial, "stoll"},
        {R"({"_type":"FxVideoTransitionItem","id":"t","fxType":"Mix","config":"c","offset":"ab"})", Video(""), "stoll"},
        {R"({"_type":"FxAudioTransitionItem","id":"t","duration":""})", Audio(""), "stoll"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.json);
        int live = 0;
        std::unique_ptr<TrackItem> item = std::make_unique<CountedItem>(live);
        ExpectOutcome(reader.To(Parse(c.json), item), c.message);
        EXPECT_EQ(live, 0);  // the item held before is gone
        ASSERT_NE(item, nullptr);
        EXPECT_TRUE(*item == *c.expected);
    }
}

TEST(TrackItemReaderTest, InputThatIsNeitherObjectNorNullLeavesThePointer) {
    for (const Json::Value& input : NonObjectValues()) {
        SCOPED_TRACE(input.toStyledString());
        int live = 0;
        std::unique_ptr<TrackItem> item = std::make_unique<CountedItem>(live);
        const TrackItem* const held = item.get();
        ExpectOutcome(reader.To(input, item), LookupMessage(input));
        EXPECT_EQ(item.get(), held);
        EXPECT_EQ(live, 1);

        std::unique_ptr<TrackItem> empty;
        EXPECT_FALSE(reader.To(input, empty));
        EXPECT_EQ(empty, nullptr);
    }
}

TEST(TrackItemReaderTest, AppendFillsAnExistingItem) {
    // Media summary: missing members stay, "_type" and "id" are not read.
    MediaSummaryItem summary(Identifier("keep"));
    summary.AudioLevel(7);
    EXPECT_TRUE(reader.Append(Parse(R"({"_type":"FxAudioTransitionItem","id":"x","videoIn":"2"})"), summary));
    EXPECT_EQ(summary.Id(), Identifier("keep"));
    EXPECT_EQ(summary.VideoIn(), 2);
    EXPECT_EQ(summary.AudioLevel(), 7);
    EXPECT_EQ(MessageOf<std::invalid_argument>(
                  [&] { reader.Append(Parse(R"({"videoDuration":"4","audioIn":"?","audioLevel":"1"})"), summary); }),
              "stoll");
    EXPECT_EQ(summary.VideoDuration(), 4);
    EXPECT_EQ(summary.AudioLevel(), 7);

    // Transition: the effect is replaced whole, so a missing member resets that part.
    FxAudioTransitionItem audio(Identifier("keep"));
    audio.FxTransition(TransitionEffect(EffectType::Cut, 1, 2, "old"));
    EXPECT_TRUE(reader.Append(Parse(R"({"id":"x","duration":"9"})"), audio));
    EXPECT_EQ(audio.Id(), Identifier("keep"));
    EXPECT_EQ(audio.FxTransition(), TransitionEffect(EffectType::Unknown, 0, 9, ""));

    // A failure leaves the transition item unchanged.
    FxVideoTransitionItem video;
    video.FxTransition(TransitionEffect(EffectType::Mix, 1, 2, "old"));
    EXPECT_EQ(MessageOf<std::out_of_range>(
                  [&] { reader.Append(Parse(R"({"fxType":"Cut","duration":"-9223372036854775809"})"), video); }),
              "stoll");
    EXPECT_EQ(video.FxTransition(), TransitionEffect(EffectType::Mix, 1, 2, "old"));
}

}  // namespace
