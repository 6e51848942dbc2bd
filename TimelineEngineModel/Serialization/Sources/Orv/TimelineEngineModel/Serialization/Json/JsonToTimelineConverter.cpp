#include <Orv/TimelineEngineModel/Serialization/Json/JsonToMediaInfoConverter.h>
#include <Orv/TimelineEngineModel/Serialization/Json/JsonToTimelineConverter.h>
#include <Orv/TimelineEngineModel/Serialization/Json/JsonToTrackConverter.h>
#include <Orv/TimelineEngineModel/Serialization/Json/Properties/TimelineProperties.h>

#include "Detail/ArrayReading.h"
#include "Detail/ConversionGuard.h"
#include "Detail/ValueEncoding.h"

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
    Detail::ReadIdentifier(rhs, TimelineProperties::Id, [&](const auto& value) { timeline.Id(value); });
    Detail::ReadIdentifier(rhs, TimelineProperties::TransactionId,
                           [&](const auto& value) { timeline.TransactionId(value); });
    Detail::ReadInteger(rhs, TimelineProperties::Duration, [&](int64_t value) { timeline.Duration(value); });
    Detail::ReadObjectArray<JsonToTrackConverter>(rhs, TimelineProperties::Tracks, timeline.Tracks());
    Detail::ReadObjectArray<JsonToMediaInfoConverter>(rhs, TimelineProperties::MediaInfos, timeline.MediaInfos());
    return Result();
}

}  // namespace Orv::TimelineEngineModel::Serialization::Json
