#include "StrictJsonValidator.h"

#include "Utf8Validation.h"

#include <algorithm>
#include <charconv>
#include <cstdint>
#include <string>
#include <system_error>

namespace Orv::TimelineEngineModel::Serialization::Json::Detail {

namespace {

// One pass over the text with an explicit stack of the open containers, so
// that any depth is checked without recursion. Each step either moves on or
// records the first violation and stops.
class Validation {
public:
    explicit Validation(std::string_view text) : text(text) {}

    std::optional<StrictJsonValidator::Violation> Run() {
        if (text.substr(0, 3) == "\xEF\xBB\xBF") {
            return StrictJsonValidator::Violation{0, "a byte order mark"};
        }
        if (Value()) {
            SkipSpace();
            if (position != text.size()) {
                Fail(position, text[position] == '\0' ? "a raw NUL byte" : "text after the root value");
            }
        }
        return violation;
    }

private:
    // A value and everything nested in it.
    bool Value() {
        std::string open;  // '{' or '[' for each open container
        for (;;) {
            SkipSpace();
            if (position == text.size()) {
                return Fail(position, "the text ends where a value is due");
            }
            const char c = text[position];
            if (c == '{' || c == '[') {
                ++position;
                open.push_back(c);
                SkipSpace();
                const char close = c == '{' ? '}' : ']';
                if (position < text.size() && text[position] == close) {
                    ++position;
                    open.pop_back();
                } else if (c == '{' && !Key()) {
                    return false;
                } else {
                    continue;
                }
            } else if (!Scalar(c)) {
                return false;
            }
            // After a value: separators and closing brackets.
            for (;;) {
                if (open.empty()) {
                    return true;
                }
                SkipSpace();
                const char close = open.back() == '{' ? '}' : ']';
                if (position < text.size() && text[position] == close) {
                    ++position;
                    open.pop_back();
                    continue;
                }
                if (position < text.size() && text[position] == ',') {
                    ++position;
                    SkipSpace();
                    if (position < text.size() && text[position] == close) {
                        return Fail(position, open.back() == '{' ? "a comma before \"}\"" : "a comma before \"]\"");
                    }
                    if (open.back() == '{' && !Key()) {
                        return false;
                    }
                    break;
                }
                return Fail(position, open.back() == '{' ? "\",\" or \"}\" is due" : "\",\" or \"]\" is due");
            }
        }
    }

    // A member's key and its colon.
    bool Key() {
        SkipSpace();
        if (position == text.size() || text[position] != '"') {
            return Fail(position, "a key is due");
        }
        if (!String()) {
            return false;
        }
        SkipSpace();
        if (position == text.size() || text[position] != ':') {
            return Fail(position, "\":\" is due");
        }
        ++position;
        return true;
    }

    bool Scalar(char c) {
        switch (c) {
            case '"': return String();
            case 't': return Literal("true");
            case 'f': return Literal("false");
            case 'n': return Literal("null");
            case '\0': return Fail(position, "a raw NUL byte");
            default:
                if (c == '-' || (c >= '0' && c <= '9')) {
                    return Number();
                }
                return Fail(position, "a value is due");
        }
    }

    // The violation is placed at the first byte that differs.
    bool Literal(std::string_view literal) {
        for (const char expected : literal) {
            if (position == text.size() || text[position] != expected) {
                return Fail(position, "a value is due");
            }
            ++position;
        }
        return true;
    }

    // number = [ "-" ] ( "0" / digit1-9 *digit ) [ "." 1*digit ] [ ( "e" / "E" ) [ "-" / "+" ] 1*digit ],
    // and, like common strict parsers, within the range of a double.
    bool Number() {
        const std::size_t start = position;
        position += text[position] == '-' ? 1 : 0;
        if (!Digit()) {
            return Fail(position, "a digit is due");
        }
        if (text[position] == '0') {
            ++position;
        } else {
            SkipDigits();
        }
        if (position < text.size() && text[position] == '.') {
            ++position;
            if (!Digit()) {
                return Fail(position, "a digit is due");
            }
            SkipDigits();
        }
        if (position < text.size() && (text[position] == 'e' || text[position] == 'E')) {
            ++position;
            if (position < text.size() && (text[position] == '+' || text[position] == '-')) {
                ++position;
            }
            if (!Digit()) {
                return Fail(position, "a digit is due");
            }
            SkipDigits();
        }
        if (Overflows(text.substr(start, position - start))) {
            return Fail(start, "a number beyond the range of a double");
        }
        return true;
    }

