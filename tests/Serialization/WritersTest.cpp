#include "Support/JsonTestHelpers.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <memory>
#include <string>

namespace {

using namespace Orv::Testing;

// The ten integers of a media summary item at zero, as they end its object.
const std::string ZeroSummary =
    R"("videoIn":"0","videoDuration":"0","audioIn":"0","audioDuration":"0","mediaVideoIn":"0",)"
    R"("mediaVideoDuration":"0","mediaAudioIn":"0","mediaAudioDuration":"0","audioLevel":"0","monitoringChannel":"0"})";

// Each model and the text its writer gives, byte for byte; unless marked,
// that text reads back to an equal model. An entry without an item fails the
// write after its object and every enclosing one are closed.
TEST(WritersTest, WriteEveryModelByteExactlyAndReadItBack) {
    const Track withEmptyEntry = MakeTrack("t", {Audio("a"), nullptr, Audio("c")});
    const std::string withEmptyEntryJson =
        R"({"id":"t","type":"SUMMARY","items":[{"_type":"FxAudioTransitionItem","id":"a"},{}]})";
    Timeline timelineWithEmptyEntry;
    timelineWithEmptyEntry.Tracks().push_back(withEmptyEntry);
    const struct {
        Model model;
        std::string json;
        bool readsBack = true;
        std::string message = "";
    } cases[] = {
        // Keys in a fixed order, each left out while it holds its default.
        {MediaInfo(), "{}"},
        {MediaInfo(Identifier("A1"), 0, 250, ""), R"({"mediaAssetId":"A1","limitDuration":"250"})"},
        {MediaInfo(Identifier(" "), INT64_MIN, INT64_MAX, "L,R"),
         R"({"mediaAssetId":" ","limitIn":"-9223372036854775808","limitDuration":"9223372036854775807","channels":"L,R"})"},
        {MediaInfo(Identifier("\"\\\x01\xff"), 7, 0, "\n\t\x7f\xc3\xa9"),
         "{\"mediaAssetId\":\"\\\"\\\\\\u0001\xff\",\"limitIn\":\"7\",\"channels\":\"\\n\\t\x7f\xc3\xa9\"}"},
        {TransitionEffect(), "{}"},
        {TransitionEffect(EffectType::Cut, -4, 1, "c"), R"({"fxType":"Cut","offset":"-4","duration":"1","config":"c"})"},
        {TransitionEffect(EffectType::Mix, 0, 25, "{\"curve\":\"linear\"}"),
         R"({"fxType":"Mix","duration":"25","config":"{\"curve\":\"linear\"}"})"},
        {TransitionEffect(EffectType::Unknown, -1, 0, "cfg"), R"({"offset":"-1","config":"cfg"})"},
        // Items lead with "_type"; a media summary item writes its ten integers also when zero.
        {MediaSummaryItem(), R"({"_type":"MediaSummaryItem",)" + ZeroSummary},
        {*Summary("s\"1", 1, 1, " "),
         R"({"_type":"MediaSummaryItem","id":"s\"1","videoIn":"1","videoDuration":"2","audioIn":"3","audioDuration":"4",)"
         R"("mediaAssetId":" ","mediaVideoIn":"5","mediaVideoDuration":"6","mediaAudioIn":"7","mediaAudioDuration":"8",)"
         R"("audioLevel":"9","monitoringChannel":"10"})"},
        {*Audio(""), R"({"_type":"FxAudioTransitionItem"})"},
        {*Video("t7", TransitionEffect(EffectType::Unknown, 0, 25, "")),
         R"({"_type":"FxVideoTransitionItem","id":"t7","duration":"25"})"},
        {*Audio("a", TransitionEffect(EffectType::Cut, -1, INT64_MAX, "c")),
         R"({"_type":"FxAudioTransitionItem","id":"a","fxType":"Cut","offset":"-1","duration":"9223372036854775807","config":"c"})"},
        // Lists are left out when empty; a timeline always has its duration.
        {Track(), R"({"type":"SUMMARY"})"},
        {MakeTrack("t", {Audio("a"), Video(""), std::make_shared<MediaSummaryItem>(Identifier("s"))}),
         R"({"id":"t","type":"SUMMARY","items":[{"_type":"FxAudioTransitionItem","id":"a"},)"
         R"({"_type":"FxVideoTransitionItem"},{"_type":"MediaSummaryItem","id":"s",)" + ZeroSummary + "]}"},
        {Timeline(), R"({"duration":"0"})"},
        {Timeline(Identifier("tl")), R"({"id":"tl","duration":"0"})"},
        {MakeTimeline(" ", "tx", INT64_MIN, {}, {}), R"({"id":" ","transactionId":"tx","duration":"-9223372036854775808"})"},
        {MakeTimeline("a", "", 1, {"", "t\\"}, {MediaInfo(), MediaInfo(Identifier("m"), 1, 0, "")}),
         R"({"id":"a","duration":"1","tracks":[{"type":"SUMMARY"},{"id":"t\\","type":"SUMMARY"}],)"
         R"("mediaInfos":[{},{"mediaAssetId":"m","limitIn":"1"}]})"},
        // A NUL character ends a text; an item of a kind outside the model is an empty object.
        {MediaInfo(Identifier(std::string("\0x", 2)), 0, 0, std::string("ab\0cd", 5)),
         R"({"mediaAssetId":"","channels":"ab"})", false},
        {TransitionEffect(EffectType::Unknown, 0, 0, std::string("x\0y", 3)), R"({"config":"x"})", false},
        {*Video(std::string("i\0d", 3), TransitionEffect(EffectType::Unknown, 0, 0, "\n\x80")),
         "{\"_type\":\"FxVideoTransitionItem\",\"id\":\"i\",\"config\":\"\\n\x80\"}", false},
        {MakeTrack("", {std::make_shared<UnknownItem>()}), R"({"type":"SUMMARY","items":[{}]})", false},
        {withEmptyEntry, withEmptyEntryJson, false, EmptyEntryMessage},
        {timelineWithEmptyEntry, R"({"duration":"0","tracks":[)" + withEmptyEntryJson + "]}", false, EmptyEntryMessage},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.json);
        ExpectWrites(c.model, c.json, c.message);
        if (c.readsBack) {
            ExpectReads(Parse(c.json), c.model);
        }
    }
}

