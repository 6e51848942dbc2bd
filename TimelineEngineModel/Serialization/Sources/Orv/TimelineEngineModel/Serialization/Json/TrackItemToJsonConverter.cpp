#include <Orv/TimelineEngineModel/Serialization/Json/TrackItemToJsonConverter.h>
#include <Orv/TimelineEngineModel/Serialization/Json/TransitionEffectToJsonConverter.h>

#include "Write/MemberWriting.h"
#include "Write/ObjectWriting.h"

#include <stdexcept>

namespace Orv::TimelineEngineModel::Serialization::Json {

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
    Detail::ForEachItemKind([&](auto kind) {
        if (rhs.GetType() == kind.type) {
            Append(stringer, static_cast<const typename decltype(kind)::Item&>(rhs));
        }
    });
}

void TrackItemToJsonConverter::Append(Stringer& stringer, const MediaSummaryItem& rhs) const {
    Detail::WriteMembers(stringer, rhs);
}

void TrackItemToJsonConverter::Append(Stringer& stringer, const FxAudioTransitionItem& rhs) const {
    Detail::WriteMembers(stringer, rhs);
}

void TrackItemToJsonConverter::Append(Stringer& stringer, const FxVideoTransitionItem& rhs) const {
    Detail::WriteMembers(stringer, rhs);
}

}  // namespace Orv::TimelineEngineModel::Serialization::Json
