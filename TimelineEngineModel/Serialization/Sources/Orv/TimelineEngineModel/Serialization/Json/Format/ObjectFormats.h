#pragma once

// The document's format: one table per object, each member in written
// order with its key, codec, omission rule, reading position and accessor
// (Member.h). Everything that writes, reads, checks or compares the
// document takes its members from here.
//
// What differs between objects beyond their tables are a few named rules:
//  - an item's "id" is read last, after its kind's members (its reading
//    position), so a failing member leaves the item without its id;
//  - a track's "type" is written but never read (NotRead);
//  - a transition's effect is read whole and stored only when all of it was
//    read (InlineCodec);
//  - a failing track or media info ends the timeline's read and is dropped,
//    a failing item is kept and the track's read goes on (ObjectListCodec,
//    ItemListCodec).

#include <Orv/TimelineEngineModel/FxAudioTransitionItem.h>
#include <Orv/TimelineEngineModel/FxVideoTransitionItem.h>
#include <Orv/TimelineEngineModel/MediaInfo.h>
#include <Orv/TimelineEngineModel/MediaSummaryItem.h>
#include <Orv/TimelineEngineModel/Serialization/Json/Properties/TimelineProperties.h>
#include <Orv/TimelineEngineModel/Serialization/Json/Properties/TrackProperties.h>
#include <Orv/TimelineEngineModel/Timeline.h>
#include <Orv/TimelineEngineModel/Track.h>
#include <Orv/TimelineEngineModel/TransitionEffect.h>

#include "Codecs.h"
#include "Member.h"

#include <tuple>

