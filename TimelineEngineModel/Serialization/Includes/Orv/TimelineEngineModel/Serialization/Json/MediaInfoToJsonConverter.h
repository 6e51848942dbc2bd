#pragma once

#include <Orv/Common/Serialization/Json/Converter.h>
#include <Orv/TimelineEngineModel/MediaInfo.h>
#include <Orv/TimelineEngineModel/Serialization/Json/Export.h>

namespace Orv::TimelineEngineModel::Serialization::Json {

// Writes a media info, each member left out when empty or zero.
class ORV_TIMELINE_JSON_API MediaInfoToJsonConverter
    : public Orv::Common::Serialization::Json::ToJsonConverter<MediaInfo> {
public:
    using Stringer = Orv::Common::Serialization::Json::Stringer;
    using Result = Orv::Common::Serialization::Result;

    MediaInfoToJsonConverter() = default;
    MediaInfoToJsonConverter(const MediaInfoToJsonConverter&) = default;
    ~MediaInfoToJsonConverter() override;

    // Writes `rhs` as one complete JSON object. A failure comes back as a
    // failed Result carrying the exception's text; the object is still closed.
    Result To(const MediaInfo& rhs, Stringer& stringer) const noexcept override;
    // The same as the constant-reference form; `source` is left unchanged.
    Result To(MediaInfo&& source, Stringer& destination) const override;

    // Writes the members into the object open on `stringer`; opens and
    // closes nothing and lets every exception pass.
    void Append(Stringer& stringer, const MediaInfo& rhs) const;
};

}  // namespace Orv::TimelineEngineModel::Serialization::Json
