#include <Orv/TimelineEngineModel/Serialization/Json/JsonToTrackItemConverter.h>
#include <Orv/TimelineEngineModel/Serialization/Json/JsonToTransitionEffectConverter.h>

#include "Frame/ConversionGuard.h"
#include "Read/MemberReading.h"

#include <string_view>

namespace Orv::TimelineEngineModel::Serialization::Json {

namespace {

using Detail::JsonObject;

// The kind that "_type" names, compared on its whole text; anything that
// names no kind, a missing "_type" included, is a media summary item.
template <typename Members>
TrackItemType KindNamedBy(const Members& members) {
    TrackItemType named = TrackItemType::MediaSummary;
    if (const JsonObject* name = members.FindString(Detail::ItemKindKey)) {
        Detail::ForEachItemKind([&](auto kind) {
            if (Detail::TextOf(*name) == kind.name) {
                named = kind.type;
            }
        });
    }
    return named;
}

// The members of the item's kind: neither "_type" nor "id".
template <typename Item>
void ReadKindMembers(const JsonObject& rhs, Item& item) {
    const Detail::Members members(rhs, Detail::KeysOf<Item>);
    Detail::ReadMembers(rhs, members, item,
                        [](const auto& member) { return std::string_view(member.key) == Detail::ItemIdKey; });
}

}  // namespace

JsonToTrackItemConverter::~JsonToTrackItemConverter() = default;

// The new item replaces the old one before its members are read, so a failure
// in a member leaves the new, partly read item in `trackItem`.
JsonToTrackItemConverter::Result JsonToTrackItemConverter::To(const JsonObject& rhs,
                                                              std::unique_ptr<TrackItem>& trackItem) const noexcept {
    return Detail::RunGuarded([&] {
        // Looks every key up at once; an input that is neither an object nor
        // null fails here, before the pointer is touched.
        const Detail::Members members(rhs, Detail::AnyItemKeys);
        const TrackItemType named = KindNamedBy(members);
        Detail::ForEachItemKind([&](auto kind) {
            using Item = typename decltype(kind)::Item;
            if (named == kind.type) {
                auto item = std::make_unique<Item>();
                Item& read = *item;
                trackItem = std::move(item);
                Detail::ReadMembers(rhs, members, read, [](const auto&) { return false; });
            }
        });
    });
}

JsonToTrackItemConverter::Result JsonToTrackItemConverter::To(JsonObject&& rhs,
                                                              std::unique_ptr<TrackItem>& trackItem) const {
    return To(static_cast<const JsonObject&>(rhs), trackItem);
}

JsonToTrackItemConverter::Result JsonToTrackItemConverter::Append(const JsonObject& rhs,
                                                                  MediaSummaryItem& mediaSummaryItem) const {
    ReadKindMembers(rhs, mediaSummaryItem);
    return Result();
}

JsonToTrackItemConverter::Result JsonToTrackItemConverter::Append(const JsonObject& rhs,
                                                                  FxAudioTransitionItem& fxTransitionItem) const {
    ReadKindMembers(rhs, fxTransitionItem);
    return Result();
}

JsonToTrackItemConverter::Result JsonToTrackItemConverter::Append(const JsonObject& rhs,
                                                                  FxVideoTransitionItem& fxTransitionItem) const {
    ReadKindMembers(rhs, fxTransitionItem);
    return Result();
}

}  // namespace Orv::TimelineEngineModel::Serialization::Json
