#pragma once

#include <Orv/Common/Serialization/Json/Converter.h>
#include <Orv/TimelineEngineModel/Timeline.h>
#include <Orv/TimelineEngineModel/Serialization/Json/Export.h>

#include <memory>

namespace Orv::TimelineEngineModel::Serialization::Json {

// Reads the root object of a timeline document, its tracks and media infos
// (the keys: docs/json-format.md).
//
// Lenient: every key is optional, and a key counts only when its value is a
// JSON string; absent, null and other JSON types are skipped silently.
// Members are assigned as they are read and nothing is rolled back when a
// later one fails.
class ORV_TIMELINE_JSON_API JsonToTimelineConverter
    : public Orv::Common::Serialization::Json::FromJsonConverter<std::unique_ptr<Timeline>> {
public:
    using JsonObject = Orv::Common::Serialization::Json::JsonObject;
    using Result = Orv::Common::Serialization::Result;

    JsonToTimelineConverter() = default;
    JsonToTimelineConverter(const JsonToTimelineConverter&) = default;
    ~JsonToTimelineConverter() override;

    // Replaces the pointer's timeline by a new default one (the old one is
    // destroyed) and reads into it. Every exception becomes a failed Result
    // carrying its text; the new timeline keeps what was read before it.
    Result To(const JsonObject& rhs, std::unique_ptr<Timeline>& timeline) const noexcept override;
    // The same as the constant-reference form.
    Result To(JsonObject&& rhs, std::unique_ptr<Timeline>& timeline) const override;

    // Reads `rhs` into the existing `timeline`. Catches nothing: jsoncpp's
    // errors and the integer parsing's ("stoll") reach the caller.
    Result To(const JsonObject& rhs, Timeline& timeline) const;
};

}  // namespace Orv::TimelineEngineModel::Serialization::Json
