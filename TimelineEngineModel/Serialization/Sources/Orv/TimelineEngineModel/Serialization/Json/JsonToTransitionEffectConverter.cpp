#include <Orv/TimelineEngineModel/Serialization/Json/JsonToTransitionEffectConverter.h>

#include "Frame/ConversionGuard.h"
#include "Read/MemberReading.h"

namespace Orv::TimelineEngineModel::Serialization::Json {

JsonToTransitionEffectConverter::~JsonToTransitionEffectConverter() = default;

JsonToTransitionEffectConverter::Result JsonToTransitionEffectConverter::To(
    const JsonObject& rhs, std::unique_ptr<TransitionEffect>& transitionEffect) const noexcept {
    return Detail::RunGuarded([&] {
        if (transitionEffect) {
            static_cast<void>(To(rhs, *transitionEffect));
        } else {
            Detail::RequireNothingToFill<TransitionEffect>(rhs, "transition effect");
        }
    });
}

JsonToTransitionEffectConverter::Result JsonToTransitionEffectConverter::To(
    JsonObject&& rhs, std::unique_ptr<TransitionEffect>& transitionEffect) const {
    return To(static_cast<const JsonObject&>(rhs), transitionEffect);
}

JsonToTransitionEffectConverter::Result JsonToTransitionEffectConverter::To(const JsonObject& rhs,
                                                                            TransitionEffect& transitionEffect) const {
    Detail::ReadMembers(rhs, transitionEffect);
    return Result();
}

}  // namespace Orv::TimelineEngineModel::Serialization::Json
