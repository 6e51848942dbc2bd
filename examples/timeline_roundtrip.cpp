// Reads a timeline document, reports what it holds, writes it back and
// shows that nothing was lost on the way.
//
//   timeline_roundtrip [FILE]      (default: the bundled example document)

#include <Orv/TimelineEngineModel/FxTransitionItem.h>
#include <Orv/TimelineEngineModel/Serialization/Json/JsonFile.h>
#include <Orv/TimelineEngineModel/Timeline.h>

#include <unistd.h>

#include <cstdio>
#include <fstream>
#include <iostream>
#include <memory>
#include <string>

namespace {

using Orv::TimelineEngineModel::Timeline;
using Orv::TimelineEngineModel::TrackItemType;
using namespace Orv::TimelineEngineModel::Serialization::Json;

// File -> model in one call; a failure is reported with its place when the
// text was read (FILE:LINE:COLUMN: error: POINTER: what happens [code]).
std::unique_ptr<Timeline> Read(const std::string& path) {
    std::unique_ptr<Timeline> timeline;
    ReadReport report;
    if (const Result read = ReadJsonFile(path, timeline, &report); !read) {
        std::cerr << (report.place.code.empty() ? path + ": " + read.ErrorMessage() : ToString(report.place, path))
                  << '\n';
        return nullptr;
    }
    return timeline;
}

std::string Contents(const std::string& path) {
    std::ifstream file(path, std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(file), {});
}

void Report(const Timeline& timeline) {
    std::size_t summaries = 0;
    std::size_t audioTransitions = 0;
    std::size_t videoTransitions = 0;
    for (const auto& track : timeline.Tracks()) {
        for (const auto& item : track.TrackItems()) {
            switch (item->GetType()) {
                case TrackItemType::MediaSummary: ++summaries; break;
                case TrackItemType::FxAudioTransition: ++audioTransitions; break;
                case TrackItemType::FxVideoTransition: ++videoTransitions; break;
                default: break;
            }
        }
    }
    std::cout << "timeline \"" << timeline.Id().Value() << "\" (transaction \"" << timeline.TransactionId().Value()
              << "\"), duration " << timeline.Duration() << '\n'
              << "  " << timeline.Tracks().size() << " tracks:\n";
    for (const auto& track : timeline.Tracks()) {
        std::cout << "    " << track.Id().Value() << ": " << track.TrackItems().size() << " items\n";
    }
    std::cout << "  items: " << summaries << " media summary, " << audioTransitions << " audio transition, "
              << videoTransitions << " video transition\n"
              << "  " << timeline.MediaInfos().size() << " media infos\n";
}

}  // namespace

int main(int argc, char** argv) {
    const std::string path = argc > 1 ? argv[1] : ORV_EXAMPLE_DOCUMENT;
    const auto timeline = Read(path);
    if (!timeline) {
        return 1;
    }
    Report(*timeline);

    // Write it back: compactly, and laid out for people (the bundled file is
    // kept as `orv-timeline-json format --pretty` writes it: the pretty text
    // and a final newline).
    const std::string copy = "/tmp/timeline_roundtrip." + std::to_string(getpid()) + ".json";
    std::size_t sizes[2] = {};
    std::string pretty;
    for (const bool layout : {false, true}) {
        if (const Result written = WriteJsonFile(*timeline, copy, layout); !written) {
            std::cerr << "writing failed: " << written.ErrorMessage() << '\n';
            return 1;
        }
        pretty = Contents(copy) + '\n';
        sizes[layout] = pretty.size() - 1;
    }
    const std::string original = Contents(path);
    std::cout << "written back: " << sizes[0] << " bytes compact, " << pretty.size()
              << " bytes pretty with a final newline (the file has " << original.size() << ")\n";

    const auto again = Read(copy);
    std::remove(copy.c_str());
    if (!again || *again != *timeline) {
        std::cerr << "round trip lost information\n";
        return 1;
    }
    std::cout << "round trip: the file read back holds an equal timeline"
              << (pretty == original ? ", and the pretty text equals the file byte for byte" : "") << '\n';
    return 0;
}
