#include "Support/JsonTestHelpers.h"

#include <Orv/TimelineEngineModel/TransitionEffect.h>
#include <Orv/TimelineEngineModel/Serialization/Json/JsonToTransitionEffectConverter.h>
#include <Orv/TimelineEngineModel/Serialization/Json/TransitionEffectToJsonConverter.h>

#include <gtest/gtest.h>

#include <cstdint>
#include <memory>
#include <string>
#include <vector>

namespace {

using Orv::TimelineEngineModel::EffectType;
using Orv::TimelineEngineModel::TransitionEffect;
using namespace Orv::TimelineEngineModel::Serialization::Json;
using namespace Orv::Testing;

const TransitionEffectToJsonConverter writer;
const JsonToTransitionEffectConverter reader;

// ---- Writer -------------------------------------------------------------------

TEST(TransitionEffectWriterTest, WritesTheKeysThatAreSet) {
    struct Case {
        TransitionEffect effect;
        std::string json;
    };
    const Case cases[] = {
        {TransitionEffect(), "{}"},
        {TransitionEffect(EffectType::Mix, 0, 25, ""), R"({"fxType":"Mix","duration":"25"})"},
        {TransitionEffect(EffectType::Unknown, 0, 0, "cfg"), R"({"config":"cfg"})"},
        {TransitionEffect(EffectType::Cut, -4, 1, "c"), R"({"fxType":"Cut","offset":"-4","duration":"1","config":"c"})"},
        {TransitionEffect(EffectType::Unknown, INT64_MIN, INT64_MAX, ""),
         R"({"offset":"-9223372036854775808","duration":"9223372036854775807"})"},
        {TransitionEffect(EffectType::Unknown, 0, 0, "{\"a\":\"\\\"}\r\x02\xe2\x82\xac"),
         "{\"config\":\"{\\\"a\\\":\\\"\\\\\\\"}\\r\\u0002\xe2\x82\xac\"}"},
        {TransitionEffect(EffectType::Unknown, 0, 0, std::string("x\0y", 3)), R"({"config":"x"})"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.json);
        const Written lvalue = Write(writer, c.effect);
        EXPECT_TRUE(lvalue.result) << lvalue.result.ErrorMessage();
        EXPECT_EQ(lvalue.text, c.json);

        TransitionEffect copy = c.effect;
        Stringer stringer;
        EXPECT_TRUE(writer.To(std::move(copy), stringer));
        EXPECT_EQ(stringer.ToString(), c.json);
        EXPECT_EQ(copy, c.effect);
    }
}

TEST(TransitionEffectWriterTest, AppendAddsTheMembersAfterAnItemsOwnKeys) {
    Stringer stringer;
    stringer.Object().Key("_type").Value("FxVideoTransitionItem").Key("id").Value("t7");
    writer.Append(stringer, TransitionEffect(EffectType::Mix, 0, 25, ""));
    EXPECT_EQ(stringer.Depth(), 1u);
    writer.Append(stringer, TransitionEffect());  // adds nothing
    stringer.CloseObject();
    EXPECT_EQ(stringer.ToString(), R"({"_type":"FxVideoTransitionItem","id":"t7","fxType":"Mix","duration":"25"})");
}

TEST(TransitionEffectWriterTest, StringerFailureClosesTheObject) {
    const TransitionEffect effect(EffectType::Cut, 3, 25, "cfg");
    struct Case {
        const char* lastAccepted;
        const char* json;
    };
    const Case cases[] = {
        {R"("fxType":"Cut")", R"({"fxType":"Cut"})"},
        {R"("offset":"3","duration":)", R"({"fxType":"Cut","offset":"3"})"},
        {R"("duration":"25")", R"({"fxType":"Cut","offset":"3","duration":"25"})"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.lastAccepted);
        std::size_t limit = 0;
        const Written written = WriteCutAfter(writer, effect, c.lastAccepted, limit);
        EXPECT_FALSE(written.result);
        EXPECT_EQ(written.result.ErrorMessage(), LimitMessage(limit));
        EXPECT_EQ(written.text, c.json);
    }
}

TEST(TransitionEffectWriterTest, RefusedObjectWritesNothing) {
    Stringer stringer;
    stringer.Object();
    const Result result = writer.To(TransitionEffect(EffectType::Mix, 0, 0, ""), stringer);
    EXPECT_FALSE(result);
    EXPECT_EQ(result.ErrorMessage(), ValueWhereKeyIsDueMessage());
    EXPECT_EQ(stringer.ToString(), "{");
}

// ---- Reader -------------------------------------------------------------------

TEST(TransitionEffectReaderTest, ReadsTheEffectKeysAmongAnItemsKeys) {
    const Json::Value json =
        Parse(R"({"_type":"FxVideoTransitionItem","id":"t7","fxType":"Mix","offset":"-2","duration":"25","config":"c"})");
    const TransitionEffect expected(EffectType::Mix, -2, 25, "c");

    TransitionEffect byReference;
    EXPECT_TRUE(reader.To(json, byReference));
    EXPECT_EQ(byReference, expected);

    auto pointer = std::make_unique<TransitionEffect>();
    const TransitionEffect* const held = pointer.get();
    EXPECT_TRUE(reader.To(json, pointer));
    EXPECT_EQ(pointer.get(), held);
    EXPECT_EQ(*pointer, expected);

    auto viaRvalue = std::make_unique<TransitionEffect>();
    EXPECT_TRUE(reader.To(Json::Value(json), viaRvalue));
    EXPECT_EQ(*viaRvalue, expected);
}

TEST(TransitionEffectReaderTest, FxTypeTextIsAssignedAsToEffectTypeGivesIt) {
    struct Case {
        const char* text;
        EffectType type;
    };
    const Case cases[] = {{"Cut", EffectType::Cut}, {"Mix", EffectType::Mix}, {"mix", EffectType::Unknown},
                          {"", EffectType::Unknown}, {"Unknown", EffectType::Unknown}};
    for (const Case& c : cases) {
        SCOPED_TRACE(c.text);
        Json::Value json(Json::objectValue);
        json["fxType"] = c.text;
        TransitionEffect target(EffectType::Cut, 1, 2, "keep");
        if (c.type == EffectType::Cut) {
            target.TransitionEffectType(EffectType::Mix);
        }
        EXPECT_TRUE(reader.To(json, target));
        EXPECT_EQ(target.TransitionEffectType(), c.type);
        EXPECT_EQ(target.Config(), "keep");
    }
}

TEST(TransitionEffectReaderTest, EmptyObjectNullAndNonStringsChangeNothing) {
    const TransitionEffect before(EffectType::Mix, 1, 2, "old");
    std::vector<Json::Value> inputs = {Json::Value(Json::objectValue), Json::Value()};
    for (const Json::Value& value : NonStringValues()) {
        Json::Value input(Json::objectValue);
        for (const char* key : {"fxType", "offset", "duration", "config"}) {
            input[key] = value;
        }
        inputs.push_back(input);
    }
    for (const Json::Value& input : inputs) {
        SCOPED_TRACE(input.toStyledString());
        TransitionEffect target = before;
        EXPECT_TRUE(reader.To(input, target));
        EXPECT_EQ(target, before);
        auto pointer = std::make_unique<TransitionEffect>(before);
        EXPECT_TRUE(reader.To(input, pointer));
        EXPECT_EQ(*pointer, before);
    }
    TransitionEffect cleared = before;
    EXPECT_TRUE(reader.To(Parse(R"({"config":""})"), cleared));
    EXPECT_EQ(cleared, TransitionEffect(EffectType::Mix, 1, 2, ""));
}

TEST(TransitionEffectReaderTest, IntegerTexts) {
    for (const IntegerTextCase& c : IntegerTexts()) {
        Json::Value json(Json::objectValue);
        json["offset"] = c.text;
        TransitionEffect target;
        ExpectReferenceRead(c, [&] { return reader.To(json, target); }, [&] { return target.Offset(); });
        json.removeMember("offset");
        json["duration"] = c.text;
        auto pointer = std::make_unique<TransitionEffect>();
        ExpectPointerRead(c, [&] { return reader.To(json, pointer); }, [&] { return pointer->Duration(); });
    }
}

TEST(TransitionEffectReaderTest, FailureKeepsWhatWasReadBefore) {
    const Json::Value json = Parse(R"({"fxType":"Mix","offset":"abc","duration":"9","config":"new"})");
    const TransitionEffect before(EffectType::Cut, 1, 2, "old");
    const TransitionEffect partial(EffectType::Mix, 1, 2, "old");

    TransitionEffect target = before;
    EXPECT_EQ(MessageOf<std::invalid_argument>([&] { reader.To(json, target); }), "stoll");
    EXPECT_EQ(target, partial);

    auto pointer = std::make_unique<TransitionEffect>(before);
    const TransitionEffect* const held = pointer.get();
    const Result result = reader.To(json, pointer);
    EXPECT_FALSE(result);
    EXPECT_STREQ(result.ErrorMessage(), "stoll");
    EXPECT_EQ(pointer.get(), held);
    EXPECT_EQ(*pointer, partial);
}

TEST(TransitionEffectReaderTest, InputThatIsNeitherObjectNorNullFails) {
    for (const Json::Value& input : {Json::Value(Json::arrayValue), Json::Value("text"), Json::Value(false)}) {
        SCOPED_TRACE(input.toStyledString());
        const std::string message = LookupMessage(input);
        TransitionEffect target;
        EXPECT_EQ(MessageOf([&] { reader.To(input, target); }), message);
        auto pointer = std::make_unique<TransitionEffect>();
        const Result result = reader.To(input, pointer);
        EXPECT_FALSE(result);
        EXPECT_EQ(result.ErrorMessage(), message);
    }
}

TEST(TransitionEffectReaderTest, EmptyPointerFailsOnlyWhenThereIsSomethingToFill) {
    struct Case {
        const char* json;
        bool success;
    };
    const Case cases[] = {
        {"{}", true},
        {"null", true},
        {R"({"offset":5,"fxType":["Mix"],"_type":"FxAudioTransitionItem"})", true},
        {R"({"fxType":"Mix"})", false},
        {R"({"config":""})", false},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.json);
        std::unique_ptr<TransitionEffect> pointer;
        const Result result = reader.To(Parse(c.json), pointer);
        EXPECT_EQ(static_cast<bool>(result), c.success);
        EXPECT_STREQ(result.ErrorMessage(), c.success ? "" : "no transition effect to fill: the target pointer is empty");
        EXPECT_EQ(pointer, nullptr);
    }
}

TEST(TransitionEffectReaderTest, WrittenTextReadsBackEqual) {
    const TransitionEffect effects[] = {
        TransitionEffect(),
        TransitionEffect(EffectType::Cut, INT64_MIN, INT64_MAX, "{\"curve\":\"linear\"}"),
        TransitionEffect(EffectType::Mix, -1, 0, "\\\"\x1f\x80"),
        TransitionEffect(EffectType::Unknown, 7, -7, ""),
    };
    for (const TransitionEffect& effect : effects) {
        const Written written = Write(writer, effect);
        SCOPED_TRACE(written.text);
        TransitionEffect back;
        EXPECT_TRUE(reader.To(Parse(written.text), back));
        EXPECT_EQ(back, effect);
    }
}

}  // namespace
