#pragma once

// The text form of the 64-bit integers: written as std::to_string writes
// them, read as std::stoll reads them.

#include <charconv>
#include <cstddef>
#include <cstdint>
#include <stdexcept>
#include <string>

namespace Orv::TimelineEngineModel::Serialization::Json::Detail {

// Decimal text of a 64-bit integer as std::to_string writes it (optional minus
// sign, no leading zeros), formatted on the stack.
class IntegerText {
public:
    static constexpr std::size_t Capacity = 24;  // 20 characters for INT64_MIN, and the NUL

    explicit IntegerText(std::int64_t value) noexcept {
        const auto end = std::to_chars(digits, digits + Capacity - 1, value).ptr;
        *end = '\0';
        size = static_cast<std::size_t>(end - digits);
    }
    const char (&Text() const noexcept)[Capacity] { return digits; }
    std::size_t Size() const noexcept { return size; }

private:
    char digits[Capacity];
    std::size_t size;
};

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
inline std::int64_t ParseInteger(const char* p, const char* end) {
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
    const std::uint64_t limit = negative ? std::uint64_t{1} << 63 : (std::uint64_t{1} << 63) - 1;
    std::uint64_t magnitude = 0;
    for (; p != end && *p >= '0' && *p <= '9'; ++p) {
        const auto digit = static_cast<std::uint64_t>(*p - '0');
        if (magnitude > (limit - digit) / 10) {
            ThrowOutOfRange();  // further digits cannot bring it back
        }
        magnitude = magnitude * 10 + digit;
    }
    return negative ? static_cast<std::int64_t>(0 - magnitude) : static_cast<std::int64_t>(magnitude);
}

inline std::int64_t ParseInteger(const std::string& text) {
    return ParseInteger(text.data(), text.data() + text.size());
}

// Whether the text is the one std::to_string writes for some value: an
// optional minus, then "0" alone or digits without a leading zero, and no
// "-0". (ParseInteger tells whether the value fits.)
inline bool IsCanonicalInteger(const char* p, const char* end) {
    const bool negative = p != end && *p == '-';
    p += negative ? 1 : 0;
    if (p == end || (*p == '0' && (negative || p + 1 != end))) {
        return false;
    }
    for (; p != end; ++p) {
        if (*p < '0' || *p > '9') {
            return false;
        }
    }
    return true;
}

}  // namespace Orv::TimelineEngineModel::Serialization::Json::Detail
