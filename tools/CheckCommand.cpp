#include "CommandLine.h"
#include "Commands.h"
#include "Documents.h"

#include <iostream>

namespace OrvTool {

namespace {

const char* const kHelp =
    "Usage: orv-timeline-json check [--as KIND] FILE...\n"
    "\n"
    "Reads each FILE (\"-\" for standard input) as JSON and converts it with the\n"
    "library's reader for KIND: timeline (the default), track, item, media-info or\n"
    "effect. The JSON is read as jsoncpp reads it by default: comments, trailing\n"
    "commas, duplicate keys (the last one counts) and text after the document are\n"
    "accepted. Prints one line per file:\n"
    "  FILE: ok: SUMMARY                         on standard output\n"
    "  FILE: cannot be read: REASON              on standard error\n"
    "  FILE: not JSON: Line N, Column M: REASON  on standard error\n"
    "  FILE: not a KIND: CONVERTER MESSAGE       on standard error\n"
    "  FILE: not writable: PLACE holds no item   on standard error\n"
    "The last one is a timeline or track whose \"items\" array holds an element\n"
    "that is neither an object nor null: the reader keeps an empty entry for it,\n"
    "which the writer refuses.\n"
    "\n"
    "Options:\n"
    "  --as KIND   the entity at the root of each document\n"
    "  -h, --help  show this help\n"
    "\n"
    "Exit status: 0 when every file is ok, 1 when any is not, 2 on bad usage.\n";

}  // namespace

int RunCheck(const std::vector<std::string>& arguments) {
    const ParsedArguments parsed = ParseArguments(arguments, {{"--as", "", true}});
    if (parsed.help) {
        std::cout << kHelp;
        return kExitOk;
    }
    const Kind kind = KindOption(parsed);
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
    for (const auto& path : parsed.operands) {
        Entity entity;
        std::string error;
        if (!LoadEntity(path, kind, entity, error)) {
            std::cerr << path << ": " << error << std::endl;
            status = kExitFailed;
            continue;
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
            status = kExitFailed;
            continue;
        }
        std::cout << path << ": ok: " << Summarize(entity) << std::endl;
    }
    return status;
}

}  // namespace OrvTool
