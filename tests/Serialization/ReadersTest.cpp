#include "Support/JsonTestHelpers.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <functional>
#include <memory>
#include <string>
#include <vector>

namespace {

using namespace Orv::Testing;

// Each reader with a value that sets every member, a new value, and the keys
// it reads: single values, then lists.
struct ReaderKeys {
    Model full;
    Model fresh;
    std::vector<const char*> keys;
    std::vector<const char*> lists;
};

const std::vector<ReaderKeys> Readers = {
    {MediaInfo(Identifier("A"), 1, 2, "c"), MediaInfo(), {"mediaAssetId", "limitIn", "limitDuration", "channels"}, {}},
    {TransitionEffect(EffectType::Cut, 1, 2, "c"), TransitionEffect(), {"fxType", "offset", "duration", "config"}, {}},
    {*Summary("s", 1, 1, "m"), MediaSummaryItem(),
     {"_type", "id", "videoIn", "videoDuration", "audioIn", "audioDuration", "mediaAssetId", "mediaVideoIn",
      "mediaVideoDuration", "mediaAudioIn", "mediaAudioDuration", "audioLevel", "monitoringChannel"},
     {}},
    {MakeTrack("t", {Audio("a")}), Track(), {"id", "type"}, {"items"}},
    {MakeTimeline("tl", "tx", 5, {"t"}, {MediaInfo()}), Timeline(), {"id", "transactionId", "duration"},
     {"tracks", "mediaInfos"}},
};

// A new value read from each text, through every route; a failure keeps what
// was read before it.
TEST(ReadersTest, ReadEachTextIntoANewValue) {
    auto summary = Summary("s", 0, 0, "m");
    summary->AudioIn(-5);
    summary->MonitoringChannel(12);
    auto partial = Summary("");
    partial->VideoIn(3);
    const struct {
        const char* json;
        Model expected;
        std::string message = "";
    } cases[] = {
        // Other keys are ignored; the empty text clears.
        {R"({"_type":"FxVideoTransitionItem","id":"t7","fxType":"Cut","offset":"-2","channels":"x","config":""})",
         TransitionEffect(EffectType::Cut, -2, 0, "")},
        // "_type" names a transition exactly (whole text, case-sensitive); anything else is a media summary item.
        {R"({"_type":"fxaudiotransitionitem","id":"i"})", *Summary("i")},
        {R"({"_type":"FxAudio","id":"i"})", *Summary("i")},
        {R"({"_type":"FxVideoTransitionItem ","id":"i"})", *Summary("i")},
        {R"({"_type":"FxVideoTransitionItemX","id":"i"})", *Summary("i")},
        {R"({"_type":"FxVideoTransitionItem\u0000","id":"i"})", *Summary("i")},
        {R"({"_type":"FxVideoTransitionItem","id":"t7","duration":"25","videoIn":"5"})",
         *Video("t7", TransitionEffect(EffectType::Unknown, 0, 25, ""))},
        {R"({"_type":"MediaSummaryItem","id":"s","videoIn":5,"audioIn":"-5","mediaAssetId":"m","fxType":"Mix",)"
         R"("duration":"9","monitoringChannel":"12abc"})",
         *summary},
        // The identifier is read last; a transition's effect is stored only when read whole.
        {R"({"id":"a","videoIn":"3","audioIn":"x","mediaVideoIn":"4"})", *partial, "stoll"},
        {R"({"_type":"FxVideoTransitionItem","id":"t","fxType":"Mix","config":"c","offset":"ab"})", *Video(""), "stoll"},
        // Every element of "items" gives an entry: none from a non-object, a failed item as far as it was read.
        {R"({"id":"t","type":"Unknown","items":[{"_type":"FxAudioTransitionItem","id":"a"},5,null,{"id":"x","videoIn":"?"}]})",
         MakeTrack("t", {Audio("a"), nullptr, Summary(""), Summary("")})},
        // A failing element of a timeline's list ends the reading, and is not appended.
        {R"({"tracks":[null,{},{"id":"b","type":"Unknown"}],"mediaInfos":[null,{"channels":"C"}]})",
         MakeTimeline("", "", 0, {"", "", "b"}, {MediaInfo(), MediaInfo(Identifier(""), 0, 0, "C")})},
        {R"({"id":"a","duration":"abc","tracks":[{"id":"t"}]})", MakeTimeline("a", "", 0, {}, {}), "stoll"},
        {R"({"id":"a","tracks":[{"id":"t1"},5,{"id":"t3"}],"mediaInfos":[{}]})", MakeTimeline("a", "", 0, {"t1"}, {}),
         LookupMessage(Json::Value(5))},
        {R"({"tracks":[{"id":"t1"}],"mediaInfos":[{"limitIn":"1"},{"limitIn":"x"},{"limitIn":"3"}]})",
         MakeTimeline("", "", 0, {"t1"}, {MediaInfo(Identifier(""), 1, 0, "")}), "stoll"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.json);
        ExpectReads(Parse(c.json), c.expected, c.message);
    }
}

// Members not given are kept, and so are those read before a failure; lists
// are appended to.
TEST(ReadersTest, ReadOverAnExistingValue) {
    const TransitionEffect old(EffectType::Cut, 1, 2, "old");
    const auto summary = [](int64_t videoIn, int64_t videoDuration) {
        auto item = Summary("keep");
        item->AudioLevel(7);
        item->VideoIn(videoIn);
        item->VideoDuration(videoDuration);
        return item;
    };
    const struct {
        Model before;
        const char* json;
        Model expected;
        std::string message = "";
    } cases[] = {
        {MediaInfo(Identifier("A"), 1, 2, "old"), R"({"limitDuration":"9","channels":""})", MediaInfo(Identifier("A"), 1, 9, "")},
        {MediaInfo(Identifier("A"), 1, 2, "old"), R"({"mediaAssetId":"B","limitIn":"7","limitDuration":"x","channels":"new"})",
         MediaInfo(Identifier("B"), 7, 2, "old"), "stoll"},
        {old, R"({"fxType":"mix","config":""})", TransitionEffect(EffectType::Unknown, 1, 2, "")},
        {old, R"({"fxType":"Mix","offset":"abc","duration":"9","config":"new"})", TransitionEffect(EffectType::Mix, 1, 2, "old"),
         "stoll"},
        // Append reads neither "_type" nor "id"; a transition's effect is replaced whole or not at all.
        {*summary(0, 0), R"({"_type":"FxAudioTransitionItem","id":"x","videoIn":"2"})", *summary(2, 0)},
        {*summary(0, 0), R"({"videoDuration":"4","audioIn":"?","audioLevel":"1"})", *summary(0, 4), "stoll"},
        {*Audio("keep", old), R"({"id":"x","duration":"9"})", *Audio("keep", TransitionEffect(EffectType::Unknown, 0, 9, ""))},
        {*Video("", old), R"({"fxType":"Mix","duration":"-9223372036854775809"})", *Video("", old), "stoll"},
        {MakeTrack("keep", {Audio("1")}), R"({"items":[{"id":"5"}]})", MakeTrack("keep", {Audio("1"), Summary("5")})},
        {MakeTimeline("keep", "tx", 42, {"old"}, {MediaInfo(Identifier("m0"), 0, 0, "")}),
         R"({"id":"","transactionId":"t2","tracks":[{"id":"a"}],"mediaInfos":[{"mediaAssetId":"m1"}]})",
         MakeTimeline("", "t2", 42, {"old", "a"}, {MediaInfo(Identifier("m0"), 0, 0, ""), MediaInfo(Identifier("m1"), 0, 0, "")})},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.json);
        ExpectReadsOver(c.before, Parse(c.json), c.expected, c.message);
    }
}

