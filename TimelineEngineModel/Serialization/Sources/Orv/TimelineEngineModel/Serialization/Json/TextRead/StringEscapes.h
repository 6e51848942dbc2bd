#pragma once

// JSON string bodies read straight from the document text, the way jsoncpp
// decodes them: the escapes \" \\ \/ \b \f \n \r \t and \uXXXX, a \u escape
// written as its UTF-8 bytes, \u0000 as a NUL byte. The fast reader accepts
// only what it can prove jsoncpp decodes the same way; a lone surrogate escape
// is not among that (jsoncpp joins a high surrogate with whatever \u escape
// follows, and writes a lone low one as three bytes of invalid UTF-8).

#include <cstddef>
#include <cstdint>
#include <string>

namespace Orv::TimelineEngineModel::Serialization::Json::Detail {

// The bytes between a string's quotes, still escaped.
struct RawText {
    const char* begin = nullptr;
    const char* end = nullptr;
    bool escaped = false;
};

namespace StringEscapesImpl {

// The value of a hexadecimal digit, or -1.
inline int HexDigit(char c) noexcept {
    if (c >= '0' && c <= '9') return c - '0';
    if (c >= 'a' && c <= 'f') return c - 'a' + 10;
    if (c >= 'A' && c <= 'F') return c - 'A' + 10;
    return -1;
}

// Reads the four digits of a \u escape at `p`; false unless all four are
// hexadecimal. Stops at the first other byte, so it never passes the closing
// quote.
inline bool ReadHex4(const char*& p, std::uint32_t& value) noexcept {
    value = 0;
    for (int i = 0; i < 4; ++i) {
        const int digit = HexDigit(p[i]);
        if (digit < 0) {
            return false;
        }
        value = value << 4 | static_cast<std::uint32_t>(digit);
    }
    p += 4;
    return true;
}

inline bool IsHighSurrogate(std::uint32_t unit) noexcept { return unit >= 0xD800 && unit <= 0xDBFF; }
inline bool IsLowSurrogate(std::uint32_t unit) noexcept { return unit >= 0xDC00 && unit <= 0xDFFF; }

// Reads the escape after a backslash at `p` (which points past it) and gives
// the code point of a \u escape, or the byte of another escape (below 0x80).
// False for an escape outside the accepted set.
inline bool ReadEscape(const char*& p, std::uint32_t& codePoint) noexcept {
    const char kind = *p++;
    switch (kind) {
        case '"': codePoint = '"'; return true;
        case '\\': codePoint = '\\'; return true;
        case '/': codePoint = '/'; return true;
        case 'b': codePoint = '\b'; return true;
        case 'f': codePoint = '\f'; return true;
        case 'n': codePoint = '\n'; return true;
        case 'r': codePoint = '\r'; return true;
        case 't': codePoint = '\t'; return true;
        case 'u': break;
        default: return false;
    }
    if (!ReadHex4(p, codePoint) || IsLowSurrogate(codePoint)) {
        return false;
    }
    if (!IsHighSurrogate(codePoint)) {
        return true;
    }
    std::uint32_t low = 0;
    if (p[0] != '\\' || p[1] != 'u') {
        return false;
    }
    p += 2;
    if (!ReadHex4(p, low) || !IsLowSurrogate(low)) {
        return false;
    }
    codePoint = 0x10000 + ((codePoint - 0xD800) << 10) + (low - 0xDC00);
    return true;
}

inline void AppendUtf8(std::uint32_t codePoint, std::string& out) {
    char bytes[4];
    std::size_t count = 0;
    if (codePoint < 0x80) {
        bytes[count++] = static_cast<char>(codePoint);
    } else if (codePoint < 0x800) {
        bytes[count++] = static_cast<char>(0xC0 | codePoint >> 6);
        bytes[count++] = static_cast<char>(0x80 | (codePoint & 0x3F));
    } else if (codePoint < 0x10000) {
        bytes[count++] = static_cast<char>(0xE0 | codePoint >> 12);
        bytes[count++] = static_cast<char>(0x80 | (codePoint >> 6 & 0x3F));
        bytes[count++] = static_cast<char>(0x80 | (codePoint & 0x3F));
    } else {
        bytes[count++] = static_cast<char>(0xF0 | codePoint >> 18);
        bytes[count++] = static_cast<char>(0x80 | (codePoint >> 12 & 0x3F));
        bytes[count++] = static_cast<char>(0x80 | (codePoint >> 6 & 0x3F));
        bytes[count++] = static_cast<char>(0x80 | (codePoint & 0x3F));
    }
    out.append(bytes, count);
}

}  // namespace StringEscapesImpl

// Finds the end of the string body that starts at `begin` (just past the
// opening quote) and checks its escapes. The closing quote must exist, as it
// does in a text the parser has indexed. False for an escape that the fast
// reader does not accept.
inline bool ScanString(const char* begin, RawText& text) noexcept {
    text.begin = begin;
    text.escaped = false;
    const char* p = begin;
    for (;;) {
        const char c = *p;
        if (c == '"') {
            text.end = p;
            return true;
        }
        ++p;
        if (c == '\\') {
            std::uint32_t codePoint = 0;
            if (!StringEscapesImpl::ReadEscape(p, codePoint)) {
                return false;
            }
            text.escaped = true;
        }
    }
}

// The decoded bytes of a body that ScanString accepted.
inline void AssignText(const RawText& text, std::string& out) {
    if (!text.escaped) {
        out.assign(text.begin, text.end);
        return;
    }
    out.clear();
    const char* p = text.begin;
    while (p != text.end) {
        const char* run = p;
        while (p != text.end && *p != '\\') {
            ++p;
        }
        out.append(run, p);
        if (p != text.end) {
            ++p;
            std::uint32_t codePoint = 0;
            StringEscapesImpl::ReadEscape(p, codePoint);
            StringEscapesImpl::AppendUtf8(codePoint, out);
        }
    }
}

}  // namespace Orv::TimelineEngineModel::Serialization::Json::Detail
