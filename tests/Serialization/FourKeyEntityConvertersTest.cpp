// The media info and the transition effect follow the same rules: four keys (a
// name, two 64-bit integers as text, a text), each left out while it holds its
// default, and read from string members only. The typed tests run every rule on
// both; what differs (the kind of name) follows at the end.

#include "Support/JsonTestHelpers.h"

#include <Orv/TimelineEngineModel/MediaInfo.h>
#include <Orv/TimelineEngineModel/TransitionEffect.h>
#include <Orv/TimelineEngineModel/Serialization/Json/JsonToMediaInfoConverter.h>
#include <Orv/TimelineEngineModel/Serialization/Json/JsonToTransitionEffectConverter.h>
#include <Orv/TimelineEngineModel/Serialization/Json/MediaInfoToJsonConverter.h>
#include <Orv/TimelineEngineModel/Serialization/Json/TransitionEffectToJsonConverter.h>

#include <gtest/gtest.h>

#include <cstdint>
#include <memory>
#include <string>
#include <type_traits>
#include <utility>
#include <vector>

namespace {

using Orv::BusinessEntityModel::BaseTypes::Identifier;
using namespace Orv::TimelineEngineModel;
using namespace Orv::TimelineEngineModel::Serialization::Json;
using namespace Orv::Testing;

// The name is given as text: "", "Cut" and "Mix" mean the same to both
// entities (empty name / Unknown type: left out; otherwise written as given).
struct MediaInfoEntity {
    using Entity = MediaInfo;
    static constexpr const char* name = "MediaInfo";
    static inline const MediaInfoToJsonConverter writer{};
    static inline const JsonToMediaInfoConverter reader{};
    static constexpr const char* keys[4] = {"mediaAssetId", "limitIn", "limitDuration", "channels"};
    static constexpr const char* emptyPointerMessage = "no media info to fill: the target pointer is empty";
    static MediaInfo Make(const std::string& name, int64_t first, int64_t second, const std::string& text) {
        return MediaInfo(Identifier(name), first, second, text);
    }
    static int64_t Integer(const MediaInfo& info, int key) { return key == 1 ? info.LimitIn() : info.LimitDuration(); }
};

struct TransitionEffectEntity {
    using Entity = TransitionEffect;
    static constexpr const char* name = "TransitionEffect";
    static inline const TransitionEffectToJsonConverter writer{};
    static inline const JsonToTransitionEffectConverter reader{};
    static constexpr const char* keys[4] = {"fxType", "offset", "duration", "config"};
    static constexpr const char* emptyPointerMessage = "no transition effect to fill: the target pointer is empty";
    static TransitionEffect Make(const std::string& name, int64_t first, int64_t second, const std::string& text) {
        return TransitionEffect(ToEffectType(name), first, second, text);
    }
    static int64_t Integer(const TransitionEffect& effect, int key) {
        return key == 1 ? effect.Offset() : effect.Duration();
    }
};

template <typename Traits>
class FourKeyEntityTest : public ::testing::Test {
protected:
    using Entity = typename Traits::Entity;
    static constexpr const auto& writer = Traits::writer;
    static constexpr const auto& reader = Traits::reader;

    // `pattern` with $0..$3 replaced by the entity's keys.
    static std::string Keyed(std::string pattern) {
        for (std::size_t at = pattern.find('$'); at != std::string::npos; at = pattern.find('$', at)) {
            const char* key = Traits::keys[pattern[at + 1] - '0'];
            pattern.replace(at, 2, key);
            at += std::string(key).size();
        }
        return pattern;
    }

