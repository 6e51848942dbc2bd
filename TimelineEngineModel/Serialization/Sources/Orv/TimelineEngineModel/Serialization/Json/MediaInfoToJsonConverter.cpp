#include <Orv/TimelineEngineModel/Serialization/Json/MediaInfoToJsonConverter.h>

#include "Write/MemberWriting.h"
#include "Write/ObjectWriting.h"

namespace Orv::TimelineEngineModel::Serialization::Json {

MediaInfoToJsonConverter::~MediaInfoToJsonConverter() = default;

MediaInfoToJsonConverter::Result MediaInfoToJsonConverter::To(const MediaInfo& rhs,
                                                              Stringer& stringer) const noexcept {
    return Detail::WriteObjectOpenedOutside(stringer, [&] { Append(stringer, rhs); });
}

MediaInfoToJsonConverter::Result MediaInfoToJsonConverter::To(MediaInfo&& source, Stringer& destination) const {
    return To(static_cast<const MediaInfo&>(source), destination);
}

void MediaInfoToJsonConverter::Append(Stringer& stringer, const MediaInfo& rhs) const {
    Detail::WriteMembers(stringer, rhs);
}

}  // namespace Orv::TimelineEngineModel::Serialization::Json
