#include <Orv/TimelineEngineModel/Serialization/Json/JsonToMediaInfoConverter.h>
#include <Orv/TimelineEngineModel/Serialization/Json/JsonToTimelineConverter.h>
#include <Orv/TimelineEngineModel/Serialization/Json/JsonToTrackConverter.h>

#include "Frame/ConversionGuard.h"
#include "Read/MemberReading.h"

namespace Orv::TimelineEngineModel::Serialization::Json {

JsonToTimelineConverter::~JsonToTimelineConverter() = default;

JsonToTimelineConverter::Result JsonToTimelineConverter::To(const JsonObject& rhs,
                                                            std::unique_ptr<Timeline>& timeline) const noexcept {
    return Detail::RunGuarded([&] {
        timeline = std::make_unique<Timeline>();
        static_cast<void>(To(rhs, *timeline));
    });
}

JsonToTimelineConverter::Result JsonToTimelineConverter::To(JsonObject&& rhs,
                                                            std::unique_ptr<Timeline>& timeline) const {
    return To(static_cast<const JsonObject&>(rhs), timeline);
}

// Appends to the lists; never clears what the timeline already holds.
JsonToTimelineConverter::Result JsonToTimelineConverter::To(const JsonObject& rhs, Timeline& timeline) const {
    Detail::ReadMembers(rhs, timeline);
    return Result();
}

}  // namespace Orv::TimelineEngineModel::Serialization::Json
