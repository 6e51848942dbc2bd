#include "CommandLine.h"
#include "Commands.h"
#include "Documents.h"
#include "Output.h"

#include <Orv/Common/Serialization/Json/Stringer.h>
#include <Orv/TimelineEngineModel/Serialization/Json/JsonDiagnostic.h>
#include <Orv/TimelineEngineModel/Serialization/Json/JsonDocumentChecker.h>

#include <iostream>
#include <new>
#include <stdexcept>
#include <string>
#include <vector>

namespace OrvTool {

namespace {

namespace Conv = Orv::TimelineEngineModel::Serialization::Json;
using Conv::JsonDiagnostic;
using Orv::Common::Serialization::Json::Stringer;

const char* const kHelp =
    "Usage: orv-timeline-json check [--as KIND] [--strict] [--format text|json] [-q]\n"
    "                               FILE...\n"
    "\n"
    "Reads each FILE (\"-\" for standard input) as JSON and converts it with the\n"
    "library's reader for KIND: timeline (the default), track, item, media-info or\n"
    "effect. The JSON is read as jsoncpp reads it by default: comments, trailing\n"
    "commas, duplicate keys (the last one counts) and text after the document are\n"
    "accepted. Documents larger than 2147483647 bytes are refused without being\n"
    "read whole.\n"
    "\n"
    "First, on standard error, one line for every place where the reader skips,\n"
    "reinterprets or fails (the library's JsonDocumentChecker), in document order:\n"
    "  FILE:LINE:COLUMN: warning: POINTER: MESSAGE [CODE]\n"
    "(\"error:\" where the reader fails; POINTER is a JSON Pointer, left out for\n"
    "the whole text). Texts from the document are shown escaped and shortened.\n"
    "Then one line per file, whatever happened to the files before it:\n"
    "  FILE: ok: SUMMARY                          on standard output\n"
    "  FILE: cannot be read: REASON               on standard error\n"
    "  FILE: not JSON: Line N, Column M: REASON   on standard error\n"
    "  FILE: not a KIND: CONVERTER MESSAGE        on standard error\n"
    "  FILE: not writable: PLACE holds no item    on standard error\n"
    "  FILE: read with errors: N errors (the readers carry on past them): SUMMARY\n"
    "                                             on standard error\n"
    "  FILE: not strict: N diagnostics            on standard error, with --strict\n"
    "  FILE: out of memory                        on standard error\n"
    "The \"not writable\" one is a timeline or track whose \"items\" array holds an\n"
    "element that is neither an object nor null: the reader keeps an empty entry\n"
    "for it, which the writer refuses. \"read with errors\" is a document with an\n"
    "\"error:\" diagnostic where a reader carried on, such as a track item that\n"
    "failed inside a track that was read.\n"
    "With several FILEs, a last line on standard error counts them:\n"
    "  N files: C clean, W with warnings, F failed (E errors, X warnings)\n"
    "clean: ok without a diagnostic; with warnings: ok with warnings only;\n"
    "failed: any other; then the error and warning diagnostics of all files.\n"
    "\n"
    "Options:\n"
    "  --as KIND          the entity at the root of each document\n"
    "  --strict           also hold the text to RFC 8259 JSON, and fail a file\n"
    "                     on any diagnostic, warnings included\n"
    "  --format json      print one JSON array on standard output instead, an\n"
    "                     object per file in order: {\"file\", \"status\": \"ok\" or\n"
    "                     \"failed\", \"summary\" (ok) or \"error\" (the reason of\n"
    "                     its line), \"errors\", \"warnings\", \"diagnostics\": [{\n"
    "                     \"line\", \"column\", \"severity\", \"code\", \"pointer\",\n"
    "                     \"message\"}]}; the per-file lines all go to standard\n"
    "                     error; the summary line is not in the array\n"
    "  -q, --quiet        print only what fails a file: its line and the\n"
    "                     diagnostics that fail it (errors; with --strict, all);\n"
    "                     nothing for a file that is ok, and the summary line\n"
    "                     only when a file failed\n"
    "  -h, --help         show this help\n"
    "\n"
    "Exit status: 0 when every file is ok, 1 when any is not (it cannot be read\n"
    "or converted, has an error diagnostic, or, with --strict, any diagnostic) or\n"
    "standard output cannot be written, 2 on bad usage. Without --strict,\n"
    "warnings alone do not fail a file.\n";

// File names are the user's, and kept whole up to any path's length.
constexpr std::size_t kFileNameLength = 4096;

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
            ThrowIfOutOfMemory(result.ErrorMessage());
            throw std::runtime_error(std::string("the document checker failed: ") + result.ErrorMessage());
        }
    }
    return diagnostics;
}

