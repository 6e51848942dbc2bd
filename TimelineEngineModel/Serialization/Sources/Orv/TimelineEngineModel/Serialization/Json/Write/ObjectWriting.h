#pragma once

#include "../Frame/ConversionGuard.h"

#include <Orv/Common/Serialization/Json/Stringer.h>

namespace Orv::TimelineEngineModel::Serialization::Json::Detail {

using Orv::Common::Serialization::Json::Stringer;

// One complete object whose opening lies outside the guarded region (media
// info and transition effect writers): a refused Object() is reported with
// nothing to close; otherwise the members are written under guard and the
// object is closed whatever happened. A refused close is reported only when
// the members succeeded, so the first failure is the one the caller sees.
template <typename WriteMembers>
Result WriteObjectOpenedOutside(Stringer& stringer, WriteMembers&& writeMembers) noexcept {
    Result opened = RunGuarded([&] { stringer.Object(); });
    if (!opened) {
        return opened;
    }
    Result result = RunGuarded(writeMembers);
    Result closed = RunGuarded([&] { stringer.CloseObject(); });
    return result ? closed : result;
}

// One complete object opened inside the guarded region (timeline, track and
// track item writers): the object scope closes it on every way out, before a
// failure is reported; a refused Object() leaves nothing to close.
template <typename WriteMembers>
Result WriteObject(Stringer& stringer, WriteMembers&& writeMembers) noexcept {
    return RunGuarded([&] {
        const auto object = stringer.ObjectScope();
        writeMembers();
    });
}

}  // namespace Orv::TimelineEngineModel::Serialization::Json::Detail
