#pragma once

// The text form of the 64-bit integers: written as std::to_string writes
// them, read as std::stoll reads them.

#include <charconv>
#include <cstddef>
#include <cstdint>
#include <stdexcept>
#include <string_view>

namespace Orv::TimelineEngineModel::Serialization::Json::Detail {

// Decimal text of a 64-bit integer as std::to_string writes it (optional minus
// sign, no leading zeros), formatted on the stack.
class IntegerText {
public:
    static constexpr std::size_t Capacity = 24;  // 20 characters for INT64_MIN, and the NUL

    explicit IntegerText(std::int64_t value) noexcept
        : size(static_cast<std::size_t>(std::to_chars(digits, digits + Capacity, value).ptr - digits)) {}
    std::string_view Text() const noexcept { return std::string_view(digits, size); }

private:
    char digits[Capacity];
    std::size_t size;
};

// What std::stoll in base 10 makes of a text, and how the text stands to the
// one the writer writes for the value, in one pass. std::stoll skips white
// space (as isspace() sees it in the C locale), takes an optional sign and
// the digits up to the first other character, and fails without a digit or
// outside the int64_t range. The text may hold NUL characters: it ends there
// for std::stoll, and so here.
struct IntegerReading {
    enum class Form {
        Canonical,   // the text the writer writes for its value
        OtherForm,   // the whole text read, but written differently: " 7", "+7", "007", "-0"
        Suffix,      // digits, then something else that is ignored: "12abc"
        NoDigits,    // std::stoll fails
        OutOfRange,  // std::stoll fails
    };
    Form form = Form::Canonical;
    std::int64_t value = 0;

    static IntegerReading Of(const char* p, const char* end) noexcept {
        const char* const start = p;
        while (p != end && (*p == ' ' || (*p >= '\t' && *p <= '\r'))) {
            ++p;
        }
        const bool negative = p != end && *p == '-';
        const bool plain = p == start && (p == end || *p != '+');  // no space, no plus sign
        p += p != end && (*p == '-' || *p == '+') ? 1 : 0;
        const char* const digits = p;
        // The magnitude, in unsigned arithmetic so that INT64_MIN fits. Up to
        // 18 digits it cannot leave the range; longer ones are read again.
        std::uint64_t magnitude = 0;
        for (; p != end && static_cast<unsigned char>(*p - '0') < 10; ++p) {
            magnitude = magnitude * 10 + static_cast<std::uint64_t>(*p - '0');
        }
        if (p == digits) {
            return {Form::NoDigits, 0};
        }
        if (p - digits > 18) {
            const std::uint64_t limit = negative ? std::uint64_t{1} << 63 : (std::uint64_t{1} << 63) - 1;
            magnitude = 0;
            for (const char* digit = digits; digit != p; ++digit) {
                const auto value = static_cast<std::uint64_t>(*digit - '0');
                if (magnitude > (limit - value) / 10) {
                    return {Form::OutOfRange, 0};
                }
                magnitude = magnitude * 10 + value;
            }
        }
        const std::int64_t value = negative ? static_cast<std::int64_t>(0 - magnitude) : static_cast<std::int64_t>(magnitude);
        const bool shortest = *digits != '0' || (p == digits + 1 && !negative);  // "0" alone, no "-0", no "007"
        return {p != end ? Form::Suffix : plain && shortest ? Form::Canonical : Form::OtherForm, value};
    }
};

// The text of std::stoll's failures.
inline constexpr char IntegerFailure[] = "stoll";

// std::stoll's value, or its failure: std::invalid_argument without digits,
// std::out_of_range outside the int64_t range.
inline std::int64_t ValueOf(const IntegerReading& reading) {
    if (reading.form == IntegerReading::Form::NoDigits) {
        throw std::invalid_argument(IntegerFailure);
    }
    if (reading.form == IntegerReading::Form::OutOfRange) {
        throw std::out_of_range(IntegerFailure);
    }
    return reading.value;
}

inline std::int64_t ParseInteger(const char* begin, const char* end) {
    return ValueOf(IntegerReading::Of(begin, end));
}

}  // namespace Orv::TimelineEngineModel::Serialization::Json::Detail
