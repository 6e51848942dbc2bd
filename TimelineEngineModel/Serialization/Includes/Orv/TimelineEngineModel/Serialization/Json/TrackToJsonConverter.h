#pragma once

#include <Orv/Common/Serialization/Json/Converter.h>
#include <Orv/TimelineEngineModel/Track.h>
#include <Orv/TimelineEngineModel/Serialization/Json/Export.h>

namespace Orv::TimelineEngineModel::Serialization::Json {

// Writes a track: "id" (left out when empty), "type" and, when the track
// has items, "items" with one object per item.
class ORV_TIMELINE_JSON_API TrackToJsonConverter
    : public Orv::Common::Serialization::Json::ToJsonConverter<Track> {
public:
    using Stringer = Orv::Common::Serialization::Json::Stringer;
    using Result = Orv::Common::Serialization::Result;

    TrackToJsonConverter() = default;
    TrackToJsonConverter(const TrackToJsonConverter&) = default;
    ~TrackToJsonConverter() override;

    // Writes `rhs` as one complete JSON object. A failure comes back as a
    // failed Result carrying the exception's text; the object is still closed.
    Result To(const Track& rhs, Stringer& stringer) const noexcept override;
    // The same as the constant-reference form; `source` is left unchanged.
    Result To(Track&& source, Stringer& destination) const override;

    // Writes the members into the object open on `stringer`; closes the
    // "items" array and item objects it opened, and lets every exception pass.
    void Append(Stringer& stringer, const Track& rhs) const;
};

}  // namespace Orv::TimelineEngineModel::Serialization::Json
