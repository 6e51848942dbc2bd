#include "Support/ModelBuilders.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <memory>
#include <string>
#include <vector>

namespace {

using namespace Orv::Testing;

TEST(TrackItemTest, DefaultsOfEveryKind) {
    const MediaSummaryItem summary;
    EXPECT_EQ(summary.GetType(), TrackItemType::MediaSummary);
    EXPECT_EQ(summary.Id(), Identifier::Empty());
    EXPECT_EQ(summary.MediaAssetId(), Identifier::Empty());
    const int64_t integers[] = {summary.VideoIn(),           summary.VideoDuration(),      summary.AudioIn(),
                                summary.AudioDuration(),     summary.MediaVideoIn(),       summary.MediaVideoDuration(),
                                summary.MediaAudioIn(),      summary.MediaAudioDuration(), summary.AudioLevel(),
                                summary.MonitoringChannel()};
    for (int64_t value : integers) {
        EXPECT_EQ(value, 0);
    }
    EXPECT_TRUE(summary == MediaSummaryItem());
    EXPECT_TRUE(MediaSummaryItem(Identifier("m")) == [] {
        MediaSummaryItem item;
        item.Id(Identifier("m"));
        return item;
    }());

    const FxAudioTransitionItem audio(Identifier("a"));
    const FxVideoTransitionItem video;
    EXPECT_EQ(audio.GetType(), TrackItemType::FxAudioTransition);
    EXPECT_EQ(audio.Id(), Identifier("a"));
    EXPECT_EQ(audio.FxTransition(), TransitionEffect());
    EXPECT_EQ(video.GetType(), TrackItemType::FxVideoTransition);
    EXPECT_EQ(video.Id(), Identifier::Empty());
    EXPECT_EQ(video.FxTransition(), TransitionEffect());

    const UnknownItem unknown;
    EXPECT_EQ(unknown.GetType(), TrackItemType::Unknown);
    EXPECT_EQ(unknown.Id(), Identifier::Empty());
}

TEST(TrackItemTest, MediaSummaryEqualityTakesEveryMember) {
    // One setter per member; each makes a copy unequal, also through the base class.
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
    // Setters keep negative and extreme values as given.
    MediaSummaryItem extreme;
    extreme.VideoDuration(-5);
    extreme.MonitoringChannel(INT64_MIN);
    EXPECT_EQ(extreme.VideoDuration(), -5);
    EXPECT_EQ(extreme.MonitoringChannel(), INT64_MIN);
}

TEST(TrackItemTest, TransitionEqualityTakesIdentifierKindAndEveryEffectMember) {
    using Item = FxVideoTransitionItem;
    ExpectEachChangeBreaksEquality(*Transition<Item>("t1", TransitionEffect(EffectType::Mix, 3, 25, "cfg")), {
        {"id", [](Item& i) { i.Id(Identifier("t2")); }},
        {"type", [](Item& i) { i.FxTransition(TransitionEffect(EffectType::Cut, 3, 25, "cfg")); }},
        {"offset", [](Item& i) { i.FxTransition(TransitionEffect(EffectType::Mix, 4, 25, "cfg")); }},
        {"duration", [](Item& i) { i.FxTransition(TransitionEffect(EffectType::Mix, 3, 26, "cfg")); }},
        {"config", [](Item& i) { i.FxTransition(TransitionEffect(EffectType::Mix, 3, 25, "cfh")); }},
    });
}

TEST(TrackItemTest, ItemsOfDifferentKindsAreNeverEqual) {
    const TransitionEffect effect(EffectType::Cut, 0, 10, "");
    FxAudioTransitionItem audio(Identifier("x"));
    FxVideoTransitionItem video(Identifier("x"));
    audio.FxTransition(effect);
    video.FxTransition(effect);
    const MediaSummaryItem summary(Identifier("x"));
    const UnknownItem unknown(Identifier("x"));
    const std::vector<const TrackItem*> items = {&audio, &video, &summary, &unknown};
    for (std::size_t i = 0; i < items.size(); ++i) {
        for (std::size_t j = 0; j < items.size(); ++j) {
            SCOPED_TRACE(std::to_string(i) + " vs " + std::to_string(j));
            EXPECT_EQ(*items[i] == *items[j], i == j);
        }
    }
    EXPECT_TRUE(unknown == UnknownItem(Identifier("x")));
    EXPECT_FALSE(unknown == UnknownItem(Identifier("y")));
}

TEST(TrackItemTest, FxTransitionStoresACopy) {
    TransitionEffect effect(EffectType::Mix, 1, 2, "before");
    FxAudioTransitionItem item;
    item.FxTransition(effect);
    effect.Config("after");
    effect.Duration(99);
    EXPECT_EQ(item.FxTransition(), TransitionEffect(EffectType::Mix, 1, 2, "before"));

    // Copies of items are independent values.
    FxAudioTransitionItem copy = item;
    copy.FxTransition(effect);
    EXPECT_EQ(item.FxTransition().Config(), "before");
    EXPECT_TRUE(item != copy);
}

TEST(TrackItemTest, ChangingTheIdentifierBreaksEquality) {
    std::unique_ptr<TrackItem> lhs = std::make_unique<FxAudioTransitionItem>(Identifier("same"));
    std::unique_ptr<TrackItem> rhs = std::make_unique<FxAudioTransitionItem>(Identifier("same"));
    EXPECT_TRUE(*lhs == *rhs);
    rhs->Id(Identifier("same "));  // through the virtual setter
    EXPECT_EQ(rhs->Id(), Identifier("same "));
    EXPECT_FALSE(*lhs == *rhs);
}

}  // namespace
