#include <Orv/TimelineEngineModel/Serialization/Json/TransitionEffectToJsonConverter.h>

#include "Write/MemberWriting.h"
#include "Write/ObjectWriting.h"

namespace Orv::TimelineEngineModel::Serialization::Json {

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
    Detail::WriteMembers(stringer, rhs);
}

}  // namespace Orv::TimelineEngineModel::Serialization::Json
