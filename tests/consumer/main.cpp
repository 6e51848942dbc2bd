// A program that uses the installed library the way any other project would:
// it writes a timeline as JSON and reads it back from the text in one call,
// through a jsoncpp value, and through a file; a broken file is reported with
// its place.

#include <Orv/TimelineEngineModel/MediaSummaryItem.h>
#include <Orv/TimelineEngineModel/Serialization/Json/JsonFile.h>
#include <Orv/TimelineEngineModel/Serialization/Json/JsonTextToTimelineConverter.h>
#include <Orv/TimelineEngineModel/Serialization/Json/JsonToTimelineConverter.h>
#include <Orv/TimelineEngineModel/Serialization/Json/TimelineToJsonConverter.h>

#include <json/json.h>

#include <cstdio>
#include <fstream>
#include <iostream>
#include <memory>
#include <string>

int main() {
    using namespace Orv::TimelineEngineModel;
    using Orv::BusinessEntityModel::BaseTypes::Identifier;
    Timeline timeline(Identifier("tl-1"));
    timeline.Tracks().emplace_back(Identifier("trk-1"));
    timeline.Tracks().back().TrackItems().push_back(std::make_shared<MediaSummaryItem>(Identifier("clip-1")));
    timeline.MediaInfos().emplace_back(Identifier("asset-7"), 0, 250, "L,R");

    Orv::Common::Serialization::Json::Stringer stringer;
    const auto written = Serialization::Json::TimelineToJsonConverter().To(timeline, stringer);
    const std::string text = stringer.ToString();
    Json::Value json;
    std::string errors;
    const std::unique_ptr<Json::CharReader> parser(Json::CharReaderBuilder().newCharReader());
    std::unique_ptr<Timeline> read, readFromText;
    if (!written || !Serialization::Json::JsonTextToTimelineConverter().To(text, readFromText) ||
        *readFromText != timeline || !parser->parse(text.data(), text.data() + text.size(), &json, &errors) ||
        !Serialization::Json::JsonToTimelineConverter().To(json, read) || *read != timeline) {
        std::cerr << "round trip failed: " << written.ErrorMessage() << errors << '\n' << text << '\n';
        return 1;
    }

    const std::string path = "consumer-timeline.json";
    std::unique_ptr<Timeline> fromFile;
    Serialization::Json::ReadReport report;
    const auto saved = Serialization::Json::WriteJsonFile(timeline, path, true);
    const auto loaded = Serialization::Json::ReadJsonFile(path, fromFile, &report);
    if (!saved || !loaded || *fromFile != timeline) {
        std::cerr << "file round trip failed: " << saved.ErrorMessage() << loaded.ErrorMessage() << '\n';
        return 1;
    }
    std::ofstream(path) << "{\"id\": \"tl-1\",\n \"duration\": \"soon\"}";
    const auto broken = Serialization::Json::ReadJsonFile(path, fromFile, &report);
    std::remove(path.c_str());
    if (broken || report.place.line != 2) {
        std::cerr << "a broken file was not reported with its place\n";
        return 1;
    }
    std::cout << text << "\nconsumer: written and read back three ways, equal\n"
              << ToString(report.place, path) << '\n';
    return 0;
}
