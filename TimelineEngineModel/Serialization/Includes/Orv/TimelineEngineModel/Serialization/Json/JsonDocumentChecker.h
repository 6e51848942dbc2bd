#pragma once

#include <Orv/Common/Serialization/Result.h>
#include <Orv/TimelineEngineModel/Serialization/Json/DocumentKind.h>
#include <Orv/TimelineEngineModel/Serialization/Json/Export.h>
#include <Orv/TimelineEngineModel/Serialization/Json/JsonDiagnostic.h>

#include <string_view>
#include <vector>

namespace Orv::TimelineEngineModel::Serialization::Json {

// Tells where and how the readers depart from what a document's text says.
//
// The text is parsed as users parse it (jsoncpp's CharReaderBuilder at its
// default settings: comments, trailing commas and text after the root
// accepted, the last of duplicate keys kept), then followed the way the
// reader of `kind` goes through it, in the reader's order and with its
// failure rules: one diagnostic for every member it skips (wrong JSON type,
// null, unknown key), reinterprets (integer texts read partly or written back
// differently, unknown item kinds or effect types, the track type) or fails on,
// and for every stored text that cannot survive a round trip (a NUL
// character, invalid UTF-8). See JsonDiagnostic::Codes.
//
// Where a read fails, the failure's message says what becomes of the entity
// and names what stays unread: "; left unread: " then the members of the
// failing member's own object by key, anything farther out by its JSON
// Pointer ("/tracks/3 to /tracks/7" for a run of elements). What stays unread
// gets no diagnostics of its own. A failure inside a track item is an error
// although the track reader carries on. An object's unknown and duplicate
// keys are reported for every object the reader enters.
//
// Positions are those of the value (of the object for an entity), as jsoncpp
// counts them: lines end at "\n", "\r\n" or "\r", columns count bytes, and a
// UTF-8 byte order mark at the start is not counted.
class ORV_TIMELINE_JSON_API JsonDocumentChecker {
public:
    using Result = Orv::Common::Serialization::Result;

    struct Options {
        // Also hold the text to RFC 8259 first: a text that jsoncpp accepts
        // but that is not strict JSON (comments, trailing commas, text after
        // the root, a byte order mark, raw control characters, invalid UTF-8,
        // ...) gets one "not-strict-json" warning at its first violation.
        bool strictJson = false;
    };

    // Appends the diagnostics of `text` read as `kind`, in document order. A
    // failed Result means the check itself could not be done (memory ran
    // out), never that the document has faults; `diagnostics` is then left
    // as it was.
    Result Check(std::string_view text, DocumentKind kind, std::vector<JsonDiagnostic>& diagnostics,
                 const Options& options) const noexcept;
    Result Check(std::string_view text, DocumentKind kind, std::vector<JsonDiagnostic>& diagnostics) const noexcept;
};

}  // namespace Orv::TimelineEngineModel::Serialization::Json
