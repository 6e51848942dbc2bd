#pragma once

// The encodings that every object of the document shares. All scalars are
// JSON strings: 64-bit integers as their decimal text, identifiers as their
// text. Readers take a key only when its value is a JSON string and skip
// anything else silently.

#include <Orv/BusinessEntityModel/BaseTypes/Identifier.h>
#include <Orv/Common/Serialization/Json/JsonObject.h>
#include <Orv/Common/Serialization/Json/Stringer.h>

#include "MemberLookup.h"

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

// The same, among members already found (MemberLookup.h).
template <std::size_t Count>
const JsonObject* FindString(const Members<Count>& members, const char* key) {
    const JsonObject* value = members.Find(key);
    return value != nullptr && value->isString() ? value : nullptr;
}

// The bytes of a JSON string, read in place rather than copied out as
// asString() would (which gives the empty text where this gives an empty
// range).
struct TextRange {
    const char* begin;
    const char* end;
};

inline TextRange Text(const JsonObject& stringValue) {
    TextRange text{"", nullptr};
    text.end = text.begin;
    stringValue.getString(&text.begin, &text.end);
    return text;
}

[[noreturn]] inline void ThrowNoDigits() {
    throw std::invalid_argument("stoll");
}

[[noreturn]] inline void ThrowOutOfRange() {
    throw std::out_of_range("stoll");
}

// White space as isspace() sees it in the C locale.
constexpr bool IsSpace(char c) {
    return c == ' ' || (c >= '\t' && c <= '\r');
}

// std::stoll in base 10, on a text that may hold NUL characters (the text
// ends there, as it does for std::stoll): leading white space skipped, an
// optional sign, digits up to the first other character. No digits:
// std::invalid_argument; outside the int64_t range: std::out_of_range; both
// with the text "stoll". Hand-written because std::stoll needs a std::string
// and goes through strtoll's locale-aware machinery for every member.
inline int64_t ParseInteger(const char* p, const char* end) {
    while (p != end && IsSpace(*p)) {
        ++p;
    }
    const bool negative = p != end && *p == '-';
    if (p != end && (*p == '-' || *p == '+')) {
        ++p;
    }
    if (p == end || *p < '0' || *p > '9') {
        ThrowNoDigits();
    }
    // The magnitude, in unsigned arithmetic so that INT64_MIN fits.
    const uint64_t limit = negative ? uint64_t{1} << 63 : (uint64_t{1} << 63) - 1;
    uint64_t magnitude = 0;
    for (; p != end && *p >= '0' && *p <= '9'; ++p) {
        const auto digit = static_cast<uint64_t>(*p - '0');
        if (magnitude > (limit - digit) / 10) {
            ThrowOutOfRange();  // further digits cannot bring it back
        }
        magnitude = magnitude * 10 + digit;
    }
    return negative ? static_cast<int64_t>(0 - magnitude) : static_cast<int64_t>(magnitude);
}

inline int64_t ParseInteger(const std::string& text) {
    return ParseInteger(text.data(), text.data() + text.size());
}

// `Source` is a JsonObject or a Members table of one.
template <typename Source, typename Setter>
void ReadText(const Source& source, const char* key, Setter&& setter) {
    if (const JsonObject* value = FindString(source, key)) {
        const TextRange text = Text(*value);
        setter(std::string(text.begin, text.end));
    }
}

template <typename Source, typename Setter>
void ReadIdentifier(const Source& source, const char* key, Setter&& setter) {
    if (const JsonObject* value = FindString(source, key)) {
        const TextRange text = Text(*value);
        setter(Identifier(std::string(text.begin, text.end)));
    }
}

template <typename Source, typename Setter>
void ReadInteger(const Source& source, const char* key, Setter&& setter) {
    if (const JsonObject* value = FindString(source, key)) {
        const TextRange text = Text(*value);
        setter(ParseInteger(text.begin, text.end));
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
