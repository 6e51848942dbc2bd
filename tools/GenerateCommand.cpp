#include "CommandLine.h"
#include "Commands.h"
#include "Documents.h"
#include "Output.h"

#include <Orv/Common/Serialization/Json/Stringer.h>
#include <TimelineGenerator.h>

#include <iostream>
#include <limits>

namespace OrvTool {

namespace {

using Orv::Common::Serialization::Json::Stringer;

// Bounds that keep a mistyped size from exhausting memory.
constexpr std::uint64_t kMaxCount = 1000000;
constexpr std::uint64_t kMaxItems = 10000000;

const char* const kHelp =
    "Usage: orv-timeline-json generate [OPTIONS]\n"
    "\n"
    "Writes a synthetic timeline document, built by the same seeded generator as\n"
    "the library's tests and benchmarks: the same options give the same document.\n"
    "\n"
    "Options:\n"
    "  --tracks N            number of tracks (default 3)\n"
    "  --items-per-track N   items on each track (default 20)\n"
    "  --media-infos N       number of media infos (default 5)\n"
    "  --seed S              seed of the generator (default 1)\n"
    "  --awkward-texts       texts with quotes, backslashes, control characters and\n"
    "                        bytes above 0x7F\n"
    "  --extreme-integers    integers anywhere in the 64-bit range\n"
    "  --pretty              lay the text out over several lines\n"
    "  -o, --output OUT      write to OUT instead of standard output, replacing it\n"
    "                        whole (a failed write leaves it as it was)\n"
    "  -h, --help            show this help\n"
    "\n"
    "Counts go up to 1000000 each, and up to 10000000 items in all.\n"
    "Exit status: 0 on success, 1 when the output cannot be written, 2 on bad usage.\n";

}  // namespace

int RunGenerate(const std::vector<std::string>& arguments) {
    const ParsedArguments parsed = ParseArguments(arguments, {{"--tracks", "", true},
                                                              {"--items-per-track", "", true},
                                                              {"--media-infos", "", true},
                                                              {"--seed", "", true},
                                                              {"--awkward-texts", "", false},
                                                              {"--extreme-integers", "", false},
                                                              {"--pretty", "", false},
                                                              {"--output", "-o", true}});
    if (parsed.help) {
        Print(kHelp);
        return kExitOk;
    }
    if (!parsed.operands.empty()) {
        throw UsageError("unexpected argument '" + parsed.operands.front() + "'");
    }
    Orv::Testing::TimelineShape shape;
    shape.tracks = static_cast<std::size_t>(
        ParseCount("--tracks", parsed.Value("--tracks", std::to_string(shape.tracks)), kMaxCount));
    shape.itemsPerTrack = static_cast<std::size_t>(ParseCount(
        "--items-per-track", parsed.Value("--items-per-track", std::to_string(shape.itemsPerTrack)), kMaxCount));
    shape.mediaInfos = static_cast<std::size_t>(
        ParseCount("--media-infos", parsed.Value("--media-infos", std::to_string(shape.mediaInfos)), kMaxCount));
    shape.awkwardTexts = parsed.Has("--awkward-texts");
    shape.extremeIntegers = parsed.Has("--extreme-integers");
    const std::uint64_t seed =
        ParseCount("--seed", parsed.Value("--seed", "1"), std::numeric_limits<std::uint64_t>::max());
    if (static_cast<std::uint64_t>(shape.tracks) * shape.itemsPerTrack > kMaxItems) {
        throw UsageError("--tracks times --items-per-track exceeds " + std::to_string(kMaxItems) + " items");
    }
    const std::string output = OutputOption(parsed);

    Entity entity;
    entity.kind = Kind::Timeline;
    entity.timeline =
        std::make_unique<Orv::TimelineEngineModel::Timeline>(Orv::Testing::GenerateTimeline(seed, shape));
    Stringer stringer = parsed.Has("--pretty") ? Stringer::PrettyStringer() : Stringer();
    std::string error;
    if (!WriteEntity(entity, stringer, error)) {
        std::cerr << kProgram << ": generate: the timeline cannot be written: " << error << std::endl;
        return kExitFailed;
    }
    return Emit(stringer.ToString(), output) ? kExitOk : kExitFailed;
}

}  // namespace OrvTool
