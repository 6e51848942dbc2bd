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

using TransitionEffectConvertersTest = FourKeyEntityTest<TransitionEffectEntity>;

TEST_F(TransitionEffectConvertersTest, FxTypeIsTheEffectTypesText) {
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
