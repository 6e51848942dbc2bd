#include <Orv/TimelineEngineModel/Serialization/Json/TransitionEffectToJsonConverter.h>

#include "Detail/ConversionGuard.h"
#include "Detail/ObjectWriting.h"
#include "Detail/Keys.h"
#include "Detail/ValueEncoding.h"

namespace Orv::TimelineEngineModel::Serialization::Json {

namespace {
using Keys = Detail::TransitionEffectKeys;
}  // namespace

TransitionEffectToJsonConverter::~TransitionEffectToJsonConverter() = default;

TransitionEffectToJsonConverter::Result TransitionEffectToJsonConverter::To(const TransitionEffect& rhs,
                                                                            Stringer& stringer) const noexcept {
    return Detail::WriteObjectOpenedOutside(stringer, [&] { Append(stringer, rhs); });
}

TransitionEffectToJsonConverter::Result TransitionEffectToJsonConverter::To(TransitionEffect&& source,
                                                                            Stringer& destination) const {
    return To(static_cast<const TransitionEffect&>(source), destination);
}

void TransitionEffectToJsonConverter::Append(Stringer& stringer, const TransitionEffect& rhs) const {
    if (rhs.TransitionEffectType() != EffectType::Unknown) {
        stringer.Key<sizeof Keys::FxType>(Keys::FxType).Value(ToString(rhs.TransitionEffectType()));
    }
    Detail::WriteNonZeroInteger(stringer, Keys::Offset, rhs.Offset());
    Detail::WriteNonZeroInteger(stringer, Keys::Duration, rhs.Duration());
    Detail::WriteNonEmptyText(stringer, Keys::Config, rhs.Config());
}

}  // namespace Orv::TimelineEngineModel::Serialization::Json
