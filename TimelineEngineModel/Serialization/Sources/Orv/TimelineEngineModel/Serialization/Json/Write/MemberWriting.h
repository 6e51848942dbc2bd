#pragma once

// Writes an object's members as its format table says: in the table's
// order, each as its key and its value, unless the member is left out.

#include <Orv/Common/Serialization/Json/Stringer.h>

#include "../Format/IntegerText.h"
#include "../Format/ObjectFormats.h"

#include <memory>

namespace Orv::TimelineEngineModel::Serialization::Json {
class MediaInfoToJsonConverter;
class TrackItemToJsonConverter;
class TrackToJsonConverter;
class TransitionEffectToJsonConverter;
}  // namespace Orv::TimelineEngineModel::Serialization::Json

namespace Orv::TimelineEngineModel::Serialization::Json::Detail {

using Orv::Common::Serialization::Json::Stringer;

// The writer whose Append fills the object of a list element or an inlined
// value (declarations only), made for each list or value it writes.
TrackToJsonConverter WriterFor(const Track&);
MediaInfoToJsonConverter WriterFor(const MediaInfo&);
TrackItemToJsonConverter WriterFor(const std::shared_ptr<TrackItem>&);
TransitionEffectToJsonConverter WriterFor(const TransitionEffect&);
template <typename Value>
using WriterOf = decltype(WriterFor(std::declval<const Value&>()));

// Every text ends at its first NUL character.
inline void WriteValue(Stringer& stringer, IdentifierCodec, const Identifier& value) {
    stringer.Value(value.Value());
}
inline void WriteValue(Stringer& stringer, TextCodec, const std::string& value) {
    stringer.Value(value);
}
inline void WriteValue(Stringer& stringer, IntegerCodec, std::int64_t value) {
    stringer.Value(IntegerText(value).Text());
}
inline void WriteValue(Stringer& stringer, EffectTypeCodec, EffectType value) {
    stringer.Value(ToString(value));
}
inline void WriteValue(Stringer& stringer, KindCodec, std::string_view name) {
    stringer.Value(name);
}
inline void WriteValue(Stringer& stringer, TrackTypeCodec, TrackType value) {
    stringer.Value(TrackTypeText(value));
}

// An empty list writes nothing at all: no key, no empty array. Every
// element object and the array are closed on every way out, innermost
// first.
template <typename List>
void WriteList(Stringer& stringer, std::string_view key, const List& list) {
    if (list.empty()) {
        return;
    }
    const WriterOf<typename List::value_type> writer;
    stringer.Key(key);
    const auto array = stringer.ArrayScope();
    for (const auto& entry : list) {
        const auto object = stringer.ObjectScope();
        writer.Append(stringer, entry);
    }
}

template <typename Value>
void WriteMember(Stringer& stringer, std::string_view key, ItemListCodec, const Value& list) {
    WriteList(stringer, key, list);
}
template <typename Element, typename Value>
void WriteMember(Stringer& stringer, std::string_view key, ObjectListCodec<Element>, const Value& list) {
    WriteList(stringer, key, list);
}
template <typename Inlined>
void WriteMember(Stringer& stringer, std::string_view, InlineCodec<Inlined>, const Inlined& value) {
    WriterOf<Inlined>().Append(stringer, value);
}
template <typename Codec, typename Value>
void WriteMember(Stringer& stringer, std::string_view key, Codec codec, const Value& value) {
    stringer.Key(key);
    WriteValue(stringer, codec, value);
}

template <typename Object>
void WriteMembers(Stringer& stringer, const Object& object) {
    ForEachMember(FormatOf<Object>::table, [&](const auto& member) {
        using Member = std::decay_t<decltype(member)>;
        decltype(auto) value = member.get(object);
        if constexpr (Member::omit == Omit::WhenDefault) {
            if (IsDefault(value)) {
                return;
            }
        }
        WriteMember(stringer, member.key, typename Member::CodecType(), value);
    });
}

}  // namespace Orv::TimelineEngineModel::Serialization::Json::Detail
