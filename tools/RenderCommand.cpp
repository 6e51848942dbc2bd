#include "CommandLine.h"
#include "Commands.h"
#include "Documents.h"
#include "Output.h"
#include "TimelinePicture.h"

#include <algorithm>
#include <iostream>
#include <string>

namespace OrvTool {

namespace {

namespace Model = Orv::TimelineEngineModel;

constexpr std::uint64_t kDefaultWidth = 1200;
constexpr std::uint64_t kMinWidth = 300;
constexpr std::uint64_t kMaxWidth = 100000;

const char* const kHelp =
    "Usage: orv-timeline-json render [--width PX] [--from T] [--to T] [--track X]...\n"
    "                                [-o OUT.svg] FILE\n"
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
    "  --from T          draw only what lies at or after time T, in the\n"
    "                    timeline's units (an integer): media summary items\n"
    "                    that reach past T, cut at T, and transitions marked\n"
    "                    at T or later; the time axis starts at T\n"
    "  --to T            likewise, what lies before T (transitions at T\n"
    "                    included); the time axis ends at T. With --from, T\n"
    "                    must be greater than the --from time\n"
    "  --track X         draw only the tracks whose id is X or, when no track\n"
    "                    has that id, the track at 0-based index X; given\n"
    "                    again, adds tracks; they are drawn in document order\n"
    "  -o, --output OUT  write to OUT instead of standard output; OUT is written\n"
    "                    only when the document was read, and replaced whole (a\n"
    "                    failed write leaves it as it was)\n"
    "  -h, --help        show this help\n"
    "\n"
    "With --from, --to or --track, the heading adds what is shown.\n"
    "\n"
    "Exit status: 0 on success, 1 when the document cannot be read, parsed or\n"
    "converted, or the picture cannot be written, 2 on bad usage (a --track\n"
    "that names no track of the document included).\n";

std::uint64_t WidthOption(const ParsedArguments& parsed) {
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
    return width;
}

// The time range of --from and --to; the tracks are resolved once the
// document is read.
PictureView RangeOptions(const ParsedArguments& parsed) {
    PictureView view;
    if (parsed.Has("--from")) {
        view.from = ParseInteger("--from", parsed.Value("--from", ""));
    }
    if (parsed.Has("--to")) {
        view.to = ParseInteger("--to", parsed.Value("--to", ""));
    }
    if (view.from && view.to && *view.from >= *view.to) {
        throw UsageError("option '--to' wants a time after --from " + std::to_string(*view.from) + ", not '" +
                         parsed.Value("--to", "") + "'");
    }
    return view;
}

// The tracks a --track value names: those with that id or, when none has
// it, the one at that index; none when neither names a track.
std::vector<std::size_t> FindTracks(const Model::Timeline& timeline, const std::string& name) {
    const auto& tracks = timeline.Tracks();
    std::vector<std::size_t> found;
    for (std::size_t t = 0; t < tracks.size(); ++t) {
        if (tracks[t].Id().Value() == name) {
            found.push_back(t);
        }
    }
    // Eighteen digits and fewer hold any index a document can reach.
    if (found.empty() && !name.empty() && name.size() <= 18 &&
        name.find_first_not_of("0123456789") == std::string::npos) {
        const unsigned long long index = std::stoull(name);
        if (index < tracks.size()) {
            found.push_back(static_cast<std::size_t>(index));
        }
    }
    return found;
}

// The tracks of every --track, ascending and once each; a UsageError for a
// value that names no track.
std::vector<std::size_t> TrackOption(const ParsedArguments& parsed, const Model::Timeline& timeline,
                                     const std::string& path) {
    std::vector<std::size_t> chosen;
    for (const std::string& name : parsed.All("--track")) {
        const auto found = FindTracks(timeline, name);
        if (found.empty()) {
            const std::size_t count = timeline.Tracks().size();
            throw UsageError("option '--track': " + path + " has no track with id or index '" + name + "' (" +
                             std::to_string(count) + (count == 1 ? " track)" : " tracks)"));
        }
        chosen.insert(chosen.end(), found.begin(), found.end());
    }
    std::sort(chosen.begin(), chosen.end());
    chosen.erase(std::unique(chosen.begin(), chosen.end()), chosen.end());
    return chosen;
}

}  // namespace

int RunRender(const std::vector<std::string>& arguments) {
    const ParsedArguments parsed = ParseArguments(arguments, {{"--width", "", true},
                                                              {"--from", "", true},
                                                              {"--to", "", true},
                                                              {"--track", "", true, true},
                                                              {"--output", "-o", true}});
    if (parsed.help) {
        Print(kHelp);
        return kExitOk;
    }
    if (parsed.operands.size() != 1) {
        throw UsageError(parsed.operands.empty() ? "no FILE given" : "exactly one FILE expected");
    }
    const std::uint64_t width = WidthOption(parsed);
    PictureView view = RangeOptions(parsed);
    const std::string output = OutputOption(parsed);

    const std::string& path = parsed.operands.front();
    Entity entity;
    std::string error;
    if (!LoadEntity(path, Kind::Timeline, entity, error)) {
        std::cerr << path << ": " << error << std::endl;
        return kExitFailed;
    }
    view.tracks = TrackOption(parsed, *entity.timeline, path);
    std::string svg = DrawTimeline(*entity.timeline, static_cast<double>(width), view);
    svg.pop_back();  // the last line's newline, which Emit writes
    return Emit(svg, output) ? kExitOk : kExitFailed;
}

}  // namespace OrvTool
