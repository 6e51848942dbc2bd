#include "SvgWriter.h"

#include <cmath>
#include <cstdint>
#include <cstdio>

namespace OrvTool {

namespace {

const char* const kReplacement = "\xEF\xBF\xBD";  // U+FFFD
const char* const kEllipsis = "\xE2\x80\xA6";     // U+2026

bool IsContinuation(unsigned char byte) {
    return (byte & 0xC0) == 0x80;
}

// The length of the valid UTF-8 sequence at `at`, or 0. The ranges allowed
// for the second byte exclude overlong forms, surrogates and code points
// above U+10FFFF.
std::size_t SequenceLength(const std::string& bytes, std::size_t at, std::uint32_t& codePoint) {
    const auto byte = [&](std::size_t i) { return static_cast<unsigned char>(bytes[at + i]); };
    const unsigned char lead = byte(0);
    if (lead < 0x80) {
        codePoint = lead;
        return 1;
    }
    std::size_t length = 0;
    unsigned char low = 0x80;
    unsigned char high = 0xBF;
    if (lead >= 0xC2 && lead <= 0xDF) {
        length = 2;
    } else if (lead >= 0xE0 && lead <= 0xEF) {
        length = 3;
        low = lead == 0xE0 ? 0xA0 : 0x80;
        high = lead == 0xED ? 0x9F : 0xBF;
    } else if (lead >= 0xF0 && lead <= 0xF4) {
        length = 4;
        low = lead == 0xF0 ? 0x90 : 0x80;
        high = lead == 0xF4 ? 0x8F : 0xBF;
    } else {
        return 0;
    }
    if (at + length > bytes.size() || byte(1) < low || byte(1) > high) {
        return 0;
    }
    codePoint = lead & (0x7F >> length);
    for (std::size_t i = 1; i < length; ++i) {
        if (!IsContinuation(byte(i))) {
            return 0;
        }
        codePoint = (codePoint << 6) | (byte(i) & 0x3F);
    }
    return length;
}

// Char ::= #x9 | #xA | #xD | [#x20-#xD7FF] | [#xE000-#xFFFD] | [#x10000-#x10FFFF];
// the surrogates never get here.
bool IsXmlCharacter(std::uint32_t codePoint) {
    return codePoint == 0x9 || codePoint == 0xA || codePoint == 0xD || (codePoint >= 0x20 && codePoint < 0xFFFE) ||
           codePoint >= 0x10000;
}

// Valid text with the markup characters escaped; tab, line feed and carriage
// return as character references, so that attribute values keep them.
std::string Escape(const std::string& bytes) {
    const std::string valid = ValidXmlText(bytes);
    std::string escaped;
    escaped.reserve(valid.size());
    for (const char c : valid) {
        switch (c) {
            case '&': escaped += "&amp;"; break;
            case '<': escaped += "&lt;"; break;
            case '>': escaped += "&gt;"; break;
            case '"': escaped += "&quot;"; break;
            case '\t': escaped += "&#9;"; break;
            case '\n': escaped += "&#10;"; break;
            case '\r': escaped += "&#13;"; break;
            default: escaped += c; break;
        }
    }
    return escaped;
}

}  // namespace

std::string ValidXmlText(const std::string& bytes) {
    std::string valid;
    valid.reserve(bytes.size());
    for (std::size_t at = 0; at < bytes.size();) {
        std::uint32_t codePoint = 0;
        const std::size_t length = SequenceLength(bytes, at, codePoint);
        if (length == 0 || !IsXmlCharacter(codePoint)) {
            valid += kReplacement;
            at += length == 0 ? 1 : length;
            continue;
        }
        valid.append(bytes, at, length);
        at += length;
    }
    return valid;
}

std::size_t CharacterCount(const std::string& text) {
    std::size_t count = 0;
    for (const char c : text) {
        count += IsContinuation(static_cast<unsigned char>(c)) ? 0 : 1;
    }
    return count;
}

std::string ShortenText(const std::string& text, std::size_t limit) {
    const std::size_t count = CharacterCount(text);
    if (count <= limit) {
        return text;
    }
    if (limit == 0) {
        return {};
    }
    // Byte offsets of the character boundaries that the kept start ends at
    // and the kept end begins at.
    const std::size_t head = limit >= 7 ? (limit - 1) / 3 : 0;
    const std::size_t tail = limit - 1 - head;
    std::size_t headEnd = 0;
    std::size_t tailBegin = 0;
    std::size_t characters = 0;
    for (std::size_t at = 0; at <= text.size(); ++at) {
        if (at < text.size() && IsContinuation(static_cast<unsigned char>(text[at]))) {
            continue;
        }
        if (characters == head) {
            headEnd = at;
        }
        if (characters == count - tail) {
            tailBegin = at;
        }
        ++characters;
    }
    return text.substr(0, headEnd) + kEllipsis + text.substr(tailBegin);
}

SvgWriter::SvgWriter(double width, double height) {
    text = "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n";
    const std::string w = Number(width);
    const std::string h = Number(height);
    Open("svg", {{"xmlns", "http://www.w3.org/2000/svg"},
                 {"width", w},
                 {"height", h},
                 {"viewBox", "0 0 " + w + " " + h}});
}

void SvgWriter::Open(const char* name, const Attributes& attributes) {
    StartTag(name, attributes);
    text += ">\n";
    open.push_back(name);
}

void SvgWriter::Close() {
    if (open.empty()) {
        return;
    }
    const char* name = open.back();
    open.pop_back();
    Indent();
    text += "</";
    text += name;
    text += ">\n";
}

void SvgWriter::Element(const char* name, const Attributes& attributes, const std::string& content) {
    StartTag(name, attributes);
    if (content.empty()) {
        text += "/>\n";
        return;
    }
    text += '>';
    text += Escape(content);
    text += "</";
    text += name;
    text += ">\n";
}

std::string SvgWriter::Finish() {
    while (!open.empty()) {
        Close();
    }
    return std::move(text);
}

std::string SvgWriter::Number(double value) {
    if (!std::isfinite(value)) {
        value = 0;
    }
    char digits[64];
    std::snprintf(digits, sizeof digits, "%.1f", value);
    std::string number = digits;
    if (number.size() > 2 && number.compare(number.size() - 2, 2, ".0") == 0) {
        number.resize(number.size() - 2);
    }
    return number == "-0" ? "0" : number;
}

void SvgWriter::StartTag(const char* name, const Attributes& attributes) {
    Indent();
    text += '<';
    text += name;
    for (const auto& [attribute, value] : attributes) {
        text += ' ';
        text += attribute;
        text += "=\"";
        text += Escape(value);
        text += '"';
    }
}

void SvgWriter::Indent() {
    text.append(2 * open.size(), ' ');
}

}  // namespace OrvTool
