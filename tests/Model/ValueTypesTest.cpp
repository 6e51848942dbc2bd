#include "Support/ModelBuilders.h"

#include <Orv/BusinessEntityModel/BaseTypes/Identifier.h>
#include <Orv/Common/Serialization/Result.h>
#include <Orv/TimelineEngineModel/EffectType.h>
#include <Orv/TimelineEngineModel/MediaInfo.h>
#include <Orv/TimelineEngineModel/TransitionEffect.h>
#include <Orv/TimelineEngineModel/Serialization/Json/JsonToMediaInfoConverter.h>
#include <Orv/TimelineEngineModel/Serialization/Json/JsonToTimelineConverter.h>
#include <Orv/TimelineEngineModel/Serialization/Json/MediaInfoToJsonConverter.h>

#include <gtest/gtest.h>
#include <json/value.h>

#include <cstdint>
#include <limits>
#include <memory>
#include <set>
#include <string>
#include <vector>

namespace {

using Orv::BusinessEntityModel::BaseTypes::Identifier;
using Orv::Common::Serialization::Result;
using namespace Orv::TimelineEngineModel;
using namespace Orv::TimelineEngineModel::Serialization::Json;
using Orv::Testing::ExpectEachChangeBreaksEquality;

// ---- Identifier -------------------------------------------------------------

TEST(IdentifierTest, EmptyIsOneSharedEmptyValue) {
    EXPECT_EQ(&Identifier::Empty(), &Identifier::Empty());
    EXPECT_EQ(Identifier::Empty().Value(), "");
    EXPECT_TRUE(Identifier::Empty().IsEmpty());
    EXPECT_EQ(Identifier(), Identifier::Empty());
    EXPECT_EQ(Identifier(std::string()), Identifier::Empty());
    EXPECT_NE(Identifier("a"), Identifier::Empty());
    EXPECT_FALSE(Identifier(" ").IsEmpty());
}

TEST(IdentifierTest, ComparesByWholeText) {
    struct Case {
        std::string lhs, rhs;
        bool equal;
    };
    const Case cases[] = {
        {"abc", "abc", true},      {"abc", "ab", false},  {"ab", "abc", false},
        {"abc", "ABC", false},     {" ", "", false},      {std::string("a\0b", 3), std::string("a\0c", 3), false},
        {std::string("a\0", 2), "a", false},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.lhs + " vs " + c.rhs);
        EXPECT_EQ(Identifier(c.lhs) == Identifier(c.rhs), c.equal);
        EXPECT_EQ(Identifier(c.lhs) != Identifier(c.rhs), !c.equal);
    }
    const Identifier original("x-1");
    EXPECT_EQ(static_cast<std::string>(original), "x-1");
    Identifier moved(Identifier("x-1"));
    EXPECT_EQ(moved, original);
}

TEST(IdentifierTest, GenerateGivesDistinctLowercaseVersion4Uuids) {
    std::set<std::string> seen;
    for (int i = 0; i < 64; ++i) {
        const std::string text = Identifier::Generate().Value();
        ASSERT_EQ(text.size(), 36u) << text;
        for (std::size_t p = 0; p < text.size(); ++p) {
            if (p == 8 || p == 13 || p == 18 || p == 23) {
                EXPECT_EQ(text[p], '-') << text;
            } else {
                EXPECT_TRUE((text[p] >= '0' && text[p] <= '9') || (text[p] >= 'a' && text[p] <= 'f')) << text;
            }
        }
        EXPECT_EQ(text[14], '4') << text;                                // version
        EXPECT_NE(std::string("89ab").find(text[19]), std::string::npos) << text;  // variant
        seen.insert(text);
    }
    EXPECT_EQ(seen.size(), 64u);
}

// ---- MediaInfo ----------------------------------------------------------------

TEST(MediaInfoTest, EqualityComparesEveryMember) {
    EXPECT_TRUE(MediaInfo() == MediaInfo(Identifier::Empty(), 0, 0, ""));  // the defaults
    EXPECT_TRUE(MediaInfo(Identifier("A1"), 1, 2, "L") == MediaInfo(Identifier("A1"), 1, 2, "L"));
    ExpectEachChangeBreaksEquality(MediaInfo(Identifier("A1"), 1, 2, "L"), {
        {"mediaAssetId", [](MediaInfo& m) { m.MediaAssetId(Identifier("A2")); }},
        {"limitIn", [](MediaInfo& m) { m.LimitIn(9); }},
        {"limitDuration", [](MediaInfo& m) { m.LimitDuration(9); }},
        {"channels", [](MediaInfo& m) { m.Channels("R"); }},
    });
}

