#pragma once

#include <Orv/Common/Serialization/Json/Converter.h>
#include <Orv/TimelineEngineModel/TrackItem.h>
#include <Orv/TimelineEngineModel/Serialization/Json/Export.h>
#include <Orv/TimelineEngineModel/FxAudioTransitionItem.h>
#include <Orv/TimelineEngineModel/FxVideoTransitionItem.h>
#include <Orv/TimelineEngineModel/MediaSummaryItem.h>
#include <memory>

namespace Orv::TimelineEngineModel::Serialization::Json {

// Reads a track item object into a new item of the kind that "_type"
// names: "FxAudioTransitionItem", "FxVideoTransitionItem", and a media
// summary item for anything else ("MediaSummaryItem", other texts, none).
//
// Lenient: every key is optional, and a key counts only when its value is a
// JSON string; absent, null and other JSON types are skipped silently.
// Members are assigned as they are read and nothing is rolled back when a
// later one fails.
class ORV_TIMELINE_JSON_API JsonToTrackItemConverter
    : public Orv::Common::Serialization::Json::FromJsonConverter<std::unique_ptr<TrackItem>> {
public:
    using JsonObject = Orv::Common::Serialization::Json::JsonObject;
    using Result = Orv::Common::Serialization::Result;

    JsonToTrackItemConverter() = default;
    JsonToTrackItemConverter(const JsonToTrackItemConverter&) = default;
    ~JsonToTrackItemConverter() override;

    // Replaces the pointer's item by a new one of the named kind (the old
    // one is destroyed), fills it, then sets its "id". Every exception
    // becomes a failed Result carrying its text; the new item keeps what was
    // read before the failure.
    Result To(const JsonObject& rhs, std::unique_ptr<TrackItem>& trackItem) const noexcept override;
    // The same as the constant-reference form.
    Result To(JsonObject&& rhs, std::unique_ptr<TrackItem>& trackItem) const override;

    // Fill an existing item from the members of `rhs`, reading neither
    // "_type" nor "id". Exceptions pass. A media summary item keeps the
    // members read before a failure; a transition item's effect is replaced
    // only when the whole effect was read.
    Result Append(const JsonObject& rhs, MediaSummaryItem& mediaSummaryItem) const;
    Result Append(const JsonObject& rhs, FxAudioTransitionItem& fxTransitionItem) const;
    Result Append(const JsonObject& rhs, FxVideoTransitionItem& fxTransitionItem) const;
};

}  // namespace Orv::TimelineEngineModel::Serialization::Json
