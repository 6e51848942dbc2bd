#include <Orv/TimelineEngineModel/Serialization/Json/TrackItemToJsonConverter.h>
#include <Orv/TimelineEngineModel/Serialization/Json/TrackToJsonConverter.h>

#include "Write/MemberWriting.h"
#include "Write/ObjectWriting.h"

namespace Orv::TimelineEngineModel::Serialization::Json {

TrackToJsonConverter::~TrackToJsonConverter() = default;

TrackToJsonConverter::Result TrackToJsonConverter::To(const Track& rhs, Stringer& stringer) const noexcept {
    return Detail::WriteObject(stringer, [&] { Append(stringer, rhs); });
}

TrackToJsonConverter::Result TrackToJsonConverter::To(Track&& source, Stringer& destination) const {
    return To(static_cast<const Track&>(source), destination);
}

// A track of any type is written in full; a type other than Summary is
// spelled "Unknown". An entry without an item fails the write (see
// TrackItemToJsonConverter::Append) after its object and the array are closed.
void TrackToJsonConverter::Append(Stringer& stringer, const Track& rhs) const {
    Detail::WriteMembers(stringer, rhs);
}

}  // namespace Orv::TimelineEngineModel::Serialization::Json
