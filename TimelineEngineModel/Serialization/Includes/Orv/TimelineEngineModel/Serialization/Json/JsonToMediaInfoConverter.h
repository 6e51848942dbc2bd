#pragma once

#include <Orv/Common/Serialization/Json/Converter.h>
#include <Orv/TimelineEngineModel/MediaInfo.h>
#include <Orv/TimelineEngineModel/Serialization/Json/Export.h>

#include <memory>

namespace Orv::TimelineEngineModel::Serialization::Json {

// Reads a media info object.
//
// Lenient: every key is optional, and a key counts only when its value is a
// JSON string; absent, null and other JSON types are skipped silently.
// Members are assigned as they are read and nothing is rolled back when a
// later one fails.
class ORV_TIMELINE_JSON_API JsonToMediaInfoConverter
    : public Orv::Common::Serialization::Json::FromJsonConverter<std::unique_ptr<MediaInfo>> {
public:
    using JsonObject = Orv::Common::Serialization::Json::JsonObject;
    using Result = Orv::Common::Serialization::Result;

    JsonToMediaInfoConverter() = default;
    JsonToMediaInfoConverter(const JsonToMediaInfoConverter&) = default;
    ~JsonToMediaInfoConverter() override;

    // Fills the media info that the pointer already holds; creates nothing.
    // An empty pointer is a failure when the input holds a key to read.
    // Every exception becomes a failed Result carrying its text.
    Result To(const JsonObject& rhs, std::unique_ptr<MediaInfo>& mediaInfo) const noexcept override;
    // The same as the constant-reference form.
    Result To(JsonObject&& rhs, std::unique_ptr<MediaInfo>& mediaInfo) const override;

    // Reads `rhs` into the existing `mediaInfo`. Catches nothing: jsoncpp's
    // errors and the integer parsing's ("stoll") reach the caller.
    Result To(const JsonObject& rhs, MediaInfo& mediaInfo) const;
};

}  // namespace Orv::TimelineEngineModel::Serialization::Json
