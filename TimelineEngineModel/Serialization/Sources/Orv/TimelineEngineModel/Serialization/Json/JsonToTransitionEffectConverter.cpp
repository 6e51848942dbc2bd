#include <Orv/TimelineEngineModel/Serialization/Json/JsonToTransitionEffectConverter.h>

#include "Detail/ConversionGuard.h"
#include "Detail/Keys.h"
#include "Detail/ValueEncoding.h"

#include <iterator>

namespace Orv::TimelineEngineModel::Serialization::Json {

namespace {
using Keys = Detail::TransitionEffectKeys;
constexpr auto& AllKeys = Keys::ReadingOrder;
constexpr auto AllKeySet = Detail::MakeKeySet(AllKeys);
}  // namespace

JsonToTransitionEffectConverter::~JsonToTransitionEffectConverter() = default;

JsonToTransitionEffectConverter::Result JsonToTransitionEffectConverter::To(
    const JsonObject& rhs, std::unique_ptr<TransitionEffect>& transitionEffect) const noexcept {
    return Detail::RunGuarded([&] {
        if (transitionEffect) {
            static_cast<void>(To(rhs, *transitionEffect));
        } else {
            Detail::RequireNothingToFill(rhs, AllKeys, "transition effect");
        }
    });
}

JsonToTransitionEffectConverter::Result JsonToTransitionEffectConverter::To(
    JsonObject&& rhs, std::unique_ptr<TransitionEffect>& transitionEffect) const {
    return To(static_cast<const JsonObject&>(rhs), transitionEffect);
}

JsonToTransitionEffectConverter::Result JsonToTransitionEffectConverter::To(const JsonObject& rhs,
                                                                            TransitionEffect& transitionEffect) const {
    const Detail::Members<std::size(AllKeys)> members(rhs, AllKeySet);
    Detail::ReadText(members, Keys::FxType,
                     [&](const std::string& value) { transitionEffect.TransitionEffectType(ToEffectType(value)); });
    Detail::ReadInteger(members, Keys::Offset, [&](int64_t value) { transitionEffect.Offset(value); });
    Detail::ReadInteger(members, Keys::Duration, [&](int64_t value) { transitionEffect.Duration(value); });
    Detail::ReadText(members, Keys::Config, [&](const std::string& value) { transitionEffect.Config(value); });
    return Result();
}

}  // namespace Orv::TimelineEngineModel::Serialization::Json
