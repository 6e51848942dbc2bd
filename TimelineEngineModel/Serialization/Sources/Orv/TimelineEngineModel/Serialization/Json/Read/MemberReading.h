#pragma once

// Reads an object's members from a parsed JSON value as its format table
// says: in the readers' order, each member only when its value is a JSON
// string (an array for a list), assigned as soon as it is read. Nothing is
// rolled back when a later member fails.

#include <Orv/Common/Serialization/Json/JsonObject.h>

#include "../Format/IntegerText.h"
#include "../Format/ObjectFormats.h"
#include "MemberLookup.h"

#include <memory>
#include <stdexcept>
#include <string>
#include <utility>

namespace Orv::TimelineEngineModel::Serialization::Json {
class JsonToMediaInfoConverter;
class JsonToTrackConverter;
class JsonToTrackItemConverter;
class JsonToTransitionEffectConverter;
}  // namespace Orv::TimelineEngineModel::Serialization::Json

namespace Orv::TimelineEngineModel::Serialization::Json::Detail {

using Orv::Common::Serialization::Json::JsonObject;

// The reader whose reference variant fills a list element or an inlined
// value, made for each list or value it reads.
template <typename Value>
struct ReaderOf;
template <>
struct ReaderOf<Track> {
    using Type = JsonToTrackConverter;
};
template <>
struct ReaderOf<MediaInfo> {
    using Type = JsonToMediaInfoConverter;
};
template <>
struct ReaderOf<TransitionEffect> {
    using Type = JsonToTransitionEffectConverter;
};
template <>
struct ReaderOf<std::shared_ptr<TrackItem>> {
    using Type = JsonToTrackItemConverter;
};

// The bytes of a JSON string, read in place rather than copied out as
// asString() would.
inline std::pair<const char*, const char*> TextOf(const JsonObject& stringValue) {
    const char* begin = "";
    const char* end = begin;
    stringValue.getString(&begin, &end);
    return {begin, end};
}

inline std::string Decode(TextCodec, const JsonObject& value) {
    const auto [begin, end] = TextOf(value);
    return std::string(begin, end);
}
inline Identifier Decode(IdentifierCodec, const JsonObject& value) {
    return Identifier(Decode(TextCodec(), value));
}
inline std::int64_t Decode(IntegerCodec, const JsonObject& value) {
    const auto [begin, end] = TextOf(value);
    return ParseInteger(begin, end);
}
inline EffectType Decode(EffectTypeCodec, const JsonObject& value) {
    return ToEffectType(Decode(TextCodec(), value));
}

// Every element of the array gives one entry, in order. A failing element
// ends the read; it is not appended.
template <typename Element, typename Object, typename Member, typename Members>
void ReadMember(ObjectListCodec<Element>, const JsonObject&, const Members& members, Object& object,
                const Member& member) {
    const JsonObject* array = members.Find(member.key, member.keyLength);
    if (array == nullptr || !array->isArray()) {
        return;
    }
    const typename ReaderOf<Element>::Type reader;
    auto& list = member.get(object);
    list.reserve(list.size() + array->size());
    for (const JsonObject& element : *array) {
        Element entry;
        static_cast<void>(reader.To(element, entry));  // the reference variant throws on failure
        list.push_back(std::move(entry));
    }
}

// Every element gives one entry, in order: an element of which no item could
// be made (neither an object nor null) gives an entry without an item, and
// an item that failed part-way is kept as read.
template <typename Object, typename Member, typename Members>
void ReadMember(ItemListCodec, const JsonObject&, const Members& members, Object& object, const Member& member) {
    const JsonObject* array = members.Find(member.key, member.keyLength);
    if (array == nullptr || !array->isArray()) {
        return;
    }
    auto& list = member.get(object);
    const typename ReaderOf<typename std::decay_t<decltype(list)>::value_type>::Type reader;
    list.reserve(list.size() + array->size());
    for (const JsonObject& element : *array) {
        std::unique_ptr<TrackItem> item;
        static_cast<void>(reader.To(element, item));  // a failed item is kept as read
        list.push_back(std::shared_ptr<TrackItem>(std::move(item)));
    }
}

// The inlined value's members stand in this object's own. It is read whole
// into a fresh value, stored only when that succeeded: a failure leaves the
// object's value as it was, and a missing member resets that part.
template <typename Value, typename Object, typename Member, typename Members>
void ReadMember(InlineCodec<Value>, const JsonObject& json, const Members&, Object& object, const Member& member) {
    Value value;
    static_cast<void>(typename ReaderOf<Value>::Type().To(json, value));
    member.set(object, value);
}

// "_type" chose the object's class before any member was read.
template <typename Object, typename Member, typename Members>
void ReadMember(KindCodec, const JsonObject&, const Members&, Object&, const Member&) {}

template <typename Codec, typename Object, typename Member, typename Members>
void ReadMember(Codec codec, const JsonObject&, const Members& members, Object& object, const Member& member) {
    if (const JsonObject* value = members.FindString(member.key, member.keyLength)) {
        member.set(object, Decode(codec, *value));
    }
}

// The members of `object`'s table that `members` (found in `json`) holds.
// `Skip(member)` leaves members out.
template <typename Object, typename Members, typename Skip>
void ReadMembers(const JsonObject& json, const Members& members, Object& object, Skip&& skip) {
    ForEachMemberRead(FormatOf<Object>::table, [&](const auto& member) {
        if (!skip(member)) {
            ReadMember(typename std::decay_t<decltype(member)>::CodecType(), json, members, object, member);
        }
    });
}

template <typename Object>
void ReadMembers(const JsonObject& json, Object& object) {
    ReadMembers(json, Members(json, KeysOf<Object>), object, [](const auto&) { return false; });
}

// For a pointer variant handed an empty pointer: with no member to read
// there is nothing to do; a member that would be read has no object to go
// into, which is reported rather than silently dropped.
template <typename Object>
void RequireNothingToFill(const JsonObject& json, const char* entity) {
    const Members members(json, KeysOf<Object>);
    ForEachMemberRead(FormatOf<Object>::table, [&](const auto& member) {
        if (members.FindString(member.key, member.keyLength) != nullptr) {
            throw std::invalid_argument(std::string("no ") + entity + " to fill: the target pointer is empty");
        }
    });
}

}  // namespace Orv::TimelineEngineModel::Serialization::Json::Detail
