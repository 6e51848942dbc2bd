#include <Orv/TimelineEngineModel/Serialization/Json/JsonToTrackItemConverter.h>
#include <Orv/TimelineEngineModel/Serialization/Json/JsonToTransitionEffectConverter.h>

#include "Detail/ConversionGuard.h"
#include "Detail/Keys.h"
#include "Detail/ValueEncoding.h"

#include <cstring>
#include <iterator>

namespace Orv::TimelineEngineModel::Serialization::Json {

namespace {
using Keys = Detail::TrackItemKeys;
using TypeNames = Detail::TrackItemTypeNames;
using Detail::JsonObject;

template <std::size_t Size>
bool TextEquals(const char* begin, const char* end, const char (&name)[Size]) {
    return static_cast<std::size_t>(end - begin) == Size - 1 && std::memcmp(begin, name, Size - 1) == 0;
}

// The kind that "_type" names: the two transition names exactly (whole text,
// case-sensitive); anything else, a missing "_type" included, is a media
// summary item.
template <typename Source>
TrackItemType KindNamedBy(const Source& rhs) {
    if (const JsonObject* typeName = Detail::FindString(rhs, Keys::Type)) {
        const char* begin = nullptr;
        const char* end = nullptr;
        typeName->getString(&begin, &end);
        if (TextEquals(begin, end, TypeNames::FxAudioTransition)) {
            return TrackItemType::FxAudioTransition;
        }
        if (TextEquals(begin, end, TypeNames::FxVideoTransition)) {
            return TrackItemType::FxVideoTransition;
        }
    }
    return TrackItemType::MediaSummary;
}

constexpr auto& SummaryKeyList = Keys::SummaryReadingOrder;
constexpr auto SummaryKeys = Detail::MakeKeySet(SummaryKeyList);

// What To reads of an item's own object: its kind, its identifier and the
// members of a media summary item, found in one walk.
constexpr const char* ItemKeyList[] = {Keys::Type,
                                       Keys::Id,
                                       Keys::VideoIn,
                                       Keys::VideoDuration,
                                       Keys::AudioIn,
                                       Keys::AudioDuration,
                                       Keys::MediaAssetId,
                                       Keys::MediaVideoIn,
                                       Keys::MediaVideoDuration,
                                       Keys::MediaAudioIn,
                                       Keys::MediaAudioDuration,
                                       Keys::AudioLevel,
                                       Keys::MonitoringChannel};
constexpr auto ItemKeys = Detail::MakeKeySet(ItemKeyList);

// `Source` is the item's JsonObject or a Members table of it.
template <typename Source>
void ReadSummaryMembers(const Source& rhs, MediaSummaryItem& item) {
    Detail::ReadInteger(rhs, Keys::VideoIn, [&](int64_t value) { item.VideoIn(value); });
    Detail::ReadInteger(rhs, Keys::VideoDuration, [&](int64_t value) { item.VideoDuration(value); });
    Detail::ReadInteger(rhs, Keys::AudioIn, [&](int64_t value) { item.AudioIn(value); });
    Detail::ReadInteger(rhs, Keys::AudioDuration, [&](int64_t value) { item.AudioDuration(value); });
    Detail::ReadIdentifier(rhs, Keys::MediaAssetId, [&](const auto& value) { item.MediaAssetId(value); });
    Detail::ReadInteger(rhs, Keys::MediaVideoIn, [&](int64_t value) { item.MediaVideoIn(value); });
    Detail::ReadInteger(rhs, Keys::MediaVideoDuration, [&](int64_t value) { item.MediaVideoDuration(value); });
    Detail::ReadInteger(rhs, Keys::MediaAudioIn, [&](int64_t value) { item.MediaAudioIn(value); });
    Detail::ReadInteger(rhs, Keys::MediaAudioDuration, [&](int64_t value) { item.MediaAudioDuration(value); });
    Detail::ReadInteger(rhs, Keys::AudioLevel, [&](int64_t value) { item.AudioLevel(value); });
    Detail::ReadInteger(rhs, Keys::MonitoringChannel, [&](int64_t value) { item.MonitoringChannel(value); });
}
}  // namespace

JsonToTrackItemConverter::~JsonToTrackItemConverter() = default;

// The new item replaces the old one before its members are read, so a failure
// in a member leaves the new, partly read item in `trackItem`.
JsonToTrackItemConverter::Result JsonToTrackItemConverter::To(const JsonObject& rhs,
                                                              std::unique_ptr<TrackItem>& trackItem) const noexcept {
    return Detail::RunGuarded([&] {
        // Looks every key up at once; an input that is neither an object nor
        // null fails here, before the pointer is touched.
        const Detail::Members<std::size(ItemKeyList)> members(rhs, ItemKeys);
        const auto install = [&](auto newItem) -> auto& {
            auto& item = *newItem;
            trackItem = std::move(newItem);
            return item;
        };
        switch (KindNamedBy(members)) {
            case TrackItemType::FxAudioTransition:
                static_cast<void>(Append(rhs, install(std::make_unique<FxAudioTransitionItem>())));
                break;
            case TrackItemType::FxVideoTransition:
                static_cast<void>(Append(rhs, install(std::make_unique<FxVideoTransitionItem>())));
                break;
            default:
                ReadSummaryMembers(members, install(std::make_unique<MediaSummaryItem>()));
                break;
        }
        Detail::ReadIdentifier(members, Keys::Id, [&](const auto& value) { trackItem->Id(value); });
    });
}

JsonToTrackItemConverter::Result JsonToTrackItemConverter::To(JsonObject&& rhs,
                                                              std::unique_ptr<TrackItem>& trackItem) const {
    return To(static_cast<const JsonObject&>(rhs), trackItem);
}

JsonToTrackItemConverter::Result JsonToTrackItemConverter::Append(const JsonObject& rhs,
                                                                  MediaSummaryItem& mediaSummaryItem) const {
    ReadSummaryMembers(Detail::Members<std::size(SummaryKeyList)>(rhs, SummaryKeys), mediaSummaryItem);
    return Result();
}

JsonToTrackItemConverter::Result JsonToTrackItemConverter::Append(const JsonObject& rhs,
                                                                  FxAudioTransitionItem& fxTransitionItem) const {
    return AppendTransition(rhs, fxTransitionItem);
}

JsonToTrackItemConverter::Result JsonToTrackItemConverter::Append(const JsonObject& rhs,
                                                                  FxVideoTransitionItem& fxTransitionItem) const {
    return AppendTransition(rhs, fxTransitionItem);
}

// The effect's members stand in the item's own object. The effect is read
// whole into a fresh one and stored only when that succeeded, so a failure
// leaves the item unchanged, and a missing member resets that part.
JsonToTrackItemConverter::Result JsonToTrackItemConverter::AppendTransition(const JsonObject& rhs,
                                                                            FxTransitionItem& fxTransitionItem) const {
    const JsonToTransitionEffectConverter effectConverter;
    TransitionEffect effect;
    Result read = effectConverter.To(rhs, effect);
    if (!read) {
        return read;
    }
    fxTransitionItem.FxTransition(effect);
    return Result();
}

}  // namespace Orv::TimelineEngineModel::Serialization::Json
