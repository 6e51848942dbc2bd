#pragma once

#include "ConversionGuard.h"

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

// Writes `key` and an array with one object per entry of `list`, each filled
// by the `Append` of a NestedWriter made for this call. An empty list writes
// nothing at all: no key, no empty array. Every element object and the array
// are closed on every way out, innermost first.
template <typename NestedWriter, typename List>
void WriteObjectArray(Stringer& stringer, const char* key, const List& list) {
    if (list.empty()) {
        return;
    }
    const NestedWriter writer;
    const auto array = stringer.ArrayScope(key);
    for (const auto& entry : list) {
        const auto object = stringer.ObjectScope();
        writer.Append(stringer, entry);
    }
}

}  // namespace Orv::TimelineEngineModel::Serialization::Json::Detail
