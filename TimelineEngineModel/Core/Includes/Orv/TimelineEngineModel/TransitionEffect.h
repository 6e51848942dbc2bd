#pragma once

#include <Orv/TimelineEngineModel/EffectType.h>

#include <cstdint>
#include <string>
#include <utility>

namespace Orv::TimelineEngineModel {

// The effect carried by a transition track item.
class TransitionEffect {
public:
    TransitionEffect() = default;

    explicit TransitionEffect(EffectType transitionEffectType, int64_t offset, int64_t duration,
                              std::string config)
        : transitionEffectType(transitionEffectType), offset(offset), duration(duration),
          config(std::move(config)) {}

    TransitionEffect(const TransitionEffect&) = default;
    TransitionEffect(TransitionEffect&&) noexcept = default;
    TransitionEffect& operator=(const TransitionEffect&) = default;
    TransitionEffect& operator=(TransitionEffect&&) noexcept = default;
    ~TransitionEffect() = default;

    TransitionEffect Clone() const { return *this; }

    EffectType TransitionEffectType() const noexcept { return transitionEffectType; }
    void TransitionEffectType(const EffectType& value) noexcept { transitionEffectType = value; }

    int64_t Offset() const noexcept { return offset; }
    void Offset(int64_t value) noexcept { offset = value; }

    int64_t Duration() const noexcept { return duration; }
    void Duration(int64_t value) noexcept { duration = value; }

    // Stored and converted without interpretation.
    const std::string& Config() const noexcept { return config; }
    void Config(const std::string& value) { config = value; }
    void Config(std::string&& value) noexcept { config = std::move(value); }

    bool operator==(const TransitionEffect& transitionEffect) const noexcept {
        return transitionEffectType == transitionEffect.transitionEffectType &&
               offset == transitionEffect.offset && duration == transitionEffect.duration &&
               config == transitionEffect.config;
    }
    bool operator!=(const TransitionEffect& transitionEffect) const noexcept {
        return !(*this == transitionEffect);
    }

private:
    EffectType transitionEffectType = EffectType::Unknown;
    int64_t offset = 0;
    int64_t duration = 0;
    std::string config;
};

}  // namespace Orv::TimelineEngineModel
