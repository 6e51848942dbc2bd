#include "CommandLine.h"
#include "Commands.h"
#include "DiagnosticOutput.h"
#include "Documents.h"
#include "Output.h"

#include <Orv/Common/Serialization/Json/Stringer.h>
#include <Orv/TimelineEngineModel/Serialization/Json/JsonDocumentChecker.h>

#include <iostream>
#include <stdexcept>
#include <string>
#include <vector>

namespace OrvTool {

namespace {

namespace Conv = Orv::TimelineEngineModel::Serialization::Json;
using Orv::Common::Serialization::Json::Stringer;

const char* const kHelp =
    "Usage: orv-timeline-json check [--as KIND] [--strict] [--format text|json] FILE...\n"
    "\n"
    "Reads each FILE (\"-\" for standard input) as JSON and converts it with the\n"
    "library's reader for KIND: timeline (the default), track, item, media-info or\n"
    "effect. The JSON is read as jsoncpp reads it by default: comments, trailing\n"
    "commas, duplicate keys (the last one counts) and text after the document are\n"
    "accepted.\n"
    "\n"
    "First, on standard error, one line for every place where the reader skips,\n"
    "reinterprets or fails (the library's JsonDocumentChecker), in document order:\n"
    "  FILE:LINE:COLUMN: warning: POINTER: MESSAGE [CODE]\n"
    "(\"error:\" where the reader fails; POINTER is a JSON Pointer, left out for\n"
    "the whole text). Then one line per file:\n"
    "  FILE: ok: SUMMARY                         on standard output\n"
    "  FILE: cannot be read: REASON              on standard error\n"
    "  FILE: not JSON: Line N, Column M: REASON  on standard error\n"
    "  FILE: not a KIND: CONVERTER MESSAGE       on standard error\n"
    "  FILE: not writable: PLACE holds no item   on standard error\n"
    "  FILE: not strict: N diagnostics           on standard error, with --strict\n"
    "The \"not writable\" one is a timeline or track whose \"items\" array holds an\n"
    "element that is neither an object nor null: the reader keeps an empty entry\n"
    "for it, which the writer refuses.\n"
    "\n"
    "Options:\n"
    "  --as KIND          the entity at the root of each document\n"
    "  --strict           also hold the text to RFC 8259 JSON, and fail a file\n"
    "                     on any diagnostic, warnings included\n"
    "  --format json      print the diagnostics of all files as one JSON array on\n"
    "                     standard output instead (objects of file, line, column,\n"
    "                     severity, code, pointer, message); the per-file lines\n"
    "                     then all go to standard error\n"
    "  -h, --help         show this help\n"
    "\n"
    "Exit status: 0 when every file is ok, 1 when any is not, 2 on bad usage.\n"
    "Without --strict, diagnostics alone do not fail a file.\n";

Conv::DocumentKind DocumentKindOf(Kind kind) {
    switch (kind) {
        case Kind::Track: return Conv::DocumentKind::Track;
        case Kind::Item: return Conv::DocumentKind::TrackItem;
        case Kind::MediaInfo: return Conv::DocumentKind::MediaInfo;
        case Kind::Effect: return Conv::DocumentKind::TransitionEffect;
        case Kind::Timeline: break;
    }
    return Conv::DocumentKind::Timeline;
}

// The diagnostics of a text read; none when the timeline reader's fast path
// met nothing to report (and --strict does not ask for the JSON check).
std::vector<JsonDiagnostic> Diagnose(const LoadDetails& details, Kind kind, bool strict) {
    std::vector<JsonDiagnostic> diagnostics;
    if (details.textRead && (details.needsCheck || strict)) {
        Conv::JsonDocumentChecker::Options options;
        options.strictJson = strict;
        const auto result = Conv::JsonDocumentChecker().Check(details.text, DocumentKindOf(kind), diagnostics, options);
        if (!result) {
            throw std::runtime_error(std::string("the document checker failed: ") + result.ErrorMessage());
        }
    }
    return diagnostics;
}

// The file's own line: what LoadEntity found, or a summary. False when the
// file is not ok.
bool ReportFile(const std::string& path, bool loaded, const std::string& error, const Entity& entity,
                std::size_t strictFailures, bool okToStderr) {
    if (!loaded) {
        std::cerr << path << ": " << error << std::endl;
        return false;
    }
    std::string emptyEntry;
    if (entity.timeline) {
        emptyEntry = FindEmptyEntry(*entity.timeline);
    } else if (entity.track) {
        emptyEntry = FindEmptyEntry(*entity.track);
    }
    if (!emptyEntry.empty()) {
        std::cerr << path << ": not writable: " << emptyEntry
                  << " holds no item (its element is neither an object nor null)" << std::endl;
        return false;
    }
    if (strictFailures != 0) {
        std::cerr << path << ": not strict: " << strictFailures
                  << (strictFailures == 1 ? " diagnostic" : " diagnostics") << std::endl;
        return false;
    }
    const std::string line = path + ": ok: " + Summarize(entity) + "\n";
    if (okToStderr) {
        std::cerr << line;
    } else {
        Print(line);
    }
    return true;
}

}  // namespace

int RunCheck(const std::vector<std::string>& arguments) {
    const ParsedArguments parsed =
        ParseArguments(arguments, {{"--as", "", true}, {"--strict", "", false}, {"--format", "", true}});
    if (parsed.help) {
        Print(kHelp);
        return kExitOk;
    }
    const Kind kind = KindOption(parsed);
    const std::string format = parsed.Value("--format", "text");
    if (format != "text" && format != "json") {
        throw UsageError("unknown format '" + format + "' (expected text or json)");
    }
    const bool json = format == "json";
    const bool strict = parsed.Has("--strict");
    if (parsed.operands.empty()) {
        throw UsageError("no FILE given");
    }
    std::size_t standardInputs = 0;
    for (const auto& path : parsed.operands) {
        standardInputs += path == "-" ? 1 : 0;
    }
    if (standardInputs > 1) {
        throw UsageError("standard input (\"-\") can be read only once");
    }

    int status = kExitOk;
    Stringer array;
    array.Array();
    for (const auto& path : parsed.operands) {
        Entity entity;
        std::string error;
        LoadDetails details;
        const bool loaded = LoadEntity(path, kind, entity, error, &details);
        const std::vector<JsonDiagnostic> diagnostics = Diagnose(details, kind, strict);
        for (const JsonDiagnostic& diagnostic : diagnostics) {
            if (json) {
                WriteDiagnostic(array, path, diagnostic);
            } else {
                std::cerr << DiagnosticLine(path, diagnostic) << '\n';
            }
        }
        if (!ReportFile(path, loaded, error, entity, strict ? diagnostics.size() : 0, json)) {
            status = kExitFailed;
        }
    }
    if (json && !Emit(array.CloseArray().ToString(), "")) {
        return kExitFailed;
    }
    return status;
}

}  // namespace OrvTool
