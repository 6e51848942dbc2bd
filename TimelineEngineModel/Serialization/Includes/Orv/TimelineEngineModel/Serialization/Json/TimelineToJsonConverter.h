#pragma once

#include <Orv/Common/Serialization/Json/Converter.h>
#include <Orv/TimelineEngineModel/Timeline.h>
#include <Orv/TimelineEngineModel/Serialization/Json/Export.h>

namespace Orv::TimelineEngineModel::Serialization::Json {

// Writes the root object of a timeline document, with its tracks and media
// infos (the keys: docs/json-format.md).
class ORV_TIMELINE_JSON_API TimelineToJsonConverter
    : public Orv::Common::Serialization::Json::ToJsonConverter<Timeline> {
public:
    using Stringer = Orv::Common::Serialization::Json::Stringer;
    using Result = Orv::Common::Serialization::Result;

    TimelineToJsonConverter() = default;
    TimelineToJsonConverter(const TimelineToJsonConverter&) = default;
    ~TimelineToJsonConverter() override;

    // Writes `rhs` as one complete JSON object. A failure comes back as a
    // failed Result carrying the exception's text; the object is still closed.
    Result To(const Timeline& rhs, Stringer& stringer) const noexcept override;
    // The same as the constant-reference form; `source` is left unchanged.
    Result To(Timeline&& source, Stringer& destination) const override;

    // Writes the members into the object open on `stringer`; closes the
    // arrays and element objects it opened, and lets every exception pass.
    void Append(Stringer& stringer, const Timeline& rhs) const;
};

}  // namespace Orv::TimelineEngineModel::Serialization::Json