std::string Count(std::size_t count, const char* singular, const char* plural) {
    return std::to_string(count) + " " + (count == 1 ? singular : plural);
}

// What `check` found in one file.
struct FileResult {
    bool ok = false;
    std::string text;  // the summary when ok, otherwise the reason
    std::vector<JsonDiagnostic> diagnostics;
    std::size_t errors = 0;
    std::size_t warnings = 0;
};

FileResult CheckFile(const std::string& path, Kind kind, bool strict) {
    FileResult file;
    Entity entity;
    std::string error;
    LoadDetails details;
    const bool loaded = LoadEntity(path, kind, entity, error, &details);
    file.diagnostics = Diagnose(details, kind, strict);
    details = LoadDetails();  // the text, no longer needed
    for (const JsonDiagnostic& diagnostic : file.diagnostics) {
        ++(diagnostic.severity == JsonDiagnostic::Severity::Error ? file.errors : file.warnings);
    }
    if (!loaded) {
        file.text = error;
        return file;
    }
    std::string emptyEntry;
    if (entity.timeline) {
        emptyEntry = FindEmptyEntry(*entity.timeline);
    } else if (entity.track) {
        emptyEntry = FindEmptyEntry(*entity.track);
    }
    if (!emptyEntry.empty()) {
        file.text = "not writable: " + emptyEntry + " holds no item (its element is neither an object nor null)";
    } else if (file.errors != 0) {
        file.text = "read with errors: " + Count(file.errors, "error", "errors") +
                    (file.errors == 1 ? " (the readers carry on past it): " : " (the readers carry on past them): ") +
                    Summarize(entity);
    } else if (strict && !file.diagnostics.empty()) {
        file.text = "not strict: " + Count(file.diagnostics.size(), "diagnostic", "diagnostics");
    } else {
        file.ok = true;
        file.text = Summarize(entity);
    }
    return file;
}

// One element of the --format json array.
std::string FileRecord(const std::string& path, const FileResult& file) {
    Stringer record;
    record.Object();
    record.Key("file").Value(Conv::PrintableText(path, kFileNameLength));
    record.Key("status").Value(file.ok ? "ok" : "failed");
    record.Key(file.ok ? "summary" : "error").Value(file.text);
    // Whole numbers as doubles: exact far beyond any text's size, and written
    // without a fraction.
    record.Key("errors").Value(static_cast<double>(file.errors));
    record.Key("warnings").Value(static_cast<double>(file.warnings));
    record.Key("diagnostics").Array();
    for (const JsonDiagnostic& diagnostic : file.diagnostics) {
        record.Object();
        record.Key("line").Value(static_cast<double>(diagnostic.line));
        record.Key("column").Value(static_cast<double>(diagnostic.column));
        record.Key("severity").Value(ToString(diagnostic.severity));
        record.Key("code").Value(diagnostic.code);
        record.Key("pointer").Value(Conv::PrintableText(diagnostic.pointer, Conv::PrintedPointerLength));
        record.Key("message").Value(diagnostic.message);
        record.CloseObject();
    }
    record.CloseArray();
    record.CloseObject();
    return record.ToString();
}

// What is printed, besides --format json's array.
struct Reporting {
    bool json = false;
    bool quiet = false;   // only what fails a file
    bool strict = false;  // every diagnostic fails its file
};

