#include <Orv/TimelineEngineModel/Serialization/Json/TrackItemToJsonConverter.h>
#include <Orv/TimelineEngineModel/Serialization/Json/TransitionEffectToJsonConverter.h>

#include "Detail/Keys.h"
#include "Detail/ObjectWriting.h"
#include "Detail/ValueEncoding.h"

#include <cstddef>
#include <stdexcept>

namespace Orv::TimelineEngineModel::Serialization::Json {

namespace {
using Keys = Detail::TrackItemKeys;
using TypeNames = Detail::TrackItemTypeNames;
using Detail::Stringer;

template <std::size_t NameSize>
void WriteTransitionMembers(Stringer& stringer, const char (&typeName)[NameSize], const FxTransitionItem& rhs) {
    Detail::WriteFixedText(stringer, Keys::Type, typeName);
    Detail::WriteIdentifier(stringer, Keys::Id, rhs.Id());
    const TransitionEffectToJsonConverter effectConverter;
    effectConverter.Append(stringer, rhs.FxTransition());
}
}  // namespace

TrackItemToJsonConverter::~TrackItemToJsonConverter() = default;

TrackItemToJsonConverter::Result TrackItemToJsonConverter::To(const TrackItem& rhs,
                                                              Stringer& stringer) const noexcept {
    return Detail::WriteObject(stringer, [&] { AppendMembers(stringer, rhs); });
}

TrackItemToJsonConverter::Result TrackItemToJsonConverter::To(TrackItem&& source, Stringer& destination) const {
    return To(static_cast<const TrackItem&>(source), destination);
}

void TrackItemToJsonConverter::Append(Stringer& stringer, const std::shared_ptr<TrackItem>& rhs) const {
    if (!rhs) {
        throw std::invalid_argument("track item entry holds no item");
    }
    AppendMembers(stringer, *rhs);
}

// The kind names the concrete class (an invariant of the model), so the
// downcasts need no run-time check. A kind not known here writes nothing.
void TrackItemToJsonConverter::AppendMembers(Stringer& stringer, const TrackItem& rhs) const {
    switch (rhs.GetType()) {
        case TrackItemType::FxAudioTransition:
            Append(stringer, static_cast<const FxAudioTransitionItem&>(rhs));
            break;
        case TrackItemType::FxVideoTransition:
            Append(stringer, static_cast<const FxVideoTransitionItem&>(rhs));
            break;
        case TrackItemType::MediaSummary:
            Append(stringer, static_cast<const MediaSummaryItem&>(rhs));
            break;
        case TrackItemType::Unknown:
            break;
    }
}

// The ten integers are written also when zero.
void TrackItemToJsonConverter::Append(Stringer& stringer, const MediaSummaryItem& rhs) const {
    Detail::WriteFixedText(stringer, Keys::Type, TypeNames::MediaSummary);
    Detail::WriteIdentifier(stringer, Keys::Id, rhs.Id());
    Detail::WriteInteger(stringer, Keys::VideoIn, rhs.VideoIn());
    Detail::WriteInteger(stringer, Keys::VideoDuration, rhs.VideoDuration());
    Detail::WriteInteger(stringer, Keys::AudioIn, rhs.AudioIn());
    Detail::WriteInteger(stringer, Keys::AudioDuration, rhs.AudioDuration());
    Detail::WriteIdentifier(stringer, Keys::MediaAssetId, rhs.MediaAssetId());
    Detail::WriteInteger(stringer, Keys::MediaVideoIn, rhs.MediaVideoIn());
    Detail::WriteInteger(stringer, Keys::MediaVideoDuration, rhs.MediaVideoDuration());
    Detail::WriteInteger(stringer, Keys::MediaAudioIn, rhs.MediaAudioIn());
    Detail::WriteInteger(stringer, Keys::MediaAudioDuration, rhs.MediaAudioDuration());
    Detail::WriteInteger(stringer, Keys::AudioLevel, rhs.AudioLevel());
    Detail::WriteInteger(stringer, Keys::MonitoringChannel, rhs.MonitoringChannel());
}

void TrackItemToJsonConverter::Append(Stringer& stringer, const FxAudioTransitionItem& rhs) const {
    WriteTransitionMembers(stringer, TypeNames::FxAudioTransition, rhs);
}

void TrackItemToJsonConverter::Append(Stringer& stringer, const FxVideoTransitionItem& rhs) const {
    WriteTransitionMembers(stringer, TypeNames::FxVideoTransition, rhs);
}

}  // namespace Orv::TimelineEngineModel::Serialization::Json
