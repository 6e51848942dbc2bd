#pragma once

// The value codecs of the format tables: what a member's value is and how it
// stands in the document, where every scalar is a JSON string. Each route
// gives them their meaning; the rules several routes share live here and in
// IntegerText.h.

#include <Orv/BusinessEntityModel/BaseTypes/Identifier.h>
#include <Orv/TimelineEngineModel/EffectType.h>
#include <Orv/TimelineEngineModel/Serialization/Json/Properties/TrackProperties.h>
#include <Orv/TimelineEngineModel/TrackType.h>

#include <cstdint>
#include <string>

namespace Orv::TimelineEngineModel::Serialization::Json::Detail {

using Orv::BusinessEntityModel::BaseTypes::Identifier;

// An Identifier, as its text. Its default is the empty identifier.
struct IdentifierCodec {};
// A std::string, as it is. Its default is the empty text.
struct TextCodec {};
// An int64_t, as the decimal text std::to_string writes, read as std::stoll
// reads it (IntegerText.h). Its default is 0.
struct IntegerCodec {};
// An EffectType, as ToString() and ToEffectType() spell it. Its default is
// Unknown.
struct EffectTypeCodec {};
// "_type": the fixed name of the item's class. The item reader reads it
// before anything else, to choose the class it makes.
struct KindCodec {};
// A track's "type": "SUMMARY" for TrackType::Summary, "Unknown" for any
// other type. Never read: every track read is a Summary track.
struct TrackTypeCodec {};
// An array of objects of the table FormatOf<Element> (timeline lists). A
// failing element ends the read: it is dropped, and its failure is the
// read's.
template <typename Element>
struct ObjectListCodec {};
// A track's array of items (shared pointers). A failing item does not fail
// the track: it is kept as far as it was read, or as an entry without an
// item when none could be made.
struct ItemListCodec {};
// The members of a nested object (FormatOf<Value>) written into this
// object's own, without a key (a transition item's effect). Read whole from
// this object into a fresh value, which is stored only when all of it was
// read.
template <typename Value>
struct InlineCodec {};

template <typename Codec>
inline constexpr bool IsListCodec = false;
template <typename Element>
inline constexpr bool IsListCodec<ObjectListCodec<Element>> = true;
template <>
inline constexpr bool IsListCodec<ItemListCodec> = true;

template <typename Codec>
inline constexpr bool IsInlineCodec = false;
template <typename Value>
inline constexpr bool IsInlineCodec<InlineCodec<Value>> = true;

// Whether a value holds its codec's default, which Omit::WhenDefault leaves
// out.
inline bool IsDefault(const Identifier& value) {
    return value == Identifier::Empty();
}
inline bool IsDefault(const std::string& value) {
    return value.empty();
}
inline bool IsDefault(std::int64_t value) {
    return value == 0;
}
inline bool IsDefault(EffectType value) {
    return value == EffectType::Unknown;
}
template <typename List>
bool IsDefault(const List& list) {
    return list.empty();
}

inline const char* TrackTypeText(TrackType type) {
    return type == TrackType::Summary ? TrackProperties::SummaryType : TrackProperties::UnknownType;
}

}  // namespace Orv::TimelineEngineModel::Serialization::Json::Detail
