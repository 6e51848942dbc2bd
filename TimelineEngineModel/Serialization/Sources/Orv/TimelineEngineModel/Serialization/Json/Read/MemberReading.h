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
#include <string_view>
#include <utility>
#include <vector>

namespace Orv::TimelineEngineModel::Serialization::Json {
class JsonToMediaInfoConverter;
class JsonToTrackConverter;
class JsonToTrackItemConverter;
class JsonToTransitionEffectConverter;
}  // namespace Orv::TimelineEngineModel::Serialization::Json

namespace Orv::TimelineEngineModel::Serialization::Json::Detail {

using Orv::Common::Serialization::Json::JsonObject;

// The reader that fills a list element or an inlined value (declarations
// only), made for each list or value it reads.
JsonToTrackConverter ReaderFor(const Track&);
JsonToMediaInfoConverter ReaderFor(const MediaInfo&);
JsonToTrackItemConverter ReaderFor(const std::shared_ptr<TrackItem>&);
JsonToTransitionEffectConverter ReaderFor(const TransitionEffect&);
template <typename Value>
using ReaderOf = decltype(ReaderFor(std::declval<const Value&>()));

// The bytes of a JSON string, read in place rather than copied out as
// asString() would.
inline std::string_view TextOf(const JsonObject& stringValue) {
    const char* begin = "";
    const char* end = begin;
    stringValue.getString(&begin, &end);
    return std::string_view(begin, static_cast<std::size_t>(end - begin));
}

inline std::string Decode(TextCodec, const JsonObject& value) {
    return std::string(TextOf(value));
}
inline Identifier Decode(IdentifierCodec, const JsonObject& value) {
    return Identifier(Decode(TextCodec(), value));
}
inline std::int64_t Decode(IntegerCodec, const JsonObject& value) {
    const std::string_view text = TextOf(value);
    return ParseInteger(text.data(), text.data() + text.size());
}
inline EffectType Decode(EffectTypeCodec, const JsonObject& value) {
    return ToEffectType(Decode(TextCodec(), value));
}

// A track or media info is read by the reference variant, which throws: the
// element that fails is not appended, and its failure ends the read.
template <typename Reader, typename Element>
void AppendElement(const Reader& reader, const JsonObject& element, std::vector<Element>& list) {
    Element entry;
    static_cast<void>(reader.To(element, entry));
    list.push_back(std::move(entry));
}

// An item is read by the pointer variant, whose failure does not end the
// read: an element of which no item could be made (neither an object nor
// null) gives an entry without an item, and an item that failed part-way is
// kept as read.
template <typename Reader>
void AppendElement(const Reader& reader, const JsonObject& element, TrackItemArray& list) {
    std::unique_ptr<TrackItem> item;
    static_cast<void>(reader.To(element, item));
    list.push_back(std::shared_ptr<TrackItem>(std::move(item)));
}

// Every element of the array gives one entry, in order.
template <typename Codec, typename Object, typename Member, typename Members>
void ReadList(const Members& members, Object& object, const Member& member) {
    const JsonObject* array = members.Find(member.key);
    if (array == nullptr || !array->isArray()) {
        return;
    }
    auto& list = member.get(object);
    const ReaderOf<typename std::decay_t<decltype(list)>::value_type> reader;
    list.reserve(list.size() + array->size());
    for (const JsonObject& element : *array) {
        AppendElement(reader, element, list);
    }
}

// The inlined value's members stand in this object's own. It is read whole
// into a fresh value, stored only when that succeeded: a failure leaves the
// object's value as it was, and a missing member resets that part.
template <typename Value, typename Object, typename Member, typename Members>
void ReadMember(InlineCodec<Value>, const JsonObject& json, const Members&, Object& object, const Member& member) {
    Value value;
    static_cast<void>(ReaderOf<Value>().To(json, value));
    member.set(object, value);
}

// "_type" chose the object's class before any member was read.
template <typename Object, typename Member, typename Members>
void ReadMember(KindCodec, const JsonObject&, const Members&, Object&, const Member&) {}

template <typename Codec, typename Object, typename Member, typename Members>
void ReadMember(Codec codec, const JsonObject&, const Members& members, Object& object, const Member& member) {
    if constexpr (IsListCodec<Codec>) {
        ReadList<Codec>(members, object, member);
    } else if (const JsonObject* value = members.FindString(member.key)) {
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
        if (members.FindString(member.key) != nullptr) {
            throw std::invalid_argument(std::string("no ") + entity + " to fill: the target pointer is empty");
        }
    });
}

}  // namespace Orv::TimelineEngineModel::Serialization::Json::Detail
