#include "Contenders.h"

#include <Orv/TimelineEngineModel/FxAudioTransitionItem.h>
#include <Orv/TimelineEngineModel/FxVideoTransitionItem.h>
#include <Orv/TimelineEngineModel/MediaSummaryItem.h>

#include <json/reader.h>
#include <json/writer.h>

#include <memory>
#include <stdexcept>
#include <string>

namespace Orv::Bench {

namespace {
using namespace Orv::TimelineEngineModel;
using Common::Serialization::Json::JsonObject;

void SetText(JsonObject& object, const char* key, const std::string& text) {
    if (!text.empty()) {
        object[key] = text;
    }
}

void SetInteger(JsonObject& object, const char* key, std::int64_t value) {
    object[key] = std::to_string(value);
}

void SetNonZero(JsonObject& object, const char* key, std::int64_t value) {
    if (value != 0) {
        SetInteger(object, key, value);
    }
}

JsonObject BuildItem(const TrackItem& item) {
    JsonObject object(Json::objectValue);
    switch (item.GetType()) {
        case TrackItemType::MediaSummary: {
            const auto& s = static_cast<const MediaSummaryItem&>(item);
            object["_type"] = "MediaSummaryItem";
            SetText(object, "id", s.Id().Value());
            SetInteger(object, "videoIn", s.VideoIn());
            SetInteger(object, "videoDuration", s.VideoDuration());
            SetInteger(object, "audioIn", s.AudioIn());
            SetInteger(object, "audioDuration", s.AudioDuration());
            SetText(object, "mediaAssetId", s.MediaAssetId().Value());
            SetInteger(object, "mediaVideoIn", s.MediaVideoIn());
            SetInteger(object, "mediaVideoDuration", s.MediaVideoDuration());
            SetInteger(object, "mediaAudioIn", s.MediaAudioIn());
            SetInteger(object, "mediaAudioDuration", s.MediaAudioDuration());
            SetInteger(object, "audioLevel", s.AudioLevel());
            SetInteger(object, "monitoringChannel", s.MonitoringChannel());
            break;
        }
        case TrackItemType::FxAudioTransition:
        case TrackItemType::FxVideoTransition: {
            const auto& t = static_cast<const FxTransitionItem&>(item);
            object["_type"] = item.GetType() == TrackItemType::FxAudioTransition ? "FxAudioTransitionItem"
                                                                                 : "FxVideoTransitionItem";
            SetText(object, "id", t.Id().Value());
            const TransitionEffect& effect = t.FxTransition();
            if (effect.TransitionEffectType() != EffectType::Unknown) {
                object["fxType"] = ToString(effect.TransitionEffectType());
            }
            SetNonZero(object, "offset", effect.Offset());
            SetNonZero(object, "duration", effect.Duration());
            SetText(object, "config", effect.Config());
            break;
        }
        case TrackItemType::Unknown:
            break;
    }
    return object;
}
}  // namespace

JsonObject JsonCppBuild(const Timeline& timeline) {
    JsonObject root(Json::objectValue);
    SetText(root, "id", timeline.Id().Value());
    SetText(root, "transactionId", timeline.TransactionId().Value());
    SetInteger(root, "duration", timeline.Duration());
    if (!timeline.Tracks().empty()) {
        JsonObject& tracks = root["tracks"] = JsonObject(Json::arrayValue);
        for (const Track& track : timeline.Tracks()) {
            JsonObject object(Json::objectValue);
            SetText(object, "id", track.Id().Value());
            object["type"] = track.GetType() == TrackType::Summary ? "SUMMARY" : "Unknown";
            if (!track.TrackItems().empty()) {
                JsonObject& items = object["items"] = JsonObject(Json::arrayValue);
                for (const auto& item : track.TrackItems()) {
                    items.append(BuildItem(*item));
                }
            }
            tracks.append(std::move(object));
        }
    }
    if (!timeline.MediaInfos().empty()) {
        JsonObject& infos = root["mediaInfos"] = JsonObject(Json::arrayValue);
        for (const MediaInfo& info : timeline.MediaInfos()) {
            JsonObject object(Json::objectValue);
            SetText(object, "mediaAssetId", info.MediaAssetId().Value());
            SetNonZero(object, "limitIn", info.LimitIn());
            SetNonZero(object, "limitDuration", info.LimitDuration());
            SetText(object, "channels", info.Channels());
            infos.append(std::move(object));
        }
    }
    return root;
}

std::string JsonCppWrite(const JsonObject& value) {
    static const Json::StreamWriterBuilder builder = [] {
        Json::StreamWriterBuilder compact;
        compact["indentation"] = "";
        return compact;
    }();
    return Json::writeString(builder, value);
}

JsonObject JsonCppParse(const std::string& text) {
    static const std::unique_ptr<Json::CharReader> reader(Json::CharReaderBuilder().newCharReader());
    JsonObject value;
    std::string errors;
    if (!reader->parse(text.data(), text.data() + text.size(), &value, &errors)) {
        throw std::invalid_argument("jsoncpp refused the document: " + errors);
    }
    return value;
}

}  // namespace Orv::Bench
