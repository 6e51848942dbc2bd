// Reads a timeline document, reports what it holds, writes it back and
// shows that nothing was lost on the way.
//
//   timeline_roundtrip [FILE]      (default: the bundled example document)

#include <Orv/Common/Serialization/Json/Stringer.h>
#include <Orv/TimelineEngineModel/FxTransitionItem.h>
#include <Orv/TimelineEngineModel/Serialization/Json/JsonTextToTimelineConverter.h>
#include <Orv/TimelineEngineModel/Serialization/Json/TimelineToJsonConverter.h>
#include <Orv/TimelineEngineModel/Timeline.h>

#include <fstream>
#include <iostream>
#include <memory>
#include <string>

namespace {

using Orv::Common::Serialization::Json::Stringer;
using Orv::TimelineEngineModel::Timeline;
using Orv::TimelineEngineModel::TrackItemType;
using Orv::TimelineEngineModel::Serialization::Json::JsonTextToTimelineConverter;
using Orv::TimelineEngineModel::Serialization::Json::TimelineToJsonConverter;

// Reserves the reader's padding after the text, so that it reads the text in
// place instead of copying it first.
bool ReadFile(const std::string& path, std::string& text) {
    std::ifstream file(path, std::ios::binary | std::ios::ate);
    if (!file) {
        return false;
    }
    const auto size = static_cast<std::size_t>(file.tellg());
    text.reserve(size + JsonTextToTimelineConverter::Padding);
    text.resize(size);
    file.seekg(0);
    return static_cast<bool>(file.read(text.data(), static_cast<std::streamsize>(size)));
}

// Text -> model in one call, reporting a failure on stderr.
std::unique_ptr<Timeline> ReadTimeline(const std::string& text, const std::string& name) {
    using Failure = JsonTextToTimelineConverter::Report::Failure;
    std::unique_ptr<Timeline> timeline;
    JsonTextToTimelineConverter::Report report;
    const auto result = JsonTextToTimelineConverter().To(text, timeline, report);
    if (!result) {
        // jsoncpp's parse errors span lines ("* Line 1, Column 5\n  reason\n").
        std::cerr << name << (report.failure == Failure::NotTimeline ? ": not a timeline: " : ": not JSON: ")
                  << result.ErrorMessage() << '\n';
        return nullptr;
    }
    return timeline;
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
    std::string original;
    if (!ReadFile(path, original)) {
        std::cerr << path << ": cannot be read\n";
        return 1;
    }
    const auto timeline = ReadTimeline(original, path);
    if (!timeline) {
        return 1;
    }
    Report(*timeline);

    // Write it back: compactly, and laid out for people.
    Stringer compact;
    Stringer pretty = Stringer::PrettyStringer();
    const TimelineToJsonConverter writer;
    for (Stringer* stringer : {&compact, &pretty}) {
        const auto result = writer.To(*timeline, *stringer);
        if (!result) {
            std::cerr << "writing failed: " << result.ErrorMessage() << '\n';
            return 1;
        }
    }
    const std::string text = compact.ToString();
    // The file is kept as `orv-timeline-json format --pretty` writes it: the
    // pretty text and a final newline.
    const std::string prettyFile = pretty.ToString() + '\n';
    std::cout << "written back: " << text.size() << " bytes compact, " << prettyFile.size()
              << " bytes pretty with a final newline (the file has " << original.size() << ")\n";

    const auto again = ReadTimeline(text, "written text");
    if (!again || *again != *timeline) {
        std::cerr << "round trip lost information\n";
        return 1;
    }
    std::cout << "round trip: the text read back holds an equal timeline"
              << (prettyFile == original ? ", and the pretty text equals the file byte for byte" : "")
              << '\n';
    return 0;
}
