#include <Orv/TimelineEngineModel/Serialization/Json/JsonToTrackConverter.h>
#include <Orv/TimelineEngineModel/Serialization/Json/JsonToTrackItemConverter.h>

#include "Frame/ConversionGuard.h"
#include "Read/MemberReading.h"

namespace Orv::TimelineEngineModel::Serialization::Json {

JsonToTrackConverter::~JsonToTrackConverter() = default;

JsonToTrackConverter::Result JsonToTrackConverter::To(const JsonObject& rhs,
                                                      std::unique_ptr<Track>& track) const noexcept {
    return Detail::RunGuarded([&] {
        track = std::make_unique<Track>();
        static_cast<void>(To(rhs, *track));
    });
}

JsonToTrackConverter::Result JsonToTrackConverter::To(JsonObject&& rhs, std::unique_ptr<Track>& track) const {
    return To(static_cast<const JsonObject&>(rhs), track);
}

// "type" is not read. The items read are appended to those the track holds,
// one entry per element of "items" (see ItemListCodec).
JsonToTrackConverter::Result JsonToTrackConverter::To(const JsonObject& rhs, Track& track) const {
    Detail::ReadMembers(rhs, track);
    return Result();
}

}  // namespace Orv::TimelineEngineModel::Serialization::Json