namespace Orv::TimelineEngineModel::Serialization::Json::Detail {

template <typename T>
struct FormatOf;

inline constexpr auto Ignore = [](auto&, auto&&) {};
inline constexpr char ItemKindKey[] = "_type";
// A document may name its JSON Schema at its root, for editors; no reader
// reads it, and the checker does not report it.
inline constexpr std::string_view SchemaKey = "$schema";
inline constexpr char ItemIdKey[] = "id";

// A track item class and the "_type" name that stands for it.
template <typename ItemClass, TrackItemType Type, const char* Name>
struct ItemKind {
    using Item = ItemClass;
    static constexpr TrackItemType type = Type;
    static constexpr const char* name = Name;
};

inline constexpr char MediaSummaryItemName[] = "MediaSummaryItem";
inline constexpr char FxAudioTransitionItemName[] = "FxAudioTransitionItem";
inline constexpr char FxVideoTransitionItemName[] = "FxVideoTransitionItem";
using ItemKinds = std::tuple<ItemKind<MediaSummaryItem, TrackItemType::MediaSummary, MediaSummaryItemName>,
                             ItemKind<FxAudioTransitionItem, TrackItemType::FxAudioTransition, FxAudioTransitionItemName>,
                             ItemKind<FxVideoTransitionItem, TrackItemType::FxVideoTransition, FxVideoTransitionItemName>>;

// "_type", first of an item's members.
template <const char* Name>
constexpr auto KindMember() {
    return MakeMember<KindCodec, 0, Omit::Never>(ItemKindKey, [](const auto&) { return Name; }, Ignore);
}

inline constexpr auto MediaInfoFormat = std::make_tuple(
    ORV_FORMAT_MEMBER(IdentifierCodec, 0, "mediaAssetId", MediaAssetId, Omit::WhenDefault),
    ORV_FORMAT_MEMBER(IntegerCodec, 1, "limitIn", LimitIn, Omit::WhenDefault),
    ORV_FORMAT_MEMBER(IntegerCodec, 2, "limitDuration", LimitDuration, Omit::WhenDefault),
    ORV_FORMAT_MEMBER(TextCodec, 3, "channels", Channels, Omit::WhenDefault));

inline constexpr auto TransitionEffectFormat = std::make_tuple(
    ORV_FORMAT_MEMBER(EffectTypeCodec, 0, "fxType", TransitionEffectType, Omit::WhenDefault),
    ORV_FORMAT_MEMBER(IntegerCodec, 1, "offset", Offset, Omit::WhenDefault),
    ORV_FORMAT_MEMBER(IntegerCodec, 2, "duration", Duration, Omit::WhenDefault),
    ORV_FORMAT_MEMBER(TextCodec, 3, "config", Config, Omit::WhenDefault));

// The ten integers are written also when 0.
inline constexpr auto MediaSummaryItemFormat = std::make_tuple(
    KindMember<MediaSummaryItemName>(),
    ORV_FORMAT_MEMBER(IdentifierCodec, 12, ItemIdKey, Id, Omit::WhenDefault),
    ORV_FORMAT_MEMBER(IntegerCodec, 1, "videoIn", VideoIn, Omit::Never),
    ORV_FORMAT_MEMBER(IntegerCodec, 2, "videoDuration", VideoDuration, Omit::Never),
    ORV_FORMAT_MEMBER(IntegerCodec, 3, "audioIn", AudioIn, Omit::Never),
    ORV_FORMAT_MEMBER(IntegerCodec, 4, "audioDuration", AudioDuration, Omit::Never),
    ORV_FORMAT_MEMBER(IdentifierCodec, 5, "mediaAssetId", MediaAssetId, Omit::WhenDefault),
    ORV_FORMAT_MEMBER(IntegerCodec, 6, "mediaVideoIn", MediaVideoIn, Omit::Never),
    ORV_FORMAT_MEMBER(IntegerCodec, 7, "mediaVideoDuration", MediaVideoDuration, Omit::Never),
    ORV_FORMAT_MEMBER(IntegerCodec, 8, "mediaAudioIn", MediaAudioIn, Omit::Never),
    ORV_FORMAT_MEMBER(IntegerCodec, 9, "mediaAudioDuration", MediaAudioDuration, Omit::Never),
    ORV_FORMAT_MEMBER(IntegerCodec, 10, "audioLevel", AudioLevel, Omit::Never),
    ORV_FORMAT_MEMBER(IntegerCodec, 11, "monitoringChannel", MonitoringChannel, Omit::Never));

// Audio and video transitions alike; the effect's members follow "id".
template <const char* Name>
inline constexpr auto TransitionItemFormat = std::make_tuple(
    KindMember<Name>(),
    ORV_FORMAT_MEMBER(IdentifierCodec, 2, ItemIdKey, Id, Omit::WhenDefault),
    ORV_FORMAT_MEMBER(InlineCodec<TransitionEffect>, 1, "", FxTransition, Omit::Never));

inline constexpr auto TrackFormat = std::make_tuple(
    ORV_FORMAT_MEMBER(IdentifierCodec, 0, TrackProperties::Id, Id, Omit::WhenDefault),
    MakeMember<TrackTypeCodec, NotRead, Omit::Never>(TrackProperties::Type,
                                                     [](const auto& track) { return track.GetType(); }, Ignore),
    ORV_FORMAT_MEMBER(ItemListCodec, 1, TrackProperties::Items, TrackItems, Omit::WhenDefault));

inline constexpr auto TimelineFormat = std::make_tuple(
    ORV_FORMAT_MEMBER(IdentifierCodec, 0, TimelineProperties::Id, Id, Omit::WhenDefault),
    ORV_FORMAT_MEMBER(IdentifierCodec, 1, TimelineProperties::TransactionId, TransactionId, Omit::WhenDefault),
    ORV_FORMAT_MEMBER(IntegerCodec, 2, TimelineProperties::Duration, Duration, Omit::Never),
    ORV_FORMAT_MEMBER(ObjectListCodec<Track>, 3, TimelineProperties::Tracks, Tracks, Omit::WhenDefault),
    ORV_FORMAT_MEMBER(ObjectListCodec<MediaInfo>, 4, TimelineProperties::MediaInfos, MediaInfos, Omit::WhenDefault));

static_assert(IsWellFormed(MediaInfoFormat) && IsWellFormed(TransitionEffectFormat) &&
              IsWellFormed(MediaSummaryItemFormat) && IsWellFormed(TransitionItemFormat<FxAudioTransitionItemName>) &&
              IsWellFormed(TrackFormat) && IsWellFormed(TimelineFormat));

#define ORV_FORMAT_OF(Type, Table)                      \
    template <>                                         \
    struct FormatOf<Type> {                             \
        static constexpr const auto& table = Table;     \
    }
ORV_FORMAT_OF(MediaInfo, MediaInfoFormat);
ORV_FORMAT_OF(TransitionEffect, TransitionEffectFormat);
ORV_FORMAT_OF(MediaSummaryItem, MediaSummaryItemFormat);
ORV_FORMAT_OF(FxAudioTransitionItem, TransitionItemFormat<FxAudioTransitionItemName>);
ORV_FORMAT_OF(FxVideoTransitionItem, TransitionItemFormat<FxVideoTransitionItemName>);
ORV_FORMAT_OF(Track, TrackFormat);
ORV_FORMAT_OF(Timeline, TimelineFormat);
#undef ORV_FORMAT_OF

// Calls visit(ItemKind<...>{}) for each item kind, in the order of ItemKinds.
template <typename Visit>
constexpr void ForEachItemKind(Visit&& visit) {
    std::apply([&](auto... kind) { (visit(kind), ...); }, ItemKinds());
}

}  // namespace Orv::TimelineEngineModel::Serialization::Json::Detail
