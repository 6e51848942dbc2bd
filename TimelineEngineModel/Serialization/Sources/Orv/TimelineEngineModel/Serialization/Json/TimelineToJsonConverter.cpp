#include <Orv/TimelineEngineModel/Serialization/Json/MediaInfoToJsonConverter.h>
#include <Orv/TimelineEngineModel/Serialization/Json/TimelineToJsonConverter.h>
#include <Orv/TimelineEngineModel/Serialization/Json/TrackToJsonConverter.h>

#include "Write/MemberWriting.h"
#include "Write/ObjectWriting.h"
#include "Write/SizeBound.h"

namespace Orv::TimelineEngineModel::Serialization::Json {

TimelineToJsonConverter::~TimelineToJsonConverter() = default;

TimelineToJsonConverter::Result TimelineToJsonConverter::To(const Timeline& rhs, Stringer& stringer) const noexcept {
    return Detail::WriteObject(stringer, [&] { Append(stringer, rhs); });
}

TimelineToJsonConverter::Result TimelineToJsonConverter::To(Timeline&& source, Stringer& destination) const {
    return To(static_cast<const Timeline&>(source), destination);
}

// Streams straight into the Stringer; nothing is built in between. The text's
// length is reserved first, so that a long document is written into one
// buffer: no copy while it grows, no memory touched beyond it.
void TimelineToJsonConverter::Append(Stringer& stringer, const Timeline& rhs) const {
    stringer.Reserve(Detail::MembersSizeBound(rhs) + 2);
    Detail::WriteMembers(stringer, rhs);
}

}  // namespace Orv::TimelineEngineModel::Serialization::Json
