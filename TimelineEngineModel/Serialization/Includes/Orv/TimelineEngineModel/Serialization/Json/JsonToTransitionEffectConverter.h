#pragma once

#include <Orv/Common/Serialization/Json/Converter.h>
#include <Orv/TimelineEngineModel/TransitionEffect.h>
#include <Orv/TimelineEngineModel/Serialization/Json/Export.h>

#include <memory>

namespace Orv::TimelineEngineModel::Serialization::Json {

// Reads the members of a transition effect, also from a transition track
// item's object, where they stand among the item's own keys.
//
// Lenient: every key is optional, and a key counts only when its value is a
// JSON string; absent, null and other JSON types are skipped silently.
// Members are assigned as they are read and nothing is rolled back when a
// later one fails.
class ORV_TIMELINE_JSON_API JsonToTransitionEffectConverter
    : public Orv::Common::Serialization::Json::FromJsonConverter<std::unique_ptr<TransitionEffect>> {
public:
    using JsonObject = Orv::Common::Serialization::Json::JsonObject;
    using Result = Orv::Common::Serialization::Result;

    JsonToTransitionEffectConverter() = default;
    JsonToTransitionEffectConverter(const JsonToTransitionEffectConverter&) = default;
    ~JsonToTransitionEffectConverter() override;

    // Fills the effect that the pointer already holds; creates nothing.
    // An empty pointer is a failure when the input holds a key to read.
    // Every exception becomes a failed Result carrying its text.
    Result To(const JsonObject& rhs, std::unique_ptr<TransitionEffect>& transitionEffect) const noexcept override;
    // The same as the constant-reference form.
    Result To(JsonObject&& rhs, std::unique_ptr<TransitionEffect>& transitionEffect) const override;

    // Reads `rhs` into the existing `transitionEffect`. Catches nothing: jsoncpp's
    // errors and the integer parsing's ("stoll") reach the caller.
    Result To(const JsonObject& rhs, TransitionEffect& transitionEffect) const;
};

}  // namespace Orv::TimelineEngineModel::Serialization::Json
