#pragma once

// How long an object's JSON text will be, at most, computed from the model
// before it is written, so that the writer can reserve the whole text at
// once: no reallocation copies the text while it grows, and no memory is
// touched that the text does not fill. It walks the format tables as the
// writers do, counting every member with its key and punctuation, integers
// by an upper bound of their digits, texts by their length. Escaping is not
// counted; a text that needs it makes the Stringer grow as it would without
// the reservation.

#include "../Format/ObjectFormats.h"

#include <cstddef>
#include <cstdint>
#include <cstring>
#include <memory>

#if defined(_MSC_VER) && !defined(__clang__)
#include <intrin.h>
#endif

namespace Orv::TimelineEngineModel::Serialization::Json::Detail {

// Bits of `value`, at least 1.
inline std::size_t BitWidth(std::uint64_t value) noexcept {
#if defined(_MSC_VER) && !defined(__clang__)
    unsigned long highest = 0;
    _BitScanReverse64(&highest, value | 1);
    return highest + 1;
#else
    return 64 - static_cast<std::size_t>(__builtin_clzll(value | 1));
#endif
}

// At least the length of `value`'s decimal text: the digits that its bit
// width allows (one more than needed below some powers of ten), and the sign.
inline std::size_t SizeBound(IntegerCodec, std::int64_t value) noexcept {
    const std::uint64_t magnitude = value < 0 ? 0 - static_cast<std::uint64_t>(value) : static_cast<std::uint64_t>(value);
    // 1233 / 4096 is just below log10(2): floor(bits * log10(2)) + 1 digits.
    return (value < 0 ? 2 : 1) + ((BitWidth(magnitude) * 1233) >> 12);
}
inline std::size_t SizeBound(IdentifierCodec, const Identifier& value) noexcept {
    return value.Value().size();
}
inline std::size_t SizeBound(TextCodec, const std::string& value) noexcept {
    return value.size();
}
inline std::size_t SizeBound(EffectTypeCodec, EffectType value) noexcept {
    return ToString(value).size();
}
inline std::size_t SizeBound(KindCodec, const char* name) noexcept {
    return std::strlen(name);
}
inline std::size_t SizeBound(TrackTypeCodec, TrackType value) noexcept {
    return std::strlen(TrackTypeText(value));
}

template <typename Object>
std::size_t MembersSizeBound(const Object& object) noexcept;

// An item of any kind; an entry without an item writes nothing.
inline std::size_t MembersSizeBound(const std::shared_ptr<TrackItem>& item) noexcept {
    std::size_t size = 0;
    ForEachItemKind([&](auto kind) {
        if (item != nullptr && item->GetType() == kind.type) {
            size = MembersSizeBound(static_cast<const typename decltype(kind)::Item&>(*item));
        }
    });
    return size;
}

// [{...},{...}] (each element's comma counted).
template <typename List>
std::size_t ListSizeBound(const List& list) noexcept {
    std::size_t size = 2;
    for (const auto& element : list) {
        size += 3 + MembersSizeBound(element);
    }
    return size;
}
template <typename Element, typename Value>
std::size_t SizeBound(ObjectListCodec<Element>, const Value& list) noexcept {
    return ListSizeBound(list);
}
template <typename Value>
std::size_t SizeBound(ItemListCodec, const Value& list) noexcept {
    return ListSizeBound(list);
}

template <typename Object>
std::size_t MembersSizeBound(const Object& object) noexcept {
    std::size_t size = 0;
    ForEachMember(FormatOf<Object>::table, [&](const auto& member) {
        using Codec = typename std::decay_t<decltype(member)>::CodecType;
        if constexpr (IsInlineCodec<Codec>) {
            size += MembersSizeBound(member.get(object));
        } else if constexpr (IsListCodec<Codec>) {
            size += member.key.size() + 4 + SizeBound(Codec(), member.get(object));  // "key":[...],
        } else {
            size += member.key.size() + 6 + SizeBound(Codec(), member.get(object));  // "key":"value",
        }
    });
    return size;
}

}  // namespace Orv::TimelineEngineModel::Serialization::Json::Detail
