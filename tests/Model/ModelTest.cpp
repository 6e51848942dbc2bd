#include "Support/ModelBuilders.h"

#include <Orv/Common/Serialization/Result.h>
#include <Orv/TimelineEngineModel/Serialization/Json/JsonToMediaInfoConverter.h>

#include <gtest/gtest.h>

#include <functional>
#include <optional>
#include <set>
#include <string>
#include <utility>
#include <vector>

namespace {

using namespace Orv::Testing;
using Orv::Common::Serialization::Result;

// A copy of `base` is equal to it, and unequal in both directions once any
// one of the named `changes` is applied (also when compared as a `Base`).
template <typename T, typename Base = T>
void ExpectEachChangeBreaksEquality(const T& base,
                                    const std::vector<std::pair<const char*, std::function<void(T&)>>>& changes) {
    for (const auto& [name, change] : changes) {
        SCOPED_TRACE(name);
        T other = base;
        EXPECT_TRUE(base == other);
        change(other);
        EXPECT_FALSE(base == other);
        EXPECT_FALSE(other == base);
        EXPECT_TRUE(base != other);
        EXPECT_TRUE(static_cast<const Base&>(base) != static_cast<const Base&>(other));
    }
}

TEST(IdentifierTest, EmptyIsOneSharedValueAndTextsCompareWhole) {
    EXPECT_EQ(&Identifier::Empty(), &Identifier::Empty());
    EXPECT_TRUE(Identifier::Empty().IsEmpty());
    EXPECT_EQ(Identifier(std::string()), Identifier::Empty());
    EXPECT_FALSE(Identifier(" ").IsEmpty());
    EXPECT_EQ(static_cast<std::string>(Identifier("x-1")), "x-1");
    const std::tuple<std::string, std::string, bool> cases[] = {
        {"abc", "abc", true}, {"abc", "ab", false}, {"ab", "abc", false}, {"abc", "ABC", false}, {" ", "", false},
        {std::string("a\0b", 3), std::string("a\0c", 3), false},        {std::string("a\0", 2), "a", false},
    };
    for (const auto& [lhs, rhs, equal] : cases) {
        SCOPED_TRACE(lhs + " vs " + rhs);
        EXPECT_EQ(Identifier(lhs) == Identifier(rhs), equal);
        EXPECT_EQ(Identifier(lhs) != Identifier(rhs), !equal);
    }
}

TEST(IdentifierTest, GenerateGivesDistinctLowercaseVersion4Uuids) {
    std::set<std::string> seen;
    for (int i = 0; i < 64; ++i) {
        const std::string text = Identifier::Generate().Value();
        ASSERT_EQ(text.size(), 36u) << text;
        for (std::size_t p = 0; p < text.size(); ++p) {
            const bool dash = p == 8 || p == 13 || p == 18 || p == 23;
            EXPECT_EQ(dash, text[p] == '-') << text;
            EXPECT_TRUE(dash || (text[p] >= '0' && text[p] <= '9') || (text[p] >= 'a' && text[p] <= 'f')) << text;
        }
        EXPECT_EQ(text[14], '4') << text;                                          // version
        EXPECT_NE(std::string("89ab").find(text[19]), std::string::npos) << text;  // variant
        seen.insert(text);
    }
    EXPECT_EQ(seen.size(), 64u);
}

TEST(EffectTypeTest, ToStringAndBack) {
    EXPECT_EQ(ToString(EffectType::Cut), "Cut");
    EXPECT_EQ(ToString(EffectType::Mix), "Mix");
    EXPECT_EQ(ToString(EffectType::Unknown), "Unknown");
    EXPECT_EQ(ToString(static_cast<EffectType>(7)), "Unknown");
    const std::pair<std::string, EffectType> cases[] = {
        {"Cut", EffectType::Cut},      {"Mix", EffectType::Mix},     {"Unknown", EffectType::Unknown},
        {"cut", EffectType::Unknown},  {"MIX", EffectType::Unknown}, {"Cut ", EffectType::Unknown},
        {" Mix", EffectType::Unknown}, {"", EffectType::Unknown},    {std::string("Cut\0", 4), EffectType::Unknown},
    };
    for (const auto& [text, type] : cases) {
        EXPECT_EQ(ToEffectType(text), type) << text;
    }
}

TEST(ResultTest, CarriesTheFailureText) {
    const std::pair<Result, const char*> cases[] = {
        {Result(), ""}, {Result("stoll"), "stoll"}, {Result(std::string("bad input")), "bad input"},
        {Result(static_cast<const char*>(nullptr)), ""},
    };
    for (const auto& [result, message] : cases) {
        EXPECT_EQ(static_cast<bool>(result), &result == &cases[0].first);
        EXPECT_STREQ(result.ErrorMessage(), message);
    }
    // Failures travel in the Result only; the interface's last error stays empty.
    EXPECT_STREQ(Orv::TimelineEngineModel::Serialization::Json::JsonToMediaInfoConverter().GetLastConversionError(), "");
}

TEST(EqualityTest, ValueTypesCompareEveryMember) {
    EXPECT_TRUE(MediaInfo() == MediaInfo(Identifier::Empty(), 0, 0, ""));
    ExpectEachChangeBreaksEquality(MediaInfo(Identifier("A1"), 1, 2, "L"), {
        {"mediaAssetId", [](MediaInfo& m) { m.MediaAssetId(Identifier("A2")); }},
        {"limitIn", [](MediaInfo& m) { m.LimitIn(9); }},
        {"limitDuration", [](MediaInfo& m) { m.LimitDuration(9); }},
        {"channels", [](MediaInfo& m) { m.Channels("L "); }},
    });
    const TransitionEffect effect(EffectType::Cut, 1, 2, "c");
    EXPECT_TRUE(TransitionEffect() == TransitionEffect(EffectType::Unknown, 0, 0, ""));
    EXPECT_TRUE(effect.Clone() == effect);
    ExpectEachChangeBreaksEquality(effect, {
        {"type", [](TransitionEffect& e) { e.TransitionEffectType(EffectType::Mix); }},
        {"offset", [](TransitionEffect& e) { e.Offset(9); }},
        {"duration", [](TransitionEffect& e) { e.Duration(9); }},
        {"config", [](TransitionEffect& e) { e.Config("c "); }},
    });
}

TEST(EqualityTest, ItemsCompareKindAndEveryMember) {
    ExpectEachChangeBreaksEquality<MediaSummaryItem, TrackItem>(*Summary("s1", 0, 0, "m1"), {
        {"id", [](MediaSummaryItem& i) { i.Id(Identifier("other")); }},
        {"videoIn", [](MediaSummaryItem& i) { i.VideoIn(1); }},
        {"videoDuration", [](MediaSummaryItem& i) { i.VideoDuration(1); }},
        {"audioIn", [](MediaSummaryItem& i) { i.AudioIn(1); }},
        {"audioDuration", [](MediaSummaryItem& i) { i.AudioDuration(1); }},
        {"mediaAssetId", [](MediaSummaryItem& i) { i.MediaAssetId(Identifier("m2")); }},
        {"mediaVideoIn", [](MediaSummaryItem& i) { i.MediaVideoIn(1); }},
        {"mediaVideoDuration", [](MediaSummaryItem& i) { i.MediaVideoDuration(1); }},
        {"mediaAudioIn", [](MediaSummaryItem& i) { i.MediaAudioIn(1); }},
        {"mediaAudioDuration", [](MediaSummaryItem& i) { i.MediaAudioDuration(1); }},
        {"audioLevel", [](MediaSummaryItem& i) { i.AudioLevel(1); }},
        {"monitoringChannel", [](MediaSummaryItem& i) { i.MonitoringChannel(1); }},
    });
    const auto transitionEqualityTakesIdAndEffect = [](auto item) {
        using Item = decltype(item);
        item.FxTransition(TransitionEffect(EffectType::Mix, 3, 25, "cfg"));
        ExpectEachChangeBreaksEquality<Item, TrackItem>(item, {
            {"id", [](Item& i) { i.Id(Identifier("t2")); }},
            {"effect", [](Item& i) { i.FxTransition(TransitionEffect(EffectType::Mix, 3, 26, "cfg")); }},
        });
    };
    transitionEqualityTakesIdAndEffect(FxAudioTransitionItem(Identifier("t1")));
    transitionEqualityTakesIdAndEffect(FxVideoTransitionItem(Identifier("t1")));
    // Kinds never equal one another, whatever their members.
    FxAudioTransitionItem audio(Identifier("x"));
    FxVideoTransitionItem video(Identifier("x"));
    const MediaSummaryItem summary(Identifier("x"));
    const UnknownItem unknown(Identifier("x"));
    const TrackItem* const items[] = {&audio, &video, &summary, &unknown};
    for (const TrackItem* lhs : items) {
        for (const TrackItem* rhs : items) {
            EXPECT_EQ(*lhs == *rhs, lhs == rhs);
        }
    }
    EXPECT_TRUE(unknown == UnknownItem(Identifier("x")));
    EXPECT_FALSE(unknown == UnknownItem(Identifier("y")));
}

TEST(EqualityTest, TracksCompareEntryByEntry) {
    const auto shared = Summary("s");
    const std::tuple<TrackItemArray, TrackItemArray, bool> cases[] = {
        {{}, {}, true},
        {{shared}, {shared}, true},
        {{Summary("a"), Summary("b")}, {Summary("a"), Summary("b")}, true},
        {{nullptr}, {nullptr}, true},
        {{nullptr}, {Summary("a")}, false},
        {{Summary("a")}, {nullptr}, false},
        {{Summary("a")}, {Summary("b")}, false},
        {{Summary("a"), Summary("b")}, {Summary("b"), Summary("a")}, false},
        {{Summary("a")}, {Summary("a"), Summary("a")}, false},
        {{Summary("a")}, {Audio("a")}, false},
    };
    for (const auto& [lhs, rhs, equal] : cases) {
        EXPECT_EQ(MakeTrack("t", lhs) == MakeTrack("t", rhs), equal);
        EXPECT_EQ(MakeTrack("t", rhs) != MakeTrack("t", lhs), !equal);
    }
    EXPECT_FALSE(Track(Identifier("a")) == Track(Identifier("b")));
}

TEST(EqualityTest, TimelinesCompareEveryMember) {
    Timeline base(Identifier("tl"));
    base.TransactionId(Identifier("tx"));
    base.Duration(1500);
    base.Tracks({MakeTrack("t1", {Summary("i")})});
    base.MediaInfos({MediaInfo(Identifier("m"), 0, 250, "")});
    ExpectEachChangeBreaksEquality(base, {
        {"id", [](Timeline& t) { t.Id(Identifier("tl2")); }},
        {"transactionId", [](Timeline& t) { t.TransactionId(Identifier::Empty()); }},
        {"duration", [](Timeline& t) { t.Duration(-1500); }},
        {"track id", [](Timeline& t) { t.Tracks()[0].Id(Identifier("t2")); }},
        {"extra track", [](Timeline& t) { t.Tracks().push_back(Track()); }},
        {"item replaced", [](Timeline& t) { t.Tracks()[0].TrackItems()[0] = Summary("j"); }},
        {"media info", [](Timeline& t) { t.MediaInfos()[0].Channels("L"); }},
        {"extra media info", [](Timeline& t) { t.MediaInfos().push_back(MediaInfo()); }},
    });
    Timeline other = base;  // items are compared by value, not by address
    other.Tracks()[0].TrackItems()[0] = Summary("i");
    EXPECT_TRUE(base == other);
}

TEST(TrackTest, CopiesShareTheirItems) {
    int live = 0;
    {
        std::optional<Track> first(MakeTrack("t", {std::make_shared<CountedItem>(live), Summary("b")}));
        const Track second = *first;
        Track replaced;
        replaced.TrackItems(first->TrackItems());  // replaces the list, shares the items
        for (std::size_t i = 0; i < 2; ++i) {
            EXPECT_EQ(second.TrackItems()[i].get(), first->TrackItems()[i].get());
            EXPECT_EQ(replaced.TrackItems()[i].get(), first->TrackItems()[i].get());
        }
        first.reset();
        EXPECT_EQ(live, 1);  // still held by the copies
    }
    EXPECT_EQ(live, 0);
}

}  // namespace