    // Whether a number's value rounds to infinity as a double (values that
    // round to zero are accepted).
    static bool Overflows(std::string_view number) {
        double value = 0;
        const auto [end, error] = std::from_chars(number.data(), number.data() + number.size(), value);
        static_cast<void>(end);
        if (error != std::errc::result_out_of_range) {
            return false;
        }
        // Out of range either way: too large exactly when the first nonzero
        // digit stands at a positive power of ten.
        long long exponent = 0;
        const std::size_t e = number.find_first_of("eE");
        if (e != std::string_view::npos) {
            const bool negative = number[e + 1] == '-';
            for (std::size_t i = e + 1; i < number.size(); ++i) {
                if (number[i] >= '0' && number[i] <= '9' && exponent < 1000000000) {
                    exponent = exponent * 10 + (number[i] - '0');  // saturates far beyond any mantissa
                }
            }
            exponent = negative ? -exponent : exponent;
        }
        const std::string_view mantissa = number.substr(0, e);
        const std::size_t point = std::min(mantissa.find('.'), mantissa.size());
        const std::size_t firstNonzero = mantissa.find_first_of("123456789");
        const long long place = firstNonzero < point ? static_cast<long long>(point - firstNonzero - 1)
                                                      : -static_cast<long long>(firstNonzero - point);
        return exponent + place > 0;
    }

    bool String() {
        ++position;  // the opening quote
        for (;;) {
            if (position == text.size()) {
                return Fail(position, "the text ends inside a string");
            }
            const auto c = static_cast<unsigned char>(text[position]);
            if (c == '"') {
                ++position;
                return true;
            }
            if (c == '\\') {
                if (!Escape()) {
                    return false;
                }
            } else if (c < 0x20) {
                return Fail(position, c == 0 ? "a raw NUL byte" : "a raw control character in a string");
            } else if (c < 0x80) {
                ++position;
            } else if (!Utf8Character()) {
                return false;
            }
        }
    }

    bool Escape() {
        const std::size_t start = position;
        ++position;
        if (position == text.size()) {
            return Fail(start, "the text ends inside a string");
        }
        const char kind = text[position++];
        if (kind != 'u') {
            const bool known = kind == '"' || kind == '\\' || kind == '/' || kind == 'b' || kind == 'f' ||
                               kind == 'n' || kind == 'r' || kind == 't';
            return known || Fail(start, "an unknown escape");
        }
        std::uint32_t unit = 0;
        if (!Hex4(unit)) {
            return Fail(start, "\\u is not followed by four hexadecimal digits");
        }
        // A high surrogate must be paired; a lone low one passes, as the
        // grammar allows.
        if (unit >= 0xD800 && unit <= 0xDBFF) {
            std::uint32_t low = 0;
            if (text.substr(position, 2) != "\\u" || (position += 2, !Hex4(low)) || low < 0xDC00 || low > 0xDFFF) {
                return Fail(start, "a surrogate escape without its pair");
            }
        }
        return true;
    }

    bool Hex4(std::uint32_t& unit) {
        for (int i = 0; i < 4; ++i, ++position) {
            if (position == text.size()) {
                return false;
            }
            const char c = text[position];
            const int digit = c >= '0' && c <= '9'   ? c - '0'
                              : c >= 'a' && c <= 'f' ? c - 'a' + 10
                              : c >= 'A' && c <= 'F' ? c - 'A' + 10
                                                     : -1;
            if (digit < 0) {
                return false;
            }
            unit = unit << 4 | static_cast<std::uint32_t>(digit);
        }
        return true;
    }

    // A character of two to four bytes, well formed (no overlong form, no
    // surrogate, nothing above U+10FFFF).
    bool Utf8Character() {
        const auto lead = static_cast<unsigned char>(text[position]);
        const std::size_t length = lead >= 0xF0 ? 4 : lead >= 0xE0 ? 3 : 2;
        if (FirstInvalidUtf8(text.substr(position, length)) != std::string_view::npos) {
            return Fail(position, "invalid UTF-8");
        }
        position += length;
        return true;
    }

    bool Digit() const { return position < text.size() && text[position] >= '0' && text[position] <= '9'; }

    void SkipDigits() {
        while (Digit()) {
            ++position;
        }
    }

    void SkipSpace() {
        while (position < text.size() &&
               (text[position] == ' ' || text[position] == '\t' || text[position] == '\n' || text[position] == '\r')) {
            ++position;
        }
    }

    bool Fail(std::size_t offset, const char* reason) {
        const std::string_view rest = text.substr(offset, 2);
        if (rest == "//" || rest == "/*") {
            reason = "a comment";
        }
        violation = StrictJsonValidator::Violation{offset, reason};
        return false;
    }

    std::string_view text;
    std::size_t position = 0;
    std::optional<StrictJsonValidator::Violation> violation;
};

}  // namespace

std::optional<StrictJsonValidator::Violation> StrictJsonValidator::Validate(std::string_view text) {
    return Validation(text).Run();
}

}  // namespace Orv::TimelineEngineModel::Serialization::Json::Detail