    // Reads `json` over `before` through the reference form and the pointer
    // form (lvalue and rvalue input): each gives `expected`, and fails with
    // `message` ("" for success); the pointer is filled in place.
    static void ExpectReads(const Json::Value& json, const Entity& before, const Entity& expected,
                            const std::string& message = "") {
        Entity target = before;
        EXPECT_EQ(ThrownBy([&] { return reader.To(json, target); }), message);
        EXPECT_EQ(target, expected);
        for (const bool rvalue : {false, true}) {
            auto pointer = std::make_unique<Entity>(before);
            const Entity* const held = pointer.get();
            ExpectOutcome(rvalue ? reader.To(Json::Value(json), pointer) : reader.To(json, pointer), message);
            EXPECT_EQ(pointer.get(), held);
            EXPECT_EQ(*pointer, expected);
        }
    }
};

struct EntityNames {
    template <typename Traits>
    static std::string GetName(int) {
        return Traits::name;
    }
};

using Entities = ::testing::Types<MediaInfoEntity, TransitionEffectEntity>;
TYPED_TEST_SUITE(FourKeyEntityTest, Entities, EntityNames);

// ---- Writer -------------------------------------------------------------------

TYPED_TEST(FourKeyEntityTest, WritesTheKeysThatAreSetAndReadsThemBack) {
    const std::pair<typename TestFixture::Entity, std::string> cases[] = {
        {{}, "{}"},
        {TypeParam::Make("", 0, 0, "cfg"), R"({"$3":"cfg"})"},
        {TypeParam::Make("Cut", -4, 1, "c"), R"({"$0":"Cut","$1":"-4","$2":"1","$3":"c"})"},
        {TypeParam::Make("Mix", -1, -2, "L,R"), R"({"$0":"Mix","$1":"-1","$2":"-2","$3":"L,R"})"},
        {TypeParam::Make("", 7, -7, ""), R"({"$1":"7","$2":"-7"})"},
        {TypeParam::Make("", INT64_MIN, INT64_MAX, ""), R"({"$1":"-9223372036854775808","$2":"9223372036854775807"})"},
        {TypeParam::Make("Cut", INT64_MIN, INT64_MAX, "{\"curve\":\"linear\"}"),
         R"({"$0":"Cut","$1":"-9223372036854775808","$2":"9223372036854775807","$3":"{\"curve\":\"linear\"}"})"},
        {TypeParam::Make("", 0, 0, "\"q\" \\ / \b\f\n\r\t\x01\x1f\x7f\x80\xff\xc3\xa9"),
         "{\"$3\":\"\\\"q\\\" \\\\ / \\b\\f\\n\\r\\t\\u0001\\u001f\x7f\x80\xff\xc3\xa9\"}"},
        {TypeParam::Make("", 0, 0, "{\"a\":\"\\\"}\r\x02\xe2\x82\xac"),
         "{\"$3\":\"{\\\"a\\\":\\\"\\\\\\\"}\\r\\u0002\xe2\x82\xac\"}"},
        {TypeParam::Make("Mix", -1, 0, "\\\"\x1f\x80"),
         "{\"$0\":\"Mix\",\"$1\":\"-1\",\"$3\":\"\\\\\\\"\\u001f\x80\"}"},
    };
    for (const auto& [entity, pattern] : cases) {
        const std::string json = this->Keyed(pattern);
        SCOPED_TRACE(json);
        ExpectWrites(this->writer, entity, json);
        this->ExpectReads(Parse(json), {}, entity);
    }
    // A NUL ends the text.
    ExpectWrites(this->writer, TypeParam::Make("", 0, 0, std::string("ab\0cd", 5)), this->Keyed(R"({"$3":"ab"})"));
    ExpectWrites(this->writer, TypeParam::Make("", 0, 0, std::string("x\0y", 3)), this->Keyed(R"({"$3":"x"})"));
}

TYPED_TEST(FourKeyEntityTest, AppendAddsToTheOpenObjectAndLeavesItOpen) {
    Stringer stringer;
    stringer.Object().Key("before").Value("1");
    this->writer.Append(stringer, TypeParam::Make("Mix", 3, 0, "C"));
    EXPECT_EQ(stringer.Depth(), 1u);
    this->writer.Append(stringer, typename TestFixture::Entity());  // adds nothing
    stringer.Key("after").Value("2").CloseObject();
    EXPECT_EQ(stringer.ToString(), this->Keyed(R"({"before":"1","$0":"Mix","$1":"3","$3":"C","after":"2"})"));
}

TYPED_TEST(FourKeyEntityTest, StringerFailureClosesTheObject) {
    const auto entity = TypeParam::Make("Cut", 5, 250, "C");
    const char* const cases[][2] = {
        {"{", "{}"},                                               // the first key refused
        {R"("$0":"Cut")", R"({"$0":"Cut"})"},                      // a key refused
        {R"("$1":"5")", R"({"$0":"Cut","$1":"5"})"},               // a key refused
        {R"("$1":"5","$2":)", R"({"$0":"Cut","$1":"5"})"},         // a value refused: its key is dropped
        {R"("$2":"250")", R"({"$0":"Cut","$1":"5","$2":"250"})"},  // the last key refused
    };
    for (const auto& c : cases) {
        ExpectCutAfter(this->writer, entity, this->Keyed(c[0]), this->Keyed(c[1]));
    }
    ExpectRefusedWhereKeyIsDue(this->writer, TypeParam::Make("Mix", 0, 0, ""));
}

// ---- Reader -------------------------------------------------------------------

TYPED_TEST(FourKeyEntityTest, ReadsStringMembersOnlyAndIgnoresOtherKeys) {
    const auto before = TypeParam::Make("Mix", 1, 2, "old");
    std::vector<std::pair<Json::Value, typename TestFixture::Entity>> cases = {
        {Parse(this->Keyed(R"({"_type":"FxVideoTransitionItem","id":"t7","$0":"Cut","$1":"-2","$2":"25","$3":"c"})")),
         TypeParam::Make("Cut", -2, 25, "c")},
        {Parse(this->Keyed(R"({"$0":"","$3":""})")), TypeParam::Make("", 1, 2, "")},  // empty strings clear
        {Json::Value(Json::objectValue), before},
        {Json::Value(), before},
    };
    for (const Json::Value& value : NonStringValues()) {
        Json::Value input(Json::objectValue);
        for (const char* key : TypeParam::keys) {
            input[key] = value;
        }
        cases.emplace_back(input, before);
    }
    for (const auto& [json, expected] : cases) {
        SCOPED_TRACE(json.toStyledString());
        this->ExpectReads(json, before, expected);
    }
}

TYPED_TEST(FourKeyEntityTest, IntegerTexts) {
    for (int key : {1, 2}) {
        for (const IntegerTextCase& c : IntegerTexts()) {
            SCOPED_TRACE(TypeParam::keys[key]);
            Json::Value json(Json::objectValue);
            json[TypeParam::keys[key]] = c.text;
            typename TestFixture::Entity target;
            ExpectReferenceRead(c, [&] { return this->reader.To(json, target); },
                                [&] { return TypeParam::Integer(target, key); });
            auto pointer = std::make_unique<typename TestFixture::Entity>();
            ExpectPointerRead(c, [&] { return this->reader.To(json, pointer); },
                              [&] { return TypeParam::Integer(*pointer, key); });
        }
    }
}

TYPED_TEST(FourKeyEntityTest, FailureKeepsWhatWasReadBefore) {
    const auto before = TypeParam::Make("Cut", 1, 2, "old");
    this->ExpectReads(Parse(this->Keyed(R"({"$0":"Mix","$1":"abc","$2":"9","$3":"new"})")), before,
                      TypeParam::Make("Mix", 1, 2, "old"), "stoll");
    this->ExpectReads(Parse(this->Keyed(R"({"$0":"Mix","$1":"7","$2":"x","$3":"new"})")), before,
                      TypeParam::Make("Mix", 7, 2, "old"), "stoll");
    for (const Json::Value& input : NonObjectValues()) {  // neither object nor null
        SCOPED_TRACE(input.toStyledString());
        this->ExpectReads(input, before, before, LookupMessage(input));
    }
}

TYPED_TEST(FourKeyEntityTest, EmptyPointerFailsOnlyWhenThereIsSomethingToFill) {
    const std::pair<const char*, bool> cases[] = {
        {"{}", true},           {"null", true}, {R"({"$1":5,"$0":["Mix"],"$3":null,"other":"x"})", true},
        {R"({"$0":"Mix"})", false}, {R"({"$3":""})", false}, {R"({"$3":"C"})", false}, {R"({"$2":"abc"})", false},
    };
    for (const auto& [json, success] : cases) {
        SCOPED_TRACE(json);
        std::unique_ptr<typename TestFixture::Entity> pointer;
        const std::string message = success ? "" : TypeParam::emptyPointerMessage;
        ExpectOutcome(this->reader.To(Parse(this->Keyed(json)), pointer), message);
        EXPECT_EQ(pointer, nullptr);
    }
}

// ---- What differs -------------------------------------------------------------

using MediaInfoConvertersTest = FourKeyEntityTest<MediaInfoEntity>;

TEST_F(MediaInfoConvertersTest, NameIsAnIdentifierWrittenAndReadAsGiven) {
    const std::pair<MediaInfo, std::string> cases[] = {
        {MediaInfo(Identifier("A1"), 0, 250, ""), R"({"mediaAssetId":"A1","limitDuration":"250"})"},
        {MediaInfo(Identifier(" "), INT64_MIN, INT64_MAX, "L,R"),
         R"({"mediaAssetId":" ","limitIn":"-9223372036854775808","limitDuration":"9223372036854775807",)"
         R"("channels":"L,R"})"},
        {MediaInfo(Identifier("\"\\\x01\xff"), -1, -2, "\n\t\x7f\xc3\xa9"),
         "{\"mediaAssetId\":\"\\\"\\\\\\u0001\xff\",\"limitIn\":\"-1\",\"limitDuration\":\"-2\","
         "\"channels\":\"\\n\\t\x7f\xc3\xa9\"}"},
    };
    for (const auto& [info, json] : cases) {
        SCOPED_TRACE(json);
        ExpectWrites(writer, info, json);
        ExpectReads(Parse(json), {}, info);
    }
    ExpectWrites(writer, MediaInfo(Identifier(std::string("\0x", 2)), 0, 0, ""), R"({"mediaAssetId":""})");
}

using TransitionEffectConvertersTest = FourKeyEntityTest<TransitionEffectEntity>;

TEST_F(TransitionEffectConvertersTest, FxTypeIsTheEffectTypesText) {
    const TransitionEffect mix25(EffectType::Mix, 0, 25, "");
    ExpectWrites(writer, mix25, R"({"fxType":"Mix","duration":"25"})");
    ExpectReads(Parse(R"({"fxType":"Mix","duration":"25"})"), {}, mix25);
    const std::pair<const char*, EffectType> cases[] = {{"Cut", EffectType::Cut}, {"Mix", EffectType::Mix},
                                                         {"mix", EffectType::Unknown}, {"", EffectType::Unknown},
                                                         {"Unknown", EffectType::Unknown}};
    for (const auto& [text, type] : cases) {
        SCOPED_TRACE(text);
        Json::Value input(Json::objectValue);
        input["fxType"] = text;
        const EffectType other = type == EffectType::Cut ? EffectType::Mix : EffectType::Cut;
        ExpectReads(input, TransitionEffect(other, 1, 2, "keep"), TransitionEffect(type, 1, 2, "keep"));
    }
}

}  // namespace
