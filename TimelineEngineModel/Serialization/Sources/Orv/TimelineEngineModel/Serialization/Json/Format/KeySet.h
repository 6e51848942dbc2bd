#pragma once

// The distinct keys of some format tables, with their lengths, worked out at
// compile time: the keys a reader looks for in an object.

#include "Member.h"
#include "ObjectFormats.h"

#include <cstddef>
#include <string_view>

namespace Orv::TimelineEngineModel::Serialization::Json::Detail {

template <std::size_t Count>
struct KeySet {
    static constexpr std::size_t count = Count;
    std::string_view names[Count] = {};

    // The index of `name`, or Count.
    constexpr std::size_t IndexOf(std::string_view name) const {
        for (std::size_t i = 0; i < Count; ++i) {
            if (names[i] == name) {
                return i;
            }
        }
        return Count;
    }

    // The keys in the order they first appear (the key of an inlined value,
    // "", left out); Count must be their number.
    template <typename... Tables>
    static constexpr KeySet Of(const Tables&... tables) {
        KeySet set;
        std::size_t count = 0;
        const auto add = [&](const auto& member) {
            const std::string_view key(member.key);
            if (!key.empty() && set.IndexOf(key) == Count) {
                set.names[count++] = key;
            }
        };
        (ForEachMember(tables, add), ...);
        return set;
    }
};

template <typename... Tables>
constexpr std::size_t DistinctKeyCount(const Tables&... tables) {
    constexpr std::size_t most = (MemberCount<Tables> + ... + 0);
    const KeySet<most> all = KeySet<most>::Of(tables...);
    return all.IndexOf(std::string_view());
}

#define ORV_KEY_SET(...)                                                                                            \
    ::Orv::TimelineEngineModel::Serialization::Json::Detail::KeySet<                                                 \
        ::Orv::TimelineEngineModel::Serialization::Json::Detail::DistinctKeyCount(__VA_ARGS__)>::Of(__VA_ARGS__)

// The keys one reader looks up in an object; an item's reader looks up those
// of every item kind at once, before it knows the kind.
template <typename Object>
inline constexpr auto KeysOf = ORV_KEY_SET(FormatOf<Object>::table);
inline constexpr auto AnyItemKeys = ORV_KEY_SET(MediaSummaryItemFormat, TransitionItemFormat<FxAudioTransitionItemName>);

}  // namespace Orv::TimelineEngineModel::Serialization::Json::Detail
