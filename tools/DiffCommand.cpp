#include "CommandLine.h"
#include "Commands.h"
#include "Documents.h"
#include "Output.h"
#include "TimelineDiff.h"

#include <iostream>

namespace OrvTool {

namespace {

const char* const kHelp =
    "Usage: orv-timeline-json diff [--max N] A B\n"
    "\n"
    "Reads the timeline documents A and B (\"-\" for standard input, for one of\n"
    "them) and compares the timelines as the model does. When they are equal it\n"
    "prints \"equal timelines\". Otherwise it prints the first differences, one per\n"
    "line, and a last line with the number of differences.\n"
    "\n"
    "Tracks are paired by their \"id\", the items of two paired tracks by theirs,\n"
    "and media infos by their \"mediaAssetId\". Entries whose id is empty or\n"
    "repeated within its list are paired by position, within the stretches\n"
    "between the entries paired by id. Each line names the place (which track,\n"
    "which item, by index and id) and what differs there:\n"
    "  tracks[0] (id \"v1\") items[3] (id \"fx-3\"): duration: A has \"10\", B has \"25\"\n"
    "  tracks[0] (id \"v1\") items[0] (id \"clip-1\"): removed\n"
    "  tracks[0] (id \"v1\") items[7] (id \"clip-9\"): inserted\n"
    "  tracks[1] (id \"a1\") items[4] (id \"clip-2\"): moved to items[0]\n"
    "Indices are A's, but an inserted entry's is its index in B. An entry is\n"
    "moved when it is out of the order that the largest set of paired entries\n"
    "keeps; its changes follow its line. Lines come in A's order, an inserted\n"
    "entry where it stands in B. A removed or inserted entry is one difference,\n"
    "whatever it holds.\n"
    "\n"
    "Options:\n"
    "  --max N     print at most N differences (default 10)\n"
    "  -h, --help  show this help\n"
    "\n"
    "Exit status: 0 when equal, 1 when they differ, a document cannot be read or\n"
    "standard output cannot be written, 2 on bad usage.\n";

}  // namespace

int RunDiff(const std::vector<std::string>& arguments) {
    const ParsedArguments parsed = ParseArguments(arguments, {{"--max", "", true}});
    if (parsed.help) {
        Print(kHelp);
        return kExitOk;
    }
    const std::size_t limit = static_cast<std::size_t>(ParseCount("--max", parsed.Value("--max", "10"), 1000000));
    if (parsed.operands.size() != 2) {
        throw UsageError("two documents expected, A and B; got " + std::to_string(parsed.operands.size()));
    }
    const std::string& pathA = parsed.operands[0];
    const std::string& pathB = parsed.operands[1];
    if (pathA == "-" && pathB == "-") {
        throw UsageError("standard input (\"-\") can be read only once");
    }

    Entity a;
    Entity b;
    std::string error;
    if (!LoadEntity(pathA, Kind::Timeline, a, error)) {
        std::cerr << pathA << ": " << error << std::endl;
        return kExitFailed;
    }
    if (!LoadEntity(pathB, Kind::Timeline, b, error)) {
        std::cerr << pathB << ": " << error << std::endl;
        return kExitFailed;
    }
    if (*a.timeline == *b.timeline) {
        Print("equal timelines\n");
        return kExitOk;
    }
    std::size_t total = 0;
    std::string text;
    for (const auto& line : DiffTimelines(*a.timeline, *b.timeline, limit, &total)) {
        text += line + '\n';
    }
    if (total == 0) {
        // The comparison found a difference that the member listing cannot
        // name; the model's own equality has the last word.
        text += "the timelines differ\n";
    } else {
        text += std::to_string(total) + (total == 1 ? " difference" : " differences");
        if (total > limit) {
            text += " (" + std::to_string(limit) + " shown)";
        }
        text += '\n';
    }
    Print(text);
    return kExitFailed;
}

}  // namespace OrvTool
