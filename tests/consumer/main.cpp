// A program that uses the installed library the way any other project would:
// it writes a timeline as JSON and reads it back from the text in one call and
// through a jsoncpp value.

#include <Orv/TimelineEngineModel/MediaSummaryItem.h>
#include <Orv/TimelineEngineModel/Serialization/Json/JsonTextToTimelineConverter.h>
#include <Orv/TimelineEngineModel/Serialization/Json/JsonToTimelineConverter.h>
#include <Orv/TimelineEngineModel/Serialization/Json/TimelineToJsonConverter.h>

#include <json/json.h>

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
    std::cout << text << "\nconsumer: written and read back both ways, equal\n";
    return 0;
}
