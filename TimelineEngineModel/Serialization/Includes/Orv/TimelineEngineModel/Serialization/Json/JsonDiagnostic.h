#pragma once

#include <Orv/TimelineEngineModel/Serialization/Json/Export.h>

#include <cstddef>
#include <string>
#include <string_view>

namespace Orv::TimelineEngineModel::Serialization::Json {

// One place of a document where a reader skips, reinterprets or fails, as
// JsonDocumentChecker reports it.
struct JsonDiagnostic {
    enum class Severity {
        Warning,  // the reader carries on; what it makes differs from what the text says
        Error,    // the reader fails there, or the text is not read at all
    };

    // The stable codes (kebab-case). Severity: W warning, E error.
    struct Codes {
        static constexpr char JsonSyntax[] = "json-syntax";          // E jsoncpp refuses the text
        static constexpr char JsonNesting[] = "json-nesting";        // E nested deeper than jsoncpp allows
        static constexpr char NotStrictJson[] = "not-strict-json";   // W jsoncpp accepts it, RFC 8259 does not
        static constexpr char NotAnObject[] = "not-an-object";       // E neither an object nor null where an entity is due
        static constexpr char NullValue[] = "null-value";            // W null: skipped, or read as a default entity
        static constexpr char WrongType[] = "wrong-type";            // W another JSON type where a text or list is due: skipped
        static constexpr char UnknownKey[] = "unknown-key";          // W a key the reader does not read there: ignored
        static constexpr char DuplicateKey[] = "duplicate-key";      // W at each earlier member of a key: the last one counts
        static constexpr char IgnoredToken[] = "ignored-token";      // W a token after a comment where "," is due: dropped
        static constexpr char IntegerSuffix[] = "integer-suffix";    // W "12abc": read as 12
        static constexpr char IntegerForm[] = "integer-form";        // W " 7", "+7", "007", "-0": read, written back plainly
        static constexpr char IntegerInvalid[] = "integer-invalid";  // E no integer at the start: the read fails ("stoll")
        static constexpr char IntegerRange[] = "integer-range";      // E outside int64: the read fails ("stoll")
        static constexpr char UnknownItemType[] = "unknown-item-type";      // W "_type" text: a media summary item
        static constexpr char MissingItemType[] = "missing-item-type";      // W no "_type": a media summary item
        static constexpr char UnknownEffectType[] = "unknown-effect-type";  // W an effect type text not known: Unknown, left out when written
        static constexpr char IgnoredTrackType[] = "ignored-track-type";    // W track "type" not "SUMMARY": never read
        static constexpr char TextNul[] = "text-nul";                // W a stored text with a NUL: written back cut there
        static constexpr char TextNotUtf8[] = "text-not-utf8";       // W a stored text that is not UTF-8: output not JSON
    };

    Severity severity = Severity::Warning;
    std::string code;     // one of Codes
    std::string pointer;  // RFC 6901 JSON Pointer of the value ("" for the whole document)
    std::size_t line = 0;    // 1-based
    std::size_t column = 0;  // 1-based, in bytes
    std::string message;  // what the reader meets there and what it does
};

// "warning" or "error".
ORV_TIMELINE_JSON_API const char* ToString(JsonDiagnostic::Severity severity) noexcept;

// The diagnostic on one line, as `orv-timeline-json check` prints it:
//   FILE:LINE:COLUMN: SEVERITY: POINTER: MESSAGE [CODE]
// "FILE:" is left out for an empty `file`, "POINTER: " for the whole text.
// The pointer is shown as PrintableText() shows it, shortened past
// PrintedPointerLength bytes; the JsonDiagnostic keeps it whole.
ORV_TIMELINE_JSON_API std::string ToString(const JsonDiagnostic& diagnostic, std::string_view file = {});
inline constexpr std::size_t PrintedPointerLength = 256;

// A text taken from a document, made safe to print on a terminal, into a
// log or into JSON: a backslash is doubled, control characters (C0, DEL and
// C1), line and paragraph separators and the bidirectional controls that
// reorder what follows them are written as \u escapes (\u001b, \u202e),
// and each byte that is not part of well-formed UTF-8 as \xHH. The result is
// valid UTF-8 and shows the text's characters in their order. A text longer
// than `longest` bytes keeps its first three quarters of `longest`, cut at a
// character, followed by "...".
ORV_TIMELINE_JSON_API std::string PrintableText(std::string_view text, std::size_t longest = 64);

// PrintableText() in double quotes, with the quotes inside escaped: the form
// in which diagnostics and the tool quote what a document holds.
ORV_TIMELINE_JSON_API std::string QuotedText(std::string_view text, std::size_t longest = 64);

}  // namespace Orv::TimelineEngineModel::Serialization::Json
