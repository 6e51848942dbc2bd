#pragma once

// Builds the timeline document as a DOM of a JSON library (jsoncpp,
// nlohmann), member for member as our writers write it, for the contenders
// that build a document before they write it. Dom is the library's value
// type; Traits says how to make an object or array and append to an array.

#include <Orv/TimelineEngineModel/FxTransitionItem.h>
#include <Orv/TimelineEngineModel/MediaSummaryItem.h>
#include <Orv/TimelineEngineModel/Timeline.h>

#include <cstdint>
#include <string>
#include <utility>

namespace Orv::Bench {

template <typename Dom, typename Traits>
class DomBuilder {
public:
    static Dom Timeline(const TimelineEngineModel::Timeline& timeline) {
        Dom root = Traits::Object();
        SetText(root, "id", timeline.Id().Value());
        SetText(root, "transactionId", timeline.TransactionId().Value());
        SetInteger(root, "duration", timeline.Duration());
        SetArray(root, "tracks", timeline.Tracks(), &Track);
        SetArray(root, "mediaInfos", timeline.MediaInfos(), &MediaInfo);
        return root;
    }

private:
    using TrackItemType = TimelineEngineModel::TrackItemType;

    static void SetText(Dom& object, const char* key, const std::string& text) {
        if (!text.empty()) {
            object[key] = text;
        }
    }

    static void SetInteger(Dom& object, const char* key, std::int64_t value) {
        object[key] = std::to_string(value);
    }

    static void SetNonZero(Dom& object, const char* key, std::int64_t value) {
        if (value != 0) {
            SetInteger(object, key, value);
        }
    }

    template <typename List, typename Element>
    static void SetArray(Dom& object, const char* key, const List& list, Dom (*build)(const Element&)) {
        if (list.empty()) {
            return;
        }
        Dom& array = object[key] = Traits::Array();
        for (const auto& entry : list) {
            Traits::Append(array, build(entry));
        }
    }

    static Dom Track(const TimelineEngineModel::Track& track) {
        Dom object = Traits::Object();
        SetText(object, "id", track.Id().Value());
        object["type"] = track.GetType() == TimelineEngineModel::TrackType::Summary ? "SUMMARY" : "Unknown";
        SetArray(object, "items", track.TrackItems(), &Item);
        return object;
    }

    static Dom MediaInfo(const TimelineEngineModel::MediaInfo& info) {
        Dom object = Traits::Object();
        SetText(object, "mediaAssetId", info.MediaAssetId().Value());
        SetNonZero(object, "limitIn", info.LimitIn());
        SetNonZero(object, "limitDuration", info.LimitDuration());
        SetText(object, "channels", info.Channels());
        return object;
    }

    static Dom Item(const std::shared_ptr<TimelineEngineModel::TrackItem>& entry) {
        const TimelineEngineModel::TrackItem& item = *entry;
        Dom object = Traits::Object();
        switch (item.GetType()) {
            case TrackItemType::MediaSummary:
                MediaSummaryMembers(object, static_cast<const TimelineEngineModel::MediaSummaryItem&>(item));
                break;
            case TrackItemType::FxAudioTransition:
            case TrackItemType::FxVideoTransition:
                TransitionMembers(object, static_cast<const TimelineEngineModel::FxTransitionItem&>(item));
                break;
            case TrackItemType::Unknown:
                break;
        }
        return object;
    }

    static void MediaSummaryMembers(Dom& object, const TimelineEngineModel::MediaSummaryItem& s) {
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
    }

    static void TransitionMembers(Dom& object, const TimelineEngineModel::FxTransitionItem& t) {
        object["_type"] =
            t.GetType() == TrackItemType::FxAudioTransition ? "FxAudioTransitionItem" : "FxVideoTransitionItem";
        SetText(object, "id", t.Id().Value());
        const TimelineEngineModel::TransitionEffect& effect = t.FxTransition();
        if (effect.TransitionEffectType() != TimelineEngineModel::EffectType::Unknown) {
            object["fxType"] = TimelineEngineModel::ToString(effect.TransitionEffectType());
        }
        SetNonZero(object, "offset", effect.Offset());
        SetNonZero(object, "duration", effect.Duration());
        SetText(object, "config", effect.Config());
    }
};

}  // namespace Orv::Bench
