#include "Support/JsonTestHelpers.h"

#include <Orv/TimelineEngineModel/MediaInfo.h>
#include <Orv/TimelineEngineModel/Serialization/Json/JsonToMediaInfoConverter.h>
#include <Orv/TimelineEngineModel/Serialization/Json/MediaInfoToJsonConverter.h>

#include <gtest/gtest.h>

#include <cstdint>
#include <memory>
#include <string>
#include <vector>

namespace {

using Orv::BusinessEntityModel::BaseTypes::Identifier;
using Orv::TimelineEngineModel::MediaInfo;
using namespace Orv::TimelineEngineModel::Serialization::Json;
using namespace Orv::Testing;

const MediaInfoToJsonConverter writer;
const JsonToMediaInfoConverter reader;

MediaInfo Info(const std::string& id, int64_t in, int64_t duration, const std::string& channels) {
    return MediaInfo(Identifier(id), in, duration, channels);
}

// ---- Writer -------------------------------------------------------------------

TEST(MediaInfoWriterTest, WritesTheKeysThatAreSet) {
    struct Case {
        MediaInfo info;
        std::string json;
    };
    const Case cases[] = {
        {MediaInfo(), "{}"},
        {Info("A1", 0, 250, ""), R"({"mediaAssetId":"A1","limitDuration":"250"})"},
        {Info("m", -1, 2, "L,R"), R"({"mediaAssetId":"m","limitIn":"-1","limitDuration":"2","channels":"L,R"})"},
        {Info("", INT64_MIN, INT64_MAX, ""), R"({"limitIn":"-9223372036854775808","limitDuration":"9223372036854775807"})"},
        {Info(" ", 0, 0, ""), R"({"mediaAssetId":" "})"},
        {Info("", 0, 0, "\"q\" \\ / \b\f\n\r\t\x01\x1f\x7f\x80\xff\xc3\xa9"),
         "{\"channels\":\"\\\"q\\\" \\\\ / \\b\\f\\n\\r\\t\\u0001\\u001f\x7f\x80\xff\xc3\xa9\"}"},
        {Info("", 0, 0, std::string("ab\0cd", 5)), R"({"channels":"ab"})"},
        {Info(std::string("\0x", 2), 0, 0, ""), R"({"mediaAssetId":""})"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.json);
        const Written lvalue = Write(writer, c.info);
        EXPECT_TRUE(lvalue.result) << lvalue.result.ErrorMessage();
        EXPECT_EQ(lvalue.text, c.json);

        MediaInfo copy = c.info;
        Stringer stringer;
        const Result rvalue = writer.To(std::move(copy), stringer);
        EXPECT_TRUE(rvalue);
        EXPECT_EQ(stringer.ToString(), c.json);
        EXPECT_EQ(copy, c.info);  // not moved from
    }
}

TEST(MediaInfoWriterTest, AppendAddsToTheOpenObjectAndLeavesItOpen) {
    Stringer stringer;
    stringer.Object().Key("before").Value("1");
    writer.Append(stringer, Info("A1", 3, 0, "C"));
    EXPECT_EQ(stringer.Depth(), 1u);
    stringer.Key("after").Value("2").CloseObject();
    EXPECT_EQ(stringer.ToString(), R"({"before":"1","mediaAssetId":"A1","limitIn":"3","channels":"C","after":"2"})");

    Stringer untouched;
    untouched.Object();
    writer.Append(untouched, MediaInfo());
    EXPECT_EQ(untouched.ToString(), "{");
}

TEST(MediaInfoWriterTest, StringerFailureClosesTheObject) {
    const MediaInfo info = Info("A1", 5, 250, "C");
    struct Case {
        const char* lastAccepted;
        const char* json;
    };
    const Case cases[] = {
        {"{", "{}"},                                                          // the first key refused
        {R"("limitIn":"5")", R"({"mediaAssetId":"A1","limitIn":"5"})"},      // a key refused
        {R"("limitDuration":)", R"({"mediaAssetId":"A1","limitIn":"5"})"},   // a value refused: its key is dropped
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.lastAccepted);
        std::size_t limit = 0;
        const Written written = WriteCutAfter(writer, info, c.lastAccepted, limit);
        EXPECT_FALSE(written.result);
        EXPECT_EQ(written.result.ErrorMessage(), LimitMessage(limit));
        EXPECT_EQ(written.text, c.json);
    }
}

TEST(MediaInfoWriterTest, RefusedObjectWritesNothing) {
    Stringer stringer;
    stringer.Object();
    const Result result = writer.To(Info("A1", 0, 0, ""), stringer);
    EXPECT_FALSE(result);
    EXPECT_EQ(result.ErrorMessage(), ValueWhereKeyIsDueMessage());
    EXPECT_EQ(stringer.ToString(), "{");
}

// ---- Reader -------------------------------------------------------------------

TEST(MediaInfoReaderTest, ReadsEveryStringMemberInBothVariants) {
    const Json::Value json = Parse(R"({"mediaAssetId":"A1","limitIn":"-3","limitDuration":"250","channels":"L,R","id":"x"})");
    const MediaInfo expected = Info("A1", -3, 250, "L,R");

    MediaInfo byReference;
    EXPECT_TRUE(reader.To(json, byReference));
    EXPECT_EQ(byReference, expected);

    auto pointer = std::make_unique<MediaInfo>();
    const MediaInfo* const held = pointer.get();
    EXPECT_TRUE(reader.To(json, pointer));
    EXPECT_EQ(pointer.get(), held);  // filled in place
    EXPECT_EQ(*pointer, expected);

    auto viaRvalue = std::make_unique<MediaInfo>();
    EXPECT_TRUE(reader.To(Json::Value(json), viaRvalue));
    EXPECT_EQ(*viaRvalue, expected);
}