// With --quiet, only the diagnostics that fail their file: errors, and
// with --strict every one.
bool Shown(const JsonDiagnostic& diagnostic, const FileResult& file, const Reporting& reporting) {
    return !reporting.quiet ||
           (!file.ok && (reporting.strict || diagnostic.severity == JsonDiagnostic::Severity::Error));
}

// The file's diagnostics and its own line, or its record; `first` tells
// whether the record opens the array.
void ReportFile(const std::string& path, const FileResult& file, const Reporting& reporting, bool first) {
    const std::string line = path + ": " + (file.ok ? "ok: " : "") + file.text + "\n";
    if (reporting.json) {
        Print((first ? "[" : ",") + FileRecord(path, file));
    } else {
        std::string lines;
        for (const JsonDiagnostic& diagnostic : file.diagnostics) {
            if (Shown(diagnostic, file, reporting)) {
                lines += ToString(diagnostic, path) + '\n';
            }
        }
        std::cerr << lines;
    }
    if (file.ok && reporting.quiet) {
        return;
    }
    if (file.ok && !reporting.json) {
        Print(line);
    } else {
        std::cerr << line;
    }
}

// The files of one run by outcome, and their diagnostics, for the line
// that ends a run over several files.
class Tally {
public:
    void Add(const FileResult& file) {
        ++files;
        ++(!file.ok ? failed : file.warnings != 0 ? withWarnings : clean);
        errors += file.errors;
        warnings += file.warnings;
    }

    std::size_t Failed() const { return failed; }

    // "3 files: 1 clean, 1 with warnings, 1 failed (1 error, 2 warnings)"
    std::string Line() const {
        return Count(files, "file", "files") + ": " + std::to_string(clean) + " clean, " +
               std::to_string(withWarnings) + " with warnings, " + std::to_string(failed) + " failed (" +
               Count(errors, "error", "errors") + ", " + Count(warnings, "warning", "warnings") + ")\n";
    }

private:
    std::size_t files = 0;
    std::size_t clean = 0;         // ok, with no diagnostic
    std::size_t withWarnings = 0;  // ok, with warnings
    std::size_t failed = 0;
    std::size_t errors = 0;
    std::size_t warnings = 0;
};

// Checks one file and reports it, whatever fails on the way.
FileResult CheckAndReport(const std::string& path, Kind kind, const Reporting& reporting, bool first) {
    FileResult file;
    try {
        file = CheckFile(path, kind, reporting.strict);
    } catch (const std::bad_alloc&) {
        file = FileResult();
        file.text = kOutOfMemory;
    } catch (const std::exception& error) {
        file = FileResult();
        file.text = Conv::PrintableText(error.what(), 256);
    }
    try {
        ReportFile(path, file, reporting, first);
    } catch (const std::bad_alloc&) {
        file = FileResult();
        file.text = kOutOfMemory;
        ReportFile(path, file, reporting, first);
    }
    return file;
}

}  // namespace

int RunCheck(const std::vector<std::string>& arguments) {
    const ParsedArguments parsed = ParseArguments(
        arguments, {{"--as", "", true}, {"--strict", "", false}, {"--format", "", true}, {"--quiet", "-q", false}});
    if (parsed.help) {
        Print(kHelp);
        return kExitOk;
    }
    const Kind kind = KindOption(parsed);
    const std::string format = parsed.Value("--format", "text");
    if (format != "text" && format != "json") {
        throw UsageError("unknown format '" + format + "' (expected text or json)");
    }
    Reporting reporting;
    reporting.json = format == "json";
    reporting.quiet = parsed.Has("--quiet");
    reporting.strict = parsed.Has("--strict");
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

    // Whatever fails on one file, the next ones are still checked.
    Tally tally;
    for (std::size_t i = 0; i < parsed.operands.size(); ++i) {
        tally.Add(CheckAndReport(parsed.operands[i], kind, reporting, i == 0));
    }
    if (reporting.json) {
        Print("]\n");
    }
    if (parsed.operands.size() > 1 && (!reporting.quiet || tally.Failed() != 0)) {
        std::cerr << tally.Line();
    }
    return tally.Failed() == 0 ? kExitOk : kExitFailed;
}

}  // namespace OrvTool
