#include "CommandLine.h"
#include "Commands.h"
#include "Documents.h"
#include "Output.h"
#include "TimelinePicture.h"

#include <iostream>

namespace OrvTool {

namespace {

constexpr std::uint64_t kDefaultWidth = 1200;
constexpr std::uint64_t kMinWidth = 300;
constexpr std::uint64_t kMaxWidth = 100000;

const char* const kHelp =
    "Usage: orv-timeline-json render [--width PX] [-o OUT.svg] FILE\n"
    "\n"
    "Reads the timeline document FILE (\"-\" for standard input) and draws it as\n"
    "an SVG picture: a time axis, one lane per track, and a legend.\n"
    "  - a media summary item is a box over its video in point and duration,\n"
    "    coloured by media asset, with a thin band for its audio in point and\n"
    "    duration where they differ from the video's;\n"
    "  - an item with no timing (video duration 0) is a dashed box laid right\n"
    "    after the item before it;\n"
    "  - a transition item is a mark between its neighbours, labelled with its\n"
    "    effect type and duration;\n"
    "  - the timeline's duration is a dashed line.\n"
    "Media summary items too close to tell apart (thinner than a pixel and\n"
    "within a pixel of each other, or past one per pixel of the lane's width)\n"
    "are drawn together as one grey run, and transitions\n"
    "marked within a pixel of each other, more than two, as one shaded mark;\n"
    "their tooltips say how many and where. So the picture grows with its width\n"
    "and the tracks, not with the number of items.\n"
    "Labels are shortened to fit; each item's tooltip holds its identifiers and\n"
    "values. Texts of the document are shown escaped (controls, bidirectional\n"
    "marks, bytes that are not UTF-8 as \\u or \\x escapes) and cut past a couple\n"
    "of hundred bytes, so the picture is well-formed XML whatever the document\n"
    "holds.\n"
    "\n"
    "Options:\n"
    "  --width PX        width of the picture in pixels, 300 to 100000\n"
    "                    (default 1200); the height follows from the tracks\n"
    "  -o, --output OUT  write to OUT instead of standard output; OUT is written\n"
    "                    only when the document was read, and replaced whole (a\n"
    "                    failed write leaves it as it was)\n"
    "  -h, --help        show this help\n"
    "\n"
    "Exit status: 0 on success, 1 when the document cannot be read, parsed or\n"
    "converted, or the picture cannot be written, 2 on bad usage.\n";

}  // namespace

int RunRender(const std::vector<std::string>& arguments) {
    const ParsedArguments parsed = ParseArguments(arguments, {{"--width", "", true}, {"--output", "-o", true}});
    if (parsed.help) {
        Print(kHelp);
        return kExitOk;
    }
    if (parsed.operands.size() != 1) {
        throw UsageError(parsed.operands.empty() ? "no FILE given" : "exactly one FILE expected");
    }
    std::uint64_t width = 0;
    try {
        width = ParseCount("--width", parsed.Value("--width", std::to_string(kDefaultWidth)), kMaxWidth);
    } catch (const UsageError&) {
        // Reported below with the whole range.
    }
    if (width < kMinWidth) {
        throw UsageError("option '--width' wants an integer from " + std::to_string(kMinWidth) + " to " +
                         std::to_string(kMaxWidth) + ", not '" + parsed.Value("--width", "") + "'");
    }
    const std::string output = OutputOption(parsed);

    const std::string& path = parsed.operands.front();
    Entity entity;
    std::string error;
    if (!LoadEntity(path, Kind::Timeline, entity, error)) {
        std::cerr << path << ": " << error << std::endl;
        return kExitFailed;
    }
    std::string svg = DrawTimeline(*entity.timeline, static_cast<double>(width));
    svg.pop_back();  // the last line's newline, which Emit writes
    return Emit(svg, output) ? kExitOk : kExitFailed;
}

}  // namespace OrvTool