// Every 64-bit integer member is read as std::stoll reads base 10, with its
// exceptions and their text.
TEST(ReadersTest, IntegerTexts) {
    const struct {
        const char* key;
        const char* json;
        std::function<Model(int64_t)> read;
    } members[] = {
        {"limitIn", "{}", [](int64_t v) -> Model { return MediaInfo(Identifier(), v, 0, ""); }},
        {"duration", "{}", [](int64_t v) -> Model { return TransitionEffect(EffectType::Unknown, 0, v, ""); }},
        {"duration", "{}", [](int64_t v) -> Model { return MakeTimeline("", "", v, {}, {}); }},
        {"monitoringChannel", "{}", [](int64_t v) -> Model { auto item = Summary(""); item->MonitoringChannel(v); return *item; }},
        {"offset", R"({"_type":"FxAudioTransitionItem"})",
         [](int64_t v) -> Model { return *Audio("", TransitionEffect(EffectType::Unknown, v, 0, "")); }},
    };
    enum Outcome { Value, NoDigits, OutOfRange };
    const struct {
        std::string text;
        int64_t value;
        Outcome outcome = Value;
    } texts[] = {
        {"5", 5}, {"+5", 5}, {" 7", 7}, {"\t\n\v\f\r 8", 8}, {"-100", -100}, {" -7", -7}, {"007", 7}, {"12abc", 12},
        {"1e3", 1}, {"0x1F", 0}, {"4 2", 4}, {"-9223372036854775808", INT64_MIN}, {"9223372036854775807", INT64_MAX},
        {"9223372036854775808", 0, OutOfRange}, {"-9223372036854775809", 0, OutOfRange},
        {"99999999999999999999999", 0, OutOfRange}, {"0000000000000000000000042", 42}, {"", 0, NoDigits},
        {"abc", 0, NoDigits}, {" ", 0, NoDigits}, {"+", 0, NoDigits}, {"- 1", 0, NoDigits}, {"x5", 0, NoDigits}, {"--1", 0, NoDigits},
    };
    for (const auto& [text, value, outcome] : texts) {
        SCOPED_TRACE("text \"" + text + "\"");
        for (const auto& [key, json, read] : members) {
            Json::Value input = Parse(json);
            input[key] = text;
            ExpectReads(input, read(value), outcome == Value ? "" : "stoll");
        }
        // The reference forms let the exception of std::stoll through.
        Json::Value input(Json::objectValue);
        input["limitIn"] = text;
        MediaInfo info;
        const auto read = [&] { static_cast<void>(JsonToMediaInfoConverter().To(input, info)); };
        EXPECT_EQ(outcome == OutOfRange ? ThrownBy<std::out_of_range>(read) : ThrownBy<std::invalid_argument>(read),
                  outcome == Value ? "" : "stoll");
    }
}

