#pragma once

#include <Orv/Common/Serialization/Json/Converter.h>
#include <Orv/TimelineEngineModel/Track.h>
#include <Orv/TimelineEngineModel/Serialization/Json/Export.h>

#include <memory>

namespace Orv::TimelineEngineModel::Serialization::Json {

// Reads a track object: "id" and the "items" array ("type" is not read:
// a track keeps the type it was constructed with).
//
// Lenient: every key is optional, and a key counts only when its value is a
// JSON string; absent, null and other JSON types are skipped silently.
// Members are assigned as they are read and nothing is rolled back when a
// later one fails.
class ORV_TIMELINE_JSON_API JsonToTrackConverter
    : public Orv::Common::Serialization::Json::FromJsonConverter<std::unique_ptr<Track>> {
public:
    using JsonObject = Orv::Common::Serialization::Json::JsonObject;
    using Result = Orv::Common::Serialization::Result;

    JsonToTrackConverter() = default;
    JsonToTrackConverter(const JsonToTrackConverter&) = default;
    ~JsonToTrackConverter() override;

    // Replaces the pointer's track by a new default one (the old one is
    // destroyed) and reads into it. Every exception becomes a failed Result
    // carrying its text; the new track keeps what was read before it.
    Result To(const JsonObject& rhs, std::unique_ptr<Track>& track) const noexcept override;
    // The same as the constant-reference form.
    Result To(JsonObject&& rhs, std::unique_ptr<Track>& track) const override;

    // Reads `rhs` into the existing `track`. Catches nothing: jsoncpp's
    // errors and the integer parsing's ("stoll") reach the caller.
    Result To(const JsonObject& rhs, Track& track) const;
};

}  // namespace Orv::TimelineEngineModel::Serialization::Json
