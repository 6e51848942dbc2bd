#include "Support/ModelBuilders.h"

#include <Orv/Common/Serialization/Result.h>
#include <Orv/TimelineEngineModel/Serialization/Json/JsonToMediaInfoConverter.h>

#include <gtest/gtest.h>

#include <functional>
#include <optional>
#include <regex>
#include <set>
#include <string>
#include <utility>
#include <vector>

namespace {

using namespace Orv::Testing;
using Orv::Common::Serialization::Result;

// A copy of `base` is equal to it, and unequal in both directions once any
// one of `changes` is applied (also when compared as a `Base`).
template <typename T, typename Base = T>
void ExpectEachChangeBreaksEquality(const T& base, const std::vector<std::function<void(T&)>>& changes) {
    for (std::size_t i = 0; i < changes.size(); ++i) {
        SCOPED_TRACE("change " + std::to_string(i));
        T other = base;
        EXPECT_TRUE(base == other);
        changes[i](other);
        EXPECT_FALSE(base == other);
        EXPECT_FALSE(other == base);
        EXPECT_TRUE(base != other);
        EXPECT_TRUE(static_cast<const Base&>(base) != static_cast<const Base&>(other));
    }
}

TEST(IdentifierTest, EmptyIsOneSharedValueAndTextsCompareWhole) {
    EXPECT_EQ(&Identifier::Empty(), &Identifier::Empty());
    EXPECT_TRUE(Identifier::Empty().IsEmpty());
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
    const std::regex uuid("[0-9a-f]{8}-[0-9a-f]{4}-4[0-9a-f]{3}-[89ab][0-9a-f]{3}-[0-9a-f]{12}");
    std::set<std::string> seen;
    for (int i = 0; i < 64; ++i) {
        const std::string text = Identifier::Generate().Value();
        EXPECT_TRUE(std::regex_match(text, uuid)) << text;
        seen.insert(text);
    }
    EXPECT_EQ(seen.size(), 64u);
}

TEST(EffectTypeTest, ToStringAndBack) {
    // "Cut" and "Mix" are written by the transition effect writer tests.
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
    EXPECT_TRUE(Result());
    const std::pair<Result, const char*> failures[] = {
        {Result("stoll"), "stoll"}, {Result(std::string("bad input")), "bad input"}, {Result(static_cast<const char*>(nullptr)), ""}};
    for (const auto& [result, message] : failures) {
        EXPECT_FALSE(result);
        EXPECT_STREQ(result.ErrorMessage(), message);
    }
    // Failures travel in the Result only; the interface's last error stays empty.
    EXPECT_STREQ(Orv::TimelineEngineModel::Serialization::Json::JsonToMediaInfoConverter().GetLastConversionError(), "");
}

TEST(EqualityTest, ValueTypesCompareEveryMember) {
    ExpectEachChangeBreaksEquality(MediaInfo(Identifier("A1"), 1, 2, "L"), {
        [](MediaInfo& m) { m.MediaAssetId(Identifier("A2")); }, [](MediaInfo& m) { m.LimitIn(9); },
        [](MediaInfo& m) { m.LimitDuration(9); }, [](MediaInfo& m) { m.Channels("L "); },
    });
    const TransitionEffect effect(EffectType::Cut, 1, 2, "c");
    EXPECT_TRUE(effect.Clone() == effect);
    ExpectEachChangeBreaksEquality(effect, {
        [](TransitionEffect& e) { e.TransitionEffectType(EffectType::Mix); }, [](TransitionEffect& e) { e.Offset(9); },
        [](TransitionEffect& e) { e.Duration(9); }, [](TransitionEffect& e) { e.Config("c "); },
    });
}

TEST(EqualityTest, ItemsCompareKindAndEveryMember) {
    using Item = MediaSummaryItem;
    ExpectEachChangeBreaksEquality<Item, TrackItem>(*Summary("s1", 0, 0, "m1"), {
        [](Item& i) { i.Id(Identifier("other")); }, [](Item& i) { i.VideoIn(1); }, [](Item& i) { i.VideoDuration(1); },
        [](Item& i) { i.AudioIn(1); }, [](Item& i) { i.AudioDuration(1); }, [](Item& i) { i.MediaAssetId(Identifier()); },
        [](Item& i) { i.MediaVideoIn(1); }, [](Item& i) { i.MediaVideoDuration(1); }, [](Item& i) { i.MediaAudioIn(1); },
        [](Item& i) { i.MediaAudioDuration(1); }, [](Item& i) { i.AudioLevel(1); }, [](Item& i) { i.MonitoringChannel(1); },
    });
    const auto transitionEqualityTakesIdAndEffect = [](auto item) {
        using Transition = decltype(item);
        item.FxTransition(TransitionEffect(EffectType::Mix, 3, 25, "cfg"));
        ExpectEachChangeBreaksEquality<Transition, TrackItem>(item, {
            [](Transition& i) { i.Id(Identifier("t2")); },
            [](Transition& i) { i.FxTransition(TransitionEffect(EffectType::Mix, 3, 26, "cfg")); },
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
    Timeline base = MakeTimeline("tl", "tx", 1500, {"t1"}, {MediaInfo(Identifier("m"), 0, 250, "")});
    base.Tracks()[0].TrackItems().push_back(Summary("i"));
    ExpectEachChangeBreaksEquality(base, {
        [](Timeline& t) { t.Id(Identifier("tl2")); }, [](Timeline& t) { t.TransactionId(Identifier::Empty()); },
        [](Timeline& t) { t.Duration(-1500); }, [](Timeline& t) { t.Tracks()[0].Id(Identifier("t2")); },
        [](Timeline& t) { t.Tracks({}); }, [](Timeline& t) { t.Tracks()[0].TrackItems()[0] = Summary("j"); },
        [](Timeline& t) { t.MediaInfos()[0].Channels("L"); }, [](Timeline& t) { t.MediaInfos().push_back(MediaInfo()); },
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
        for (std::size_t i = 0; i < 2; ++i) {
            EXPECT_EQ(second.TrackItems()[i].get(), first->TrackItems()[i].get());
        }
        first.reset();
        EXPECT_EQ(live, 1);  // still held by the copy
    }
    EXPECT_EQ(live, 0);
}

}  // namespace