TEST(MediaInfoReaderTest, EmptyObjectNullAndNonStringsChangeNothing) {
    const MediaInfo before = Info("old", 1, 2, "old");
    std::vector<Json::Value> inputs = {Json::Value(Json::objectValue), Json::Value()};
    for (const Json::Value& value : NonStringValues()) {
        Json::Value input(Json::objectValue);
        for (const char* key : {"mediaAssetId", "limitIn", "limitDuration", "channels"}) {
            input[key] = value;
        }
        inputs.push_back(input);
    }
    for (const Json::Value& input : inputs) {
        SCOPED_TRACE(input.toStyledString());
        MediaInfo target = before;
        EXPECT_TRUE(reader.To(input, target));
        EXPECT_EQ(target, before);
        auto pointer = std::make_unique<MediaInfo>(before);
        EXPECT_TRUE(reader.To(input, pointer));
        EXPECT_EQ(*pointer, before);
    }
}

TEST(MediaInfoReaderTest, EmptyStringsClearTextsAndIdentifiers) {
    MediaInfo target = Info("old", 1, 2, "old");
    EXPECT_TRUE(reader.To(Parse(R"({"mediaAssetId":"","channels":""})"), target));
    EXPECT_EQ(target, Info("", 1, 2, ""));
}

TEST(MediaInfoReaderTest, IntegerTexts) {
    for (const IntegerTextCase& c : IntegerTexts()) {
        Json::Value json(Json::objectValue);
        json["limitIn"] = c.text;
        MediaInfo target;
        ExpectReferenceRead(c, [&] { return reader.To(json, target); }, [&] { return target.LimitIn(); });
        auto pointer = std::make_unique<MediaInfo>();
        ExpectPointerRead(c, [&] { return reader.To(json, pointer); }, [&] { return pointer->LimitIn(); });
    }
}

TEST(MediaInfoReaderTest, FailureKeepsWhatWasReadBefore) {
    const Json::Value json = Parse(R"({"mediaAssetId":"A9","limitIn":"7","limitDuration":"x","channels":"new"})");
    const MediaInfo partial = Info("A9", 7, 2, "old");

    MediaInfo target = Info("old", 1, 2, "old");
    EXPECT_EQ(MessageOf<std::invalid_argument>([&] { reader.To(json, target); }), "stoll");
    EXPECT_EQ(target, partial);

    auto pointer = std::make_unique<MediaInfo>(Info("old", 1, 2, "old"));
    const MediaInfo* const held = pointer.get();
    const Result result = reader.To(json, pointer);
    EXPECT_FALSE(result);
    EXPECT_STREQ(result.ErrorMessage(), "stoll");
    EXPECT_EQ(pointer.get(), held);
    EXPECT_EQ(*pointer, partial);
}

TEST(MediaInfoReaderTest, InputThatIsNeitherObjectNorNullFails) {
    for (const Json::Value& input : {Json::Value(Json::arrayValue), Json::Value("text"), Json::Value(5)}) {
        SCOPED_TRACE(input.toStyledString());
        const std::string message = LookupMessage(input);
        MediaInfo target = Info("old", 1, 2, "old");
        EXPECT_EQ(MessageOf([&] { reader.To(input, target); }), message);
        EXPECT_EQ(target, Info("old", 1, 2, "old"));

        auto pointer = std::make_unique<MediaInfo>();
        const Result result = reader.To(input, pointer);
        EXPECT_FALSE(result);
        EXPECT_EQ(result.ErrorMessage(), message);
    }
}

TEST(MediaInfoReaderTest, EmptyPointerFailsOnlyWhenThereIsSomethingToFill) {
    struct Case {
        const char* json;
        bool success;
    };
    const Case cases[] = {
        {"{}", true},
        {"null", true},
        {R"({"limitIn":5,"channels":null,"other":"x"})", true},
        {R"({"channels":"C"})", false},
        {R"({"limitDuration":"abc"})", false},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.json);
        std::unique_ptr<MediaInfo> pointer;
        const Result result = reader.To(Parse(c.json), pointer);
        EXPECT_EQ(static_cast<bool>(result), c.success);
        EXPECT_STREQ(result.ErrorMessage(), c.success ? "" : "no media info to fill: the target pointer is empty");
        EXPECT_EQ(pointer, nullptr);
    }
}

TEST(MediaInfoReaderTest, WrittenTextReadsBackEqual) {
    const MediaInfo infos[] = {
        MediaInfo(),
        Info("A1", 0, 250, ""),
        Info(" ", INT64_MIN, INT64_MAX, "L,R"),
        Info("\"\\\x01\xff", -1, -2, "\n\t\x7f\xc3\xa9"),
    };
    for (const MediaInfo& info : infos) {
        const Written written = Write(writer, info);
        SCOPED_TRACE(written.text);
        MediaInfo back;
        EXPECT_TRUE(reader.To(Parse(written.text), back));
        EXPECT_EQ(back, info);
    }
}

}  // namespace