// A call refused by the output limit fails the write, which closes every
// object and array it opened; a value refused after its key drops the key.
TEST(WritersTest, OutputLimitCutsTheTextAndClosesWhatWasOpen) {
    const Timeline timeline = MakeTimeline("tl", "", 1, {"trk-1", "trk-2"}, {MediaInfo(Identifier("m1"), 0, 5, ""),
                                                                              MediaInfo(Identifier("m2"), 0, 6, "")});
    const std::string tracks = R"({"id":"tl","duration":"1","tracks":[{"id":"trk-1","type":"SUMMARY"},)";
    const struct {
        Model model;
        std::string lastAccepted, json;
    } cases[] = {
        {MediaInfo(Identifier("A1"), 5, 250, "C"), "{", "{}"},
        {MediaInfo(Identifier("A1"), 5, 250, "C"), R"("limitIn":"5","limitDuration":)",
         R"({"mediaAssetId":"A1","limitIn":"5"})"},
        {TransitionEffect(EffectType::Cut, 5, 250, "C"), R"("duration":"250")",
         R"({"fxType":"Cut","offset":"5","duration":"250"})"},
        {*Summary("s", 1, 1, "m"), R"("mediaAssetId":)",
         R"({"_type":"MediaSummaryItem","id":"s","videoIn":"1","videoDuration":"2","audioIn":"3","audioDuration":"4"})"},
        {*Video("t", TransitionEffect(EffectType::Mix, 2, 3, "c")), R"("id":"t")", R"({"_type":"FxVideoTransitionItem","id":"t"})"},
        {MakeTrack("t", {Audio("a"), Video("b"), Audio("c")}), R"("_type":"FxVideoTransitionItem")",
         R"({"id":"t","type":"SUMMARY","items":[{"_type":"FxAudioTransitionItem","id":"a"},{"_type":"FxVideoTransitionItem"}]})"},
        {timeline, R"("duration":)", R"({"id":"tl"})"},
        {timeline, R"({"id":"trk-2")", tracks + R"({"id":"trk-2"}]})"},
        {timeline, R"({"id":"trk-2","type":"SUMMARY"})", tracks + R"({"id":"trk-2","type":"SUMMARY"}]})"},  // "]" passes the limit
        {timeline, R"("mediaAssetId":"m2")",
         tracks + R"({"id":"trk-2","type":"SUMMARY"}],"mediaInfos":[{"mediaAssetId":"m1","limitDuration":"5"},{"mediaAssetId":"m2"}]})"},
    };
    for (const auto& c : cases) {
        ExpectCutAfter(c.model, c.lastAccepted, c.json);
    }
}

// An exception of a type not derived from std::exception fails the write too.
TEST(WritersTest, AnExceptionOfAnyTypeFailsTheWrite) {
    struct ThrowingItem : MediaSummaryItem {
        const Identifier& Id() const override { throw 42; }
    };
    Stringer stringer;
    ExpectOutcome(TrackItemToJsonConverter().To(ThrowingItem(), stringer), "unknown exception");
    EXPECT_EQ(stringer.ToString(), R"({"_type":"MediaSummaryItem"})");
}

}  // namespace
