#pragma once

// The keys of a format table as a reader looks them up: with their lengths
// and in the order jsoncpp keeps an object's members, worked out at compile
// time.

#include "Member.h"
#include "ObjectFormats.h"

#include <cstddef>
#include <string_view>

namespace Orv::TimelineEngineModel::Serialization::Json::Detail {

constexpr std::size_t KeyLength(const char* key) {
    std::size_t length = 0;
    while (key[length] != '\0') {
        ++length;
    }
    return length;
}

// jsoncpp's member order: bytes compared as unsigned, then the shorter first.
constexpr bool MemberNameLess(const char* a, std::size_t aLength, const char* b, std::size_t bLength) {
    const std::size_t common = aLength < bLength ? aLength : bLength;
    for (std::size_t i = 0; i < common; ++i) {
        const auto x = static_cast<unsigned char>(a[i]);
        const auto y = static_cast<unsigned char>(b[i]);
        if (x != y) {
            return x < y;
        }
    }
    return aLength < bLength;
}

// The keys that one reader looks up, with their lengths and their order
// among an object's members, all worked out at compile time.
template <std::size_t Count>
struct KeySet {
    const char* names[Count] = {};
    std::size_t lengths[Count] = {};
    std::size_t inMemberOrder[Count] = {};  // indices into names

    // The index of `name`, or Count.
    constexpr std::size_t IndexOf(const char* name, std::size_t length) const {
        for (std::size_t i = 0; i < Count; ++i) {
            if (lengths[i] == length && std::string_view(names[i], length) == std::string_view(name, length)) {
                return i;
            }
        }
        return Count;
    }
};

// The number of distinct keys of some format tables (the key of an inlined
// value, "", not counted).
template <typename... Tables>
constexpr std::size_t DistinctKeyCount(const Tables&... tables) {
    std::string_view seen[(MemberCount<Tables> + ... + 0)] = {};
    std::size_t count = 0;
    const auto add = [&](const auto& member) {
        const std::string_view key(member.key, member.keyLength);
        bool known = key.empty();
        for (std::size_t i = 0; i < count; ++i) {
            known = known || seen[i] == key;
        }
        if (!known) {
            seen[count++] = key;
        }
    };
    (ForEachMember(tables, add), ...);
    return count;
}

// The distinct keys of some format tables, in the order they first appear.
template <std::size_t Count, typename... Tables>
constexpr KeySet<Count> MakeKeySet(const Tables&... tables) {
    KeySet<Count> set;
    std::size_t count = 0;
    const auto add = [&](const auto& member) {
        if (member.keyLength != 0 && set.IndexOf(member.key, member.keyLength) == Count) {
            set.names[count] = member.key;
            set.lengths[count] = member.keyLength;
            set.inMemberOrder[count] = count;
            ++count;
        }
    };
    (ForEachMember(tables, add), ...);
    for (std::size_t i = 1; i < Count; ++i) {  // insertion sort: a dozen keys at most
        for (std::size_t j = i; j > 0; --j) {
            const std::size_t a = set.inMemberOrder[j - 1];
            const std::size_t b = set.inMemberOrder[j];
            if (!MemberNameLess(set.names[b], set.lengths[b], set.names[a], set.lengths[a])) {
                break;
            }
            set.inMemberOrder[j - 1] = b;
            set.inMemberOrder[j] = a;
        }
    }
    return set;
}

// The key set of some format tables, as a constant.
#define ORV_KEY_SET(...)                                                                                       \
    ::Orv::TimelineEngineModel::Serialization::Json::Detail::MakeKeySet<                                        \
        ::Orv::TimelineEngineModel::Serialization::Json::Detail::DistinctKeyCount(__VA_ARGS__)>(__VA_ARGS__)

// The keys one reader looks up in an object; an item's reader looks up those
// of every item kind at once, before it knows the kind.
template <typename Object>
inline constexpr auto KeysOf = ORV_KEY_SET(FormatOf<Object>::table);
inline constexpr auto AnyItemKeys = ORV_KEY_SET(MediaSummaryItemFormat, TransitionItemFormat<FxAudioTransitionItemName>);

}  // namespace Orv::TimelineEngineModel::Serialization::Json::Detail
