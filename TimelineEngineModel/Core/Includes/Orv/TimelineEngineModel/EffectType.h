#pragma once

#include <Orv/TimelineEngineModel/Export.h>

#include <cstdint>
#include <string>

namespace Orv::TimelineEngineModel {

// The kind of a transition effect.
enum class EffectType : std::int32_t {
    Unknown = 0,
    Cut = 1,
    Mix = 2,
};

// "Cut", "Mix", and "Unknown" for every other value. The reference stays
// valid for the life of the program.
ORV_TIMELINE_ENGINE_MODEL_API const std::string& ToString(EffectType type) noexcept;

// Inverse of ToString for "Cut" and "Mix" (exact, case-sensitive, whole
// text); every other text gives EffectType::Unknown.
ORV_TIMELINE_ENGINE_MODEL_API EffectType ToEffectType(const std::string& text) noexcept;

}  // namespace Orv::TimelineEngineModel
