#include <Orv/TimelineEngineModel/Serialization/Json/JsonToMediaInfoConverter.h>

#include "Frame/ConversionGuard.h"
#include "Read/MemberReading.h"

namespace Orv::TimelineEngineModel::Serialization::Json {

JsonToMediaInfoConverter::~JsonToMediaInfoConverter() = default;

JsonToMediaInfoConverter::Result JsonToMediaInfoConverter::To(const JsonObject& rhs,
                                                              std::unique_ptr<MediaInfo>& mediaInfo) const noexcept {
    return Detail::RunGuarded([&] {
        if (mediaInfo) {
            static_cast<void>(To(rhs, *mediaInfo));
        } else {
            Detail::RequireNothingToFill<MediaInfo>(rhs, "media info");
        }
    });
}

JsonToMediaInfoConverter::Result JsonToMediaInfoConverter::To(JsonObject&& rhs,
                                                              std::unique_ptr<MediaInfo>& mediaInfo) const {
    return To(static_cast<const JsonObject&>(rhs), mediaInfo);
}

JsonToMediaInfoConverter::Result JsonToMediaInfoConverter::To(const JsonObject& rhs, MediaInfo& mediaInfo) const {
    Detail::ReadMembers(rhs, mediaInfo);
    return Result();
}

}  // namespace Orv::TimelineEngineModel::Serialization::Json
