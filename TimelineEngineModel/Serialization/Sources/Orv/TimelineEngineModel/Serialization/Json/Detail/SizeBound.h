#pragma once

// How long a timeline's JSON text will be, computed from the model before it
// is written, so that the writer can reserve the whole text at once: no
// reallocation copies the text while it grows, and no memory is touched that
// the text does not fill. Member for member it follows the writers: each
// member counted with its key and punctuation, integers by an upper bound of
// their digits, texts by their length. Escaping is not counted; a text that
// needs it makes the Stringer grow as it would without the reservation.

#include <Orv/TimelineEngineModel/FxTransitionItem.h>
#include <Orv/TimelineEngineModel/MediaSummaryItem.h>
#include <Orv/TimelineEngineModel/Serialization/Json/Properties/TimelineProperties.h>
#include <Orv/TimelineEngineModel/Serialization/Json/Properties/TrackProperties.h>
#include <Orv/TimelineEngineModel/Timeline.h>

#include "Keys.h"

#include <cstddef>
#include <cstdint>
#include <initializer_list>

#if defined(_MSC_VER) && !defined(__clang__)
#include <intrin.h>
#endif

namespace Orv::TimelineEngineModel::Serialization::Json::Detail {

// "key":"" and the comma before the next member, all but the value's text.
template <std::size_t KeySize>
constexpr std::size_t MemberSize(const char (&)[KeySize]) noexcept {
    return KeySize - 1 + 6;
}

template <std::size_t TextSize>
constexpr std::size_t FixedTextSize(const char (&)[TextSize]) noexcept {
    return TextSize - 1;
}

// Bits of `value`, at least 1.
inline std::size_t BitWidth(uint64_t value) noexcept {
#if defined(_MSC_VER) && !defined(__clang__)
    unsigned long highest = 0;
    _BitScanReverse64(&highest, value | 1);
    return highest + 1;
#else
    return 64 - static_cast<std::size_t>(__builtin_clzll(value | 1));
#endif
}

// At least the length of `value`'s decimal text: the digits that its bit
// width allows (one more than needed below some powers of ten), and the sign.
inline std::size_t DigitsBound(int64_t value) noexcept {
    const uint64_t magnitude = value < 0 ? 0 - static_cast<uint64_t>(value) : static_cast<uint64_t>(value);
    // 1233 / 4096 is just below log10(2): floor(bits * log10(2)) + 1 digits.
    return (value < 0 ? 2 : 1) + ((BitWidth(magnitude) * 1233) >> 12);
}

inline std::size_t DigitsBound(std::initializer_list<int64_t> values) noexcept {
    std::size_t size = 0;
    for (const int64_t value : values) {
        size += DigitsBound(value);
    }
    return size;
}

inline std::size_t EffectSizeBound(const TransitionEffect& effect) noexcept {
    using Keys = TransitionEffectKeys;
    constexpr std::size_t fixed = MemberSize(Keys::FxType) + FixedTextSize("Unknown") + MemberSize(Keys::Offset) +
                                  MemberSize(Keys::Duration) + MemberSize(Keys::Config);
    return fixed + DigitsBound({effect.Offset(), effect.Duration()}) + effect.Config().size();
}

inline std::size_t ItemSizeBound(const TrackItem* item) noexcept {
    using Keys = TrackItemKeys;
    using Names = TrackItemTypeNames;
    constexpr std::size_t object = 2 + 1 + MemberSize(Keys::Type) + MemberSize(Keys::Id);  // braces and comma
    if (item == nullptr) {
        return 0;
    }
    switch (item->GetType()) {
        case TrackItemType::MediaSummary: {
            constexpr std::size_t fixed =
                object + FixedTextSize(Names::MediaSummary) + MemberSize(Keys::VideoIn) +
                MemberSize(Keys::VideoDuration) + MemberSize(Keys::AudioIn) + MemberSize(Keys::AudioDuration) +
                MemberSize(Keys::MediaAssetId) + MemberSize(Keys::MediaVideoIn) +
                MemberSize(Keys::MediaVideoDuration) + MemberSize(Keys::MediaAudioIn) +
                MemberSize(Keys::MediaAudioDuration) + MemberSize(Keys::AudioLevel) +
                MemberSize(Keys::MonitoringChannel);
            const auto& s = static_cast<const MediaSummaryItem&>(*item);
            return fixed + s.Id().Value().size() + s.MediaAssetId().Value().size() +
                   DigitsBound({s.VideoIn(), s.VideoDuration(), s.AudioIn(), s.AudioDuration(), s.MediaVideoIn(),
                                s.MediaVideoDuration(), s.MediaAudioIn(), s.MediaAudioDuration(), s.AudioLevel(),
                                s.MonitoringChannel()});
        }
        case TrackItemType::FxAudioTransition:
        case TrackItemType::FxVideoTransition: {
            constexpr std::size_t fixed = object + FixedTextSize(Names::FxAudioTransition);
            const auto& transition = static_cast<const FxTransitionItem&>(*item);
            return fixed + transition.Id().Value().size() + EffectSizeBound(transition.FxTransition());
        }
        case TrackItemType::Unknown:
            break;
    }
    return object;
}

inline std::size_t TrackSizeBound(const Track& track) noexcept {
    constexpr std::size_t fixed = 2 + 1 + MemberSize(TrackProperties::Id) + MemberSize(TrackProperties::Type) +
                                  FixedTextSize(TrackProperties::UnknownType) + MemberSize(TrackProperties::Items) + 2;
    std::size_t size = fixed + track.Id().Value().size();
    for (const auto& item : track.TrackItems()) {
        size += ItemSizeBound(item.get());
    }
    return size;
}

inline std::size_t MediaInfoSizeBound(const MediaInfo& info) noexcept {
    using Keys = MediaInfoKeys;
    constexpr std::size_t fixed = 2 + 1 + MemberSize(Keys::MediaAssetId) + MemberSize(Keys::LimitIn) +
                                  MemberSize(Keys::LimitDuration) + MemberSize(Keys::Channels);
    return fixed + info.MediaAssetId().Value().size() + DigitsBound({info.LimitIn(), info.LimitDuration()}) +
           info.Channels().size();
}

// The members Append() writes for `timeline`.
inline std::size_t TimelineMembersSizeBound(const Timeline& timeline) noexcept {
    constexpr std::size_t fixed = MemberSize(TimelineProperties::Id) + MemberSize(TimelineProperties::TransactionId) +
                                  MemberSize(TimelineProperties::Duration) + MemberSize(TimelineProperties::Tracks) +
                                  2 + MemberSize(TimelineProperties::MediaInfos) + 2;
    std::size_t size = fixed + timeline.Id().Value().size() + timeline.TransactionId().Value().size() +
                       DigitsBound(timeline.Duration());
    for (const Track& track : timeline.Tracks()) {
        size += TrackSizeBound(track);
    }
    for (const MediaInfo& info : timeline.MediaInfos()) {
        size += MediaInfoSizeBound(info);
    }
    return size;
}

}  // namespace Orv::TimelineEngineModel::Serialization::Json::Detail
