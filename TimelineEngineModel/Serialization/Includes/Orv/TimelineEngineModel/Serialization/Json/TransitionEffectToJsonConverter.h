#pragma once

#include <Orv/Common/Serialization/Json/Converter.h>
#include <Orv/TimelineEngineModel/TransitionEffect.h>
#include <Orv/TimelineEngineModel/Serialization/Json/Export.h>

namespace Orv::TimelineEngineModel::Serialization::Json {

// Writes a transition effect, each member left out when Unknown, zero or
// empty. A transition track item carries these members inline, in its own
// object.
class ORV_TIMELINE_JSON_API TransitionEffectToJsonConverter
    : public Orv::Common::Serialization::Json::ToJsonConverter<TransitionEffect> {
public:
    using Stringer = Orv::Common::Serialization::Json::Stringer;
    using Result = Orv::Common::Serialization::Result;

    TransitionEffectToJsonConverter() = default;
    TransitionEffectToJsonConverter(const TransitionEffectToJsonConverter&) = default;
    ~TransitionEffectToJsonConverter() override;

    // Writes `rhs` as one complete JSON object. A failure comes back as a
    // failed Result carrying the exception's text; the object is still closed.
    Result To(const TransitionEffect& rhs, Stringer& stringer) const noexcept override;
    // The same as the constant-reference form; `source` is left unchanged.
    Result To(TransitionEffect&& source, Stringer& destination) const override;

    // Writes the members into the object open on `stringer`; opens and
    // closes nothing and lets every exception pass.
    void Append(Stringer& stringer, const TransitionEffect& rhs) const;
};

}  // namespace Orv::TimelineEngineModel::Serialization::Json
