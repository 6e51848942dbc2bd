#include <Orv/TimelineEngineModel/Serialization/Json/MediaInfoToJsonConverter.h>
#include <Orv/TimelineEngineModel/Serialization/Json/TimelineToJsonConverter.h>
#include <Orv/TimelineEngineModel/Serialization/Json/TrackToJsonConverter.h>

#include "Write/MemberWriting.h"
#include "Write/ObjectWriting.h"

namespace Orv::TimelineEngineModel::Serialization::Json {

TimelineToJsonConverter::~TimelineToJsonConverter() = default;

TimelineToJsonConverter::Result TimelineToJsonConverter::To(const Timeline& rhs, Stringer& stringer) const noexcept {
    return Detail::WriteObject(stringer, [&] { Append(stringer, rhs); });
}

TimelineToJsonConverter::Result TimelineToJsonConverter::To(Timeline&& source, Stringer& destination) const {
    return To(static_cast<const Timeline&>(source), destination);
}

// Streams straight into the Stringer; nothing is built in between.
void TimelineToJsonConverter::Append(Stringer& stringer, const Timeline& rhs) const {
    Detail::WriteMembers(stringer, rhs);
}

}  // namespace Orv::TimelineEngineModel::Serialization::Json
