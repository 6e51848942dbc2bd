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
// that any depth is checked without recursion. Each step moves on, or records
// the first violation and returns false.
class Validation {
public:
    explicit Validation(std::string_view text) : text(text) {}

    std::optional<StrictJsonValidator::Violation> Run() {
        if (text.substr(0, 3) == "\xEF\xBB\xBF") {
            Fail(0, "a byte order mark");
        } else if (Value() && (SkipSpace(), position != text.size())) {
            Fail(position, At() == '\0' ? "a raw NUL byte" : "text after the root value");
        }
        return violation;
    }

private:
    char At() const { return position < text.size() ? text[position] : '\0'; }
    bool AtEnd() const { return position == text.size(); }

    // A value and everything nested in it.
    bool Value() {
        std::string open;  // '{' or '[' for each open container
        for (;;) {
            SkipSpace();
            const char c = At();
            if (c == '{' || c == '[') {
                ++position;
                open.push_back(c == '{' ? '}' : ']');
                SkipSpace();
                if (At() == open.back()) {
                    ++position;
                    open.pop_back();
                } else if (c == '[') {
                    continue;
                } else if (!Key()) {
                    return false;
                } else {
                    continue;
                }
            } else if (!Scalar(c)) {
                return false;
            }
            // After a value: closing brackets, or a separator before the next.
            for (;; ++position, open.pop_back()) {
                if (open.empty()) {
                    return true;
                }
                SkipSpace();
                if (At() != open.back()) {
                    break;
                }
            }
            if (At() != ',') {
                return Fail(position, open.back() == '}' ? "\",\" or \"}\" is due" : "\",\" or \"]\" is due");
            }
            ++position;
            SkipSpace();
            if (At() == open.back() && !AtEnd()) {
                return Fail(position, open.back() == '}' ? "a comma before \"}\"" : "a comma before \"]\"");
            }
            if (open.back() == '}' && !Key()) {
                return false;
            }
        }
    }

    // A member's key and its colon.
    bool Key() {
        SkipSpace();
        if (At() != '"' || AtEnd()) {
            return Fail(position, "a key is due");
        }
        if (!String()) {
            return false;
        }
        SkipSpace();
        return Expect(':', "\":\" is due");
    }

    bool Scalar(char c) {
        if (AtEnd()) {
            return Fail(position, "the text ends where a value is due");
        }
        switch (c) {
            case '"': return String();
            case 't': return Literal("true");
            case 'f': return Literal("false");
            case 'n': return Literal("null");
            case '\0': return Fail(position, "a raw NUL byte");
            default: return c == '-' || IsDigit(c) ? Number() : Fail(position, "a value is due");
        }
    }

    // The violation is placed at the first byte that differs.
    bool Literal(std::string_view literal) {
        for (const char expected : literal) {
            if (!Expect(expected, "a value is due")) {
                return false;
            }
        }
        return true;
    }

    // number = [ "-" ] ( "0" / digit1-9 *digit ) [ "." 1*digit ] [ ( "e" / "E" ) [ "-" / "+" ] 1*digit ],
    // and, like common strict parsers, within the range of a double.
    bool Number() {
        const std::size_t start = position;
        position += At() == '-' ? 1 : 0;
        if (At() == '0') {
            ++position;
        } else if (!Digits()) {
            return false;
        }
        if (At() == '.' && (++position, !Digits())) {
            return false;
        }
        if (At() == 'e' || At() == 'E') {
            ++position;
            position += At() == '+' || At() == '-' ? 1 : 0;
            if (!Digits()) {
                return false;
            }
        }
        return !Overflows(text.substr(start, position - start)) ||
               Fail(start, "a number beyond the range of a double");
    }

    // One digit or more.
    bool Digits() {
        if (!IsDigit(At())) {
            return Fail(position, "a digit is due");
        }
        while (IsDigit(At())) {
            ++position;
        }
        return true;
    }

    // Whether a number's value rounds to infinity as a double (values that
    // round to zero are accepted): out of range either way, it is too large
    // exactly when its first nonzero digit stands at a positive power of ten.
    static bool Overflows(std::string_view number) {
        double value = 0;
        if (std::from_chars(number.data(), number.data() + number.size(), value).ec != std::errc::result_out_of_range) {
            return false;
        }
        long long exponent = 0;
        const std::size_t e = std::min(number.find_first_of("eE"), number.size());
        for (std::size_t i = e + 1; i < number.size(); ++i) {
            if (IsDigit(number[i]) && exponent < 1000000000) {
                exponent = exponent * 10 + (number[i] - '0');  // saturates far beyond any mantissa
            }
        }
        exponent = e + 1 < number.size() && number[e + 1] == '-' ? -exponent : exponent;
        const std::string_view mantissa = number.substr(0, e);
        const std::size_t point = std::min(mantissa.find('.'), mantissa.size());
        const std::size_t first = mantissa.find_first_of("123456789");
        const long long place = first < point ? static_cast<long long>(point - first - 1)
                                              : -static_cast<long long>(first - point);
        return exponent + place > 0;
    }

    bool String() {
        for (++position; !AtEnd();) {
            const auto c = static_cast<unsigned char>(text[position]);
            if (c == '"') {
                ++position;
                return true;
            }
            if (c < 0x20) {
                return Fail(position, c == 0 ? "a raw NUL byte" : "a raw control character in a string");
            }
            if (c == '\\' ? !Escape() : c >= 0x80 ? !Utf8Character() : (++position, false)) {
                return false;
            }
        }
        return Fail(position, "the text ends inside a string");
    }

    // A high surrogate must be paired; a lone low one passes, as the grammar
    // allows.
    bool Escape() {
        const std::size_t start = position++;
        if (AtEnd()) {
            return Fail(start, "the text ends inside a string");
        }
        const char kind = text[position++];
        if (kind != 'u') {
            return std::string_view("\"\\/bfnrt").find(kind) != std::string_view::npos ||
                   Fail(start, "an unknown escape");
        }
        std::uint32_t unit = 0;
        if (!Hex4(unit)) {
            return Fail(start, "\\u is not followed by four hexadecimal digits");
        }
        if (unit < 0xD800 || unit > 0xDBFF) {
            return true;
        }
        std::uint32_t low = 0;
        const bool paired = text.substr(position, 2) == "\\u" && (position += 2, Hex4(low)) && low >= 0xDC00 &&
                            low <= 0xDFFF;
        return paired || Fail(start, "a surrogate escape without its pair");
    }

    bool Hex4(std::uint32_t& unit) {
        for (int i = 0; i < 4; ++i, ++position) {
            const char c = At();
            const int digit = IsDigit(c) ? c - '0' : c >= 'a' && c <= 'f' ? c - 'a' + 10 : c >= 'A' && c <= 'F' ? c - 'A' + 10 : -1;
            if (digit < 0 || AtEnd()) {
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

    static bool IsDigit(char c) { return c >= '0' && c <= '9'; }

    void SkipSpace() {
        while (At() == ' ' || At() == '\t' || At() == '\n' || At() == '\r') {
            ++position;
        }
    }

    bool Expect(char c, const char* reason) {
        if (At() != c || AtEnd()) {
            return Fail(position, reason);
        }
        ++position;
        return true;
    }

    bool Fail(std::size_t offset, const char* reason) {
        const std::string_view rest = text.substr(offset, 2);
        violation = StrictJsonValidator::Violation{offset, rest == "//" || rest == "/*" ? "a comment" : reason};
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
