#pragma once

// The distinct keys of some format tables, with their lengths, worked out at
// compile time: the keys a reader looks for in an object.

#include "Member.h"
#include "ObjectFormats.h"

#include <cstddef>
#include <cstdint>
#include <cstring>
#include <string_view>

namespace Orv::TimelineEngineModel::Serialization::Json::Detail {

template <std::size_t Count>
struct KeySet {
    static constexpr std::size_t count = Count;
    std::string_view names[Count] = {};

    // The index of `name`, or Count, worked out at compile time.
    constexpr std::size_t IndexOf(std::string_view name) const {
        for (std::size_t i = 0; i < Count; ++i) {
            if (names[i] == name) {
                return i;
            }
        }
        return Count;
    }

    // The same at run time, in constant time: the name's bucket holds the
    // only key it can be.
    std::size_t Lookup(std::string_view name) const noexcept {
        const std::size_t index = indexInBucket[Bucket(name, multiplier)];
        return index != Count && Same(names[index], name) ? index : Count;
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
        set.Hash();
        return set;
    }

private:
    static constexpr unsigned BucketBits = 6;
    static_assert(Count <= (std::size_t{1} << BucketBits) / 2, "too many keys for the buckets");

    std::uint64_t multiplier = 0;
    std::size_t indexInBucket[std::size_t{1} << BucketBits] = {};

    // A bucket from the length and four bytes of the name, spread by an odd
    // multiplier: the keys of the formats differ in at least one of them
    // ("mediaVideoIn" and "mediaAudioIn" in the one at a third).
    static constexpr std::size_t Bucket(std::string_view name, std::uint64_t multiplier) {
        const std::size_t size = name.size();
        const auto byte = [&](std::size_t at) -> std::uint64_t { return static_cast<unsigned char>(name[at]); };
        const std::uint64_t mix = size == 0 ? 0
                                            : size | byte(0) << 8 | byte(size / 3) << 16 | byte(size / 2) << 24 |
                                                  byte(size - 1) << 32;
        return static_cast<std::size_t>((mix * multiplier) >> (64 - BucketBits));
    }

    // a == b for keys without a call to memcmp: words from the start, the
    // last one ending at the end (overlapping the one before).
    static bool Same(std::string_view a, std::string_view b) noexcept {
        const std::size_t size = a.size();
        if (size != b.size() || size > 32) {
            return a == b;
        }
        if (size < 4) {
            bool same = true;
            for (std::size_t i = 0; i < size; ++i) {
                same = same && a[i] == b[i];
            }
            return same;
        }
        if (size < 8) {
            return SameWord<std::uint32_t>(a.data(), b.data()) &&
                   SameWord<std::uint32_t>(a.data() + size - 4, b.data() + size - 4);
        }
        bool same = SameWord<std::uint64_t>(a.data() + size - 8, b.data() + size - 8);
        for (std::size_t at = 0; at + 8 < size; at += 8) {
            same = same && SameWord<std::uint64_t>(a.data() + at, b.data() + at);
        }
        return same;
    }

    template <typename Word>
    static bool SameWord(const char* a, const char* b) noexcept {
        Word left;
        Word right;
        std::memcpy(&left, a, sizeof(Word));
        std::memcpy(&right, b, sizeof(Word));
        return left == right;
    }

    // Tries multipliers from a fixed pseudo-random sequence until every key
    // has a bucket of its own.
    constexpr void Hash() {
        for (std::uint64_t attempt = 1;; ++attempt) {
            if (attempt > 4096) {
                throw "no multiplier gives these keys a bucket each";  // stops the compilation
            }
            multiplier = (attempt * 0x9E3779B97F4A7C15u ^ (attempt * 0x9E3779B97F4A7C15u) >> 29) | 1;
            std::uint64_t used = 0;
            bool distinct = true;
            for (std::size_t i = 0; i < Count; ++i) {
                const std::uint64_t bit = std::uint64_t{1} << Bucket(names[i], multiplier);
                distinct = distinct && (used & bit) == 0;
                used |= bit;
            }
            if (distinct) {
                break;
            }
        }
        for (std::size_t& index : indexInBucket) {
            index = Count;
        }
        for (std::size_t i = 0; i < Count; ++i) {
            indexInBucket[Bucket(names[i], multiplier)] = i;
        }
    }
};

template <typename... Tables>
constexpr std::size_t DistinctKeyCount(const Tables&... tables) {
    constexpr std::size_t most = (MemberCount<Tables> + ... + 0);
    std::string_view keys[most > 0 ? most : 1] = {};
    std::size_t count = 0;
    const auto add = [&](const auto& member) {
        bool seen = std::string_view(member.key).empty();
        for (std::size_t i = 0; i < count; ++i) {
            seen = seen || keys[i] == member.key;
        }
        if (!seen) {
            keys[count++] = member.key;
        }
    };
    (ForEachMember(tables, add), ...);
    return count;
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