// Values of every JSON type but string are skipped silently; an input that is
// neither object nor null fails with jsoncpp's message and changes nothing.
TEST(ReadersTest, OnlyStringMembersOfObjectsAreRead) {
    for (const Json::Value& value :
         {Json::Value(), Json::Value(5), Json::Value(-1.5), Json::Value(true), Parse(R"({"k":"5"})"), Parse(R"(["5"])")}) {
        for (const ReaderKeys& reader : Readers) {
            if (value.isNull()) {  // a null input is read as an empty object
                ExpectReads(value, reader.fresh);
                ExpectReadsOver(reader.full, value, reader.full);
            }
            Json::Value input(Json::objectValue);
            for (const char* key : reader.keys) {
                input[key] = value;
            }
            for (const char* key : reader.lists) {
                input[key] = value.isArray() ? Json::Value() : value;
            }
            SCOPED_TRACE(input.toStyledString());
            ExpectReads(input, reader.fresh);
            ExpectReadsOver(reader.full, input, reader.full);
        }
    }
    for (const Json::Value& input : {Json::Value(Json::arrayValue), Json::Value("text"), Json::Value(5), Json::Value(1.5),
                                     Json::Value(false)}) {
        SCOPED_TRACE(input.toStyledString());
        const std::string message = LookupMessage(input);
        for (const ReaderKeys& reader : Readers) {
            if (!std::holds_alternative<MediaSummaryItem>(reader.fresh)) {
                ExpectReads(input, reader.fresh, message);
            }
            ExpectReadsOver(reader.full, input, reader.full, message);
        }
        // The track item reader fails before it touches the pointer.
        int live = 0;
        std::unique_ptr<TrackItem> item = std::make_unique<CountedItem>(live);
        const TrackItem* const held = item.get();
        std::unique_ptr<TrackItem> empty;
        ExpectOutcome(JsonToTrackItemConverter().To(input, item), message);
        ExpectOutcome(JsonToTrackItemConverter().To(input, empty), message);
        EXPECT_EQ(item.get(), held);
        EXPECT_EQ(empty, nullptr);
    }
}

// The pointer forms of the media info and transition effect readers fill the
// value held; an empty pointer fails only when a member would be read.
TEST(ReadersTest, AnEmptyPointerFailsOnlyWhenThereIsSomethingToFill) {
    const auto expect = [](const auto& reader, auto pointer, const ReaderKeys& entity, const std::string& name) {
        Json::Value nothing = Parse(R"({"other":"x"})");
        for (const char* key : entity.keys) {
            nothing[key] = 5;
        }
        std::vector<std::pair<Json::Value, std::string>> cases = {{Json::Value(), ""}, {nothing, ""}};
        for (const char* key : entity.keys) {
            cases.emplace_back(Json::Value(Json::objectValue), "no " + name + " to fill: the target pointer is empty");
            cases.back().first[key] = "";
        }
        for (const auto& [input, message] : cases) {
            ExpectOutcome(reader.To(input, pointer), message);
            EXPECT_EQ(pointer, nullptr);
        }
    };
    expect(JsonToMediaInfoConverter(), std::unique_ptr<MediaInfo>(), Readers[0], "media info");
    expect(JsonToTransitionEffectConverter(), std::unique_ptr<TransitionEffect>(), Readers[1], "transition effect");
}

}  // namespace
