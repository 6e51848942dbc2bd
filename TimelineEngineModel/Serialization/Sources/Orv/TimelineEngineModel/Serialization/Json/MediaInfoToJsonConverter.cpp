#include <Orv/TimelineEngineModel/Serialization/Json/MediaInfoToJsonConverter.h>

#include "Detail/ConversionGuard.h"
#include "Detail/ObjectWriting.h"
#include "Detail/Keys.h"
#include "Detail/ValueEncoding.h"

namespace Orv::TimelineEngineModel::Serialization::Json {

namespace {
using Keys = Detail::MediaInfoKeys;
}  // namespace

MediaInfoToJsonConverter::~MediaInfoToJsonConverter() = default;

MediaInfoToJsonConverter::Result MediaInfoToJsonConverter::To(const MediaInfo& rhs,
                                                              Stringer& stringer) const noexcept {
    return Detail::WriteObjectOpenedOutside(stringer, [&] { Append(stringer, rhs); });
}

MediaInfoToJsonConverter::Result MediaInfoToJsonConverter::To(MediaInfo&& source, Stringer& destination) const {
    return To(static_cast<const MediaInfo&>(source), destination);
}

void MediaInfoToJsonConverter::Append(Stringer& stringer, const MediaInfo& rhs) const {
    Detail::WriteIdentifier(stringer, Keys::MediaAssetId, rhs.MediaAssetId());
    Detail::WriteNonZeroInteger(stringer, Keys::LimitIn, rhs.LimitIn());
    Detail::WriteNonZeroInteger(stringer, Keys::LimitDuration, rhs.LimitDuration());
    Detail::WriteNonEmptyText(stringer, Keys::Channels, rhs.Channels());
}

}  // namespace Orv::TimelineEngineModel::Serialization::Json
