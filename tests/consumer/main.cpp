// A program that uses the installed library the way any other project would:
// it builds a timeline, writes it as JSON, reads it back from the text in one
// call and through a jsoncpp value, and checks that nothing changed.

#include <Orv/Common/Serialization/Json/Stringer.h>
#include <Orv/TimelineEngineModel/FxAudioTransitionItem.h>
#include <Orv/TimelineEngineModel/MediaSummaryItem.h>
#include <Orv/TimelineEngineModel/Serialization/Json/JsonTextToTimelineConverter.h>
#include <Orv/TimelineEngineModel/Serialization/Json/JsonToTimelineConverter.h>
#include <Orv/TimelineEngineModel/Serialization/Json/TimelineToJsonConverter.h>
#include <Orv/TimelineEngineModel/Timeline.h>

#include <json/json.h>

#include <iostream>
#include <memory>
#include <string>

int main() {
    using Orv::BusinessEntityModel::BaseTypes::Identifier;
    using Orv::Common::Serialization::Json::Stringer;
    namespace Model = Orv::TimelineEngineModel;
    namespace Json_ = Orv::TimelineEngineModel::Serialization::Json;

    auto clip = std::make_shared<Model::MediaSummaryItem>(Identifier("clip-1"));
    clip->MediaAssetId(Identifier("asset-7"));
    clip->VideoDuration(250);
    auto fade = std::make_shared<Model::FxAudioTransitionItem>(Identifier("fade-1"));
    fade->FxTransition(Model::TransitionEffect(Model::EffectType::Mix, -5, 10, ""));

    Model::Track track(Identifier("trk-1"));
    track.TrackItems().push_back(clip);
    track.TrackItems().push_back(fade);

    Model::Timeline timeline(Identifier("tl-1"));
    timeline.Duration(1500);
    timeline.Tracks().push_back(track);
    timeline.MediaInfos().emplace_back(Identifier("asset-7"), 0, 250, "L,R");

    Stringer stringer;
    const auto written = Json_::TimelineToJsonConverter().To(timeline, stringer);
    if (!written) {
        std::cerr << "writing failed: " << written.ErrorMessage() << '\n';
        return 1;
    }
    const std::string text = stringer.ToString();
    const std::string expected =
        R"({"id":"tl-1","duration":"1500","tracks":[{"id":"trk-1","type":"SUMMARY","items":[)"
        R"({"_type":"MediaSummaryItem","id":"clip-1","videoIn":"0","videoDuration":"250","audioIn":"0",)"
        R"("audioDuration":"0","mediaAssetId":"asset-7","mediaVideoIn":"0","mediaVideoDuration":"0",)"
        R"("mediaAudioIn":"0","mediaAudioDuration":"0","audioLevel":"0","monitoringChannel":"0"},)"
        R"({"_type":"FxAudioTransitionItem","id":"fade-1","fxType":"Mix","offset":"-5","duration":"10"}]}],)"
        R"("mediaInfos":[{"mediaAssetId":"asset-7","limitDuration":"250","channels":"L,R"}]})";
    if (text != expected) {
        std::cerr << "unexpected text:\n" << text << '\n';
        return 1;
    }

    Json::Value json;
    std::string errors;
    const std::unique_ptr<Json::CharReader> reader(Json::CharReaderBuilder().newCharReader());
    if (!reader->parse(text.data(), text.data() + text.size(), &json, &errors)) {
        std::cerr << "not JSON: " << errors << '\n';
        return 1;
    }
    std::unique_ptr<Model::Timeline> readBack;
    const auto read = Json_::JsonToTimelineConverter().To(json, readBack);
    if (!read || !readBack || *readBack != timeline) {
        std::cerr << "reading back failed: " << read.ErrorMessage() << '\n';
        return 1;
    }
    std::unique_ptr<Model::Timeline> readFromText;
    const auto readText = Json_::JsonTextToTimelineConverter().To(text, readFromText);
    if (!readText || !readFromText || *readFromText != timeline) {
        std::cerr << "reading the text back failed: " << readText.ErrorMessage() << '\n';
        return 1;
    }
    std::cout << text << "\nconsumer: written and read back both ways, equal\n";
    return 0;
}
