#include <Orv/TimelineEngineModel/Serialization/Json/JsonDiagnostic.h>

#include "Check/Utf8Validation.h"

#include <cstdint>
#include <cstdio>

namespace Orv::TimelineEngineModel::Serialization::Json {

namespace {

// Code points that change how a terminal or a text view shows what follows:
// C0 and C1 controls, DEL, the line and paragraph separators, and the
// bidirectional marks, embeddings, overrides and isolates.
bool IsUnsafeToShow(std::uint32_t codePoint) {
    return codePoint < 0x20 || (codePoint >= 0x7F && codePoint <= 0x9F) || codePoint == 0x061C ||
           codePoint == 0x200E || codePoint == 0x200F || (codePoint >= 0x2028 && codePoint <= 0x202E) ||
           (codePoint >= 0x2066 && codePoint <= 0x2069);
}

// The code point of the well-formed sequence of `length` bytes at `p`.
std::uint32_t Decode(const char* p, std::size_t length) {
    const auto byte = [&](std::size_t i) { return static_cast<std::uint32_t>(static_cast<unsigned char>(p[i])); };
    switch (length) {
        case 1: return byte(0);
        case 2: return (byte(0) & 0x1F) << 6 | (byte(1) & 0x3F);
        case 3: return (byte(0) & 0x0F) << 12 | (byte(1) & 0x3F) << 6 | (byte(2) & 0x3F);
        default: return (byte(0) & 0x07) << 18 | (byte(1) & 0x3F) << 12 | (byte(2) & 0x3F) << 6 | (byte(3) & 0x3F);
    }
}

// The length of the UTF-8 sequence that `lead` starts (1 for any other byte).
std::size_t SequenceLength(unsigned char lead) {
    return lead >= 0xF0 ? 4 : lead >= 0xE0 ? 3 : lead >= 0xC0 ? 2 : 1;
}

std::string Printable(std::string_view text, std::size_t longest, bool escapeQuotes) {
    const std::size_t keep = text.size() > longest ? longest - longest / 4 : text.size();
    std::string shown;
    shown.reserve(keep + 8);
    char escape[8];
    std::size_t i = 0;
    while (i < keep) {
        const auto lead = static_cast<unsigned char>(text[i]);
        const std::size_t length = SequenceLength(lead);
        const bool wellFormed = i + length <= text.size() &&
                                Detail::FirstInvalidUtf8(text.substr(i, length)) == std::string_view::npos;
        if (!wellFormed) {
            std::snprintf(escape, sizeof escape, "\\x%02x", lead);
            shown += escape;
            ++i;
            continue;
        }
        if (i + length > keep) {
            break;  // the cut falls inside this character
        }
        const std::uint32_t codePoint = Decode(text.data() + i, length);
        if (IsUnsafeToShow(codePoint)) {
            std::snprintf(escape, sizeof escape, "\\u%04x", static_cast<unsigned>(codePoint));
            shown += escape;
        } else {
            if (codePoint == '\\' || (escapeQuotes && codePoint == '"')) {
                shown += '\\';
            }
            shown.append(text.data() + i, length);
        }
        i += length;
    }
    if (keep < text.size()) {
        shown += "...";
    }
    return shown;
}

}  // namespace

const char* ToString(JsonDiagnostic::Severity severity) noexcept {
    return severity == JsonDiagnostic::Severity::Error ? "error" : "warning";
}

std::string PrintableText(std::string_view text, std::size_t longest) {
    return Printable(text, longest, false);
}

std::string QuotedText(std::string_view text, std::size_t longest) {
    return '"' + Printable(text, longest, true) + '"';
}

std::string ToString(const JsonDiagnostic& diagnostic, std::string_view file) {
    std::string line;
    if (!file.empty()) {
        line.append(file).append(":");
    }
    line += std::to_string(diagnostic.line) + ":" + std::to_string(diagnostic.column) + ": " +
            ToString(diagnostic.severity) + ": ";
    if (!diagnostic.pointer.empty()) {
        line += PrintableText(diagnostic.pointer, PrintedPointerLength) + ": ";
    }
    return line + diagnostic.message + " [" + diagnostic.code + "]";
}

}  // namespace Orv::TimelineEngineModel::Serialization::Json
