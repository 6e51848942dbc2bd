#include <Orv/TimelineEngineModel/Serialization/Json/JsonToTrackConverter.h>
#include <Orv/TimelineEngineModel/Serialization/Json/JsonToTrackItemConverter.h>
#include <Orv/TimelineEngineModel/Serialization/Json/Properties/TrackProperties.h>

#include "Detail/ConversionGuard.h"
#include "Detail/ValueEncoding.h"

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

// "type" is not read. Every element of "items" gives one entry, in order: an
// element of which no item could be made (neither an object nor null) gives
// an entry without an item, and an item that failed part-way is kept as read.
JsonToTrackConverter::Result JsonToTrackConverter::To(const JsonObject& rhs, Track& track) const {
    Detail::ReadIdentifier(rhs, TrackProperties::Id, [&](const auto& value) { track.Id(value); });
    const JsonObject& items = rhs[TrackProperties::Items];
    if (!items.isArray()) {
        return Result();
    }
    const JsonToTrackItemConverter itemConverter;
    TrackItemArray& trackItems = track.TrackItems();
    trackItems.reserve(trackItems.size() + items.size());
    for (const JsonObject& element : items) {
        std::unique_ptr<TrackItem> item;
        static_cast<void>(itemConverter.To(element, item));  // a failed item is kept as read
        trackItems.push_back(std::shared_ptr<TrackItem>(std::move(item)));
    }
    return Result();
}

}  // namespace Orv::TimelineEngineModel::Serialization::Json
