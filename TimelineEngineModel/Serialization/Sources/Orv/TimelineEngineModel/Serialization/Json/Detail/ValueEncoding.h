#pragma once

// The encodings that every object of the document shares. All scalars are
// JSON strings: 64-bit integers as their decimal text, identifiers as their
// text. Readers take a key only when its value is a JSON string and skip
// anything else silently.

#include <Orv/BusinessEntityModel/BaseTypes/Identifier.h>
#include <Orv/Common/Serialization/Json/JsonObject.h>
#include <Orv/Common/Serialization/Json/Stringer.h>

#include <charconv>
#include <cstddef>
#include <cstdint>
#include <stdexcept>
#include <string>

namespace Orv::TimelineEngineModel::Serialization::Json::Detail {

using Orv::BusinessEntityModel::BaseTypes::Identifier;
using Orv::Common::Serialization::Json::JsonObject;
using Orv::Common::Serialization::Json::Stringer;

// ---- Writing -------------------------------------------------------------

// The keys are character arrays known at compile time; passing them as
// arrays (Key<N>, Value<N>) lets the Stringer write the common case inline.

// Decimal text of a 64-bit integer as std::to_string writes it (optional minus
// sign, no leading zeros), formatted on the stack.
class IntegerText {
public:
    static constexpr std::size_t Capacity = 24;  // 20 characters for INT64_MIN, and the NUL

    explicit IntegerText(int64_t value) noexcept {
        const auto end = std::to_chars(digits, digits + Capacity - 1, value).ptr;
        *end = '\0';
    }
    const char (&Text() const noexcept)[Capacity] { return digits; }

private:
    char digits[Capacity];
};

template <std::size_t KeySize>
void WriteInteger(Stringer& stringer, const char (&key)[KeySize], int64_t value) {
    const IntegerText text(value);
    stringer.Key<KeySize>(key);
    stringer.Value<IntegerText::Capacity>(text.Text());
}

// Zero means "not set" and is left out.
template <std::size_t KeySize>
void WriteNonZeroInteger(Stringer& stringer, const char (&key)[KeySize], int64_t value) {
    if (value != 0) {
        WriteInteger(stringer, key, value);
    }
}

// The empty identifier is left out. Its text, like every text, ends at a NUL
// character.
template <std::size_t KeySize>
void WriteIdentifier(Stringer& stringer, const char (&key)[KeySize], const Identifier& value) {
    if (value != Identifier::Empty()) {
        stringer.Key<KeySize>(key);
        stringer.Value(value.Value());
    }
}

// The empty text is left out. Like every text, it ends at a NUL character.
template <std::size_t KeySize>
void WriteNonEmptyText(Stringer& stringer, const char (&key)[KeySize], const std::string& value) {
    if (!value.empty()) {
        stringer.Key<KeySize>(key);
        stringer.Value(value);
    }
}

// A member whose text is fixed, such as a kind name.
template <std::size_t KeySize, std::size_t TextSize>
void WriteFixedText(Stringer& stringer, const char (&key)[KeySize], const char (&text)[TextSize]) {
    stringer.Key<KeySize>(key);
    stringer.Value<TextSize>(text);
}

// ---- Reading -------------------------------------------------------------

// The string under `key`, or nullptr when the key is absent, null or holds
// any other JSON type. Looking a key up in a value that is neither an object
// nor null throws jsoncpp's logic error.
inline const JsonObject* FindString(const JsonObject& object, const char* key) {
    const JsonObject& value = object[key];
    return value.isString() ? &value : nullptr;
}

// std::stoll in base 10: leading white space skipped, optional sign, digits
// up to the first other character. No digits: std::invalid_argument; out of
// the int64_t range: std::out_of_range; both with the text "stoll".
inline int64_t ParseInteger(const std::string& text) {
    return std::stoll(text, nullptr, 10);
}

template <typename Setter>
void ReadText(const JsonObject& object, const char* key, Setter&& setter) {
    if (const JsonObject* value = FindString(object, key)) {
        setter(value->asString());
    }
}

template <typename Setter>
void ReadIdentifier(const JsonObject& object, const char* key, Setter&& setter) {
    if (const JsonObject* value = FindString(object, key)) {
        setter(Identifier(value->asString()));
    }
}

template <typename Setter>
void ReadInteger(const JsonObject& object, const char* key, Setter&& setter) {
    if (const JsonObject* value = FindString(object, key)) {
        setter(ParseInteger(value->asString()));
    }
}

// For a pointer variant handed an empty pointer: with no key to read there is
// nothing to do; a key that would be read has no object to go into, which is
// reported rather than silently dropped.
template <std::size_t KeyCount>
void RequireNothingToFill(const JsonObject& object, const char* const (&keys)[KeyCount], const char* entity) {
    for (const char* key : keys) {
        if (FindString(object, key) != nullptr) {
            throw std::invalid_argument(std::string("no ") + entity + " to fill: the target pointer is empty");
        }
    }
}

}  // namespace Orv::TimelineEngineModel::Serialization::Json::Detail