// ---- TransitionEffect -------------------------------------------------------------

TEST(TransitionEffectTest, EqualityComparesEveryMember) {
    EXPECT_TRUE(TransitionEffect() == TransitionEffect(EffectType::Unknown, 0, 0, ""));  // the defaults
    const TransitionEffect base(EffectType::Cut, 1, 2, "c");
    EXPECT_TRUE(base.Clone() == base);
    EXPECT_TRUE(base == TransitionEffect(EffectType::Cut, 1, 2, "c"));
    ExpectEachChangeBreaksEquality(base, {
        {"type", [](TransitionEffect& e) { e.TransitionEffectType(EffectType::Mix); }},
        {"offset", [](TransitionEffect& e) { e.Offset(9); }},
        {"duration", [](TransitionEffect& e) { e.Duration(9); }},
        {"config", [](TransitionEffect& e) { e.Config("d"); }},
        {"config with a space", [](TransitionEffect& e) { e.Config("c "); }},
    });
}

// ---- EffectType texts ----------------------------------------------------------

TEST(EffectTypeTest, ToStringAndBack) {
    EXPECT_EQ(ToString(EffectType::Cut), "Cut");
    EXPECT_EQ(ToString(EffectType::Mix), "Mix");
    EXPECT_EQ(ToString(EffectType::Unknown), "Unknown");
    EXPECT_EQ(&ToString(EffectType::Mix), &ToString(EffectType::Mix));  // a lasting text

    struct Case {
        std::string text;
        EffectType type;
    };
    const Case cases[] = {
        {"Cut", EffectType::Cut},       {"Mix", EffectType::Mix},      {"Unknown", EffectType::Unknown},
        {"cut", EffectType::Unknown},   {"MIX", EffectType::Unknown},  {"Cut ", EffectType::Unknown},
        {" Mix", EffectType::Unknown},  {"", EffectType::Unknown},     {"Cu", EffectType::Unknown},
        {std::string("Cut\0", 4), EffectType::Unknown},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.text);
        EXPECT_EQ(ToEffectType(c.text), c.type);
    }
}

// ---- Result and the converter frame -------------------------------------------

TEST(ResultTest, SuccessAndFailureForms) {
    const Result success;
    EXPECT_TRUE(success);
    EXPECT_STREQ(success.ErrorMessage(), "");

    const Result fromText("stoll");
    EXPECT_FALSE(fromText);
    EXPECT_STREQ(fromText.ErrorMessage(), "stoll");

    const Result fromString(std::string("bad input"));
    EXPECT_FALSE(fromString);
    EXPECT_STREQ(fromString.ErrorMessage(), "bad input");

    Result copy = fromText;
    EXPECT_FALSE(copy);
    EXPECT_STREQ(copy.ErrorMessage(), "stoll");
    copy = success;
    EXPECT_TRUE(copy);
    EXPECT_STREQ(copy.ErrorMessage(), "");
}

TEST(ConverterFrameTest, GetLastConversionErrorIsAlwaysEmpty) {
    const JsonToMediaInfoConverter reader;
    EXPECT_STREQ(reader.GetLastConversionError(), "");
    auto target = std::make_unique<MediaInfo>();
    Json::Value input(Json::objectValue);
    input["limitIn"] = "abc";
    const Result failed = reader.To(input, target);
    EXPECT_FALSE(failed);
    EXPECT_STREQ(failed.ErrorMessage(), "stoll");
    EXPECT_STREQ(reader.GetLastConversionError(), "");

    const JsonToTimelineConverter timelineReader;
    std::unique_ptr<Timeline> timeline;
    EXPECT_FALSE(timelineReader.To(Json::Value(Json::arrayValue), timeline));
    EXPECT_STREQ(timelineReader.GetLastConversionError(), "");

    // Through the interface, too.
    const MediaInfoToJsonConverter writer;
    const Orv::Common::Serialization::Converter<MediaInfo, Orv::Common::Serialization::Json::Stringer>& base = writer;
    EXPECT_STREQ(base.GetLastConversionError(), "");
}

}  // namespace
