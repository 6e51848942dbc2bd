#pragma once

// Keys of the media info, transition effect and track item objects, shared by
// their writers and readers. Each list is in the order the keys are written.
// (The timeline and track keys are public: Properties/.)

namespace Orv::TimelineEngineModel::Serialization::Json::Detail {

struct MediaInfoKeys {
    static constexpr char MediaAssetId[] = "mediaAssetId";
    static constexpr char LimitIn[] = "limitIn";
    static constexpr char LimitDuration[] = "limitDuration";
    static constexpr char Channels[] = "channels";
};

struct TransitionEffectKeys {
    static constexpr char FxType[] = "fxType";
    static constexpr char Offset[] = "offset";
    static constexpr char Duration[] = "duration";
    static constexpr char Config[] = "config";
};

struct TrackItemKeys {
    static constexpr char Type[] = "_type";
    static constexpr char Id[] = "id";
    static constexpr char VideoIn[] = "videoIn";
    static constexpr char VideoDuration[] = "videoDuration";
    static constexpr char AudioIn[] = "audioIn";
    static constexpr char AudioDuration[] = "audioDuration";
    static constexpr char MediaAssetId[] = "mediaAssetId";
    static constexpr char MediaVideoIn[] = "mediaVideoIn";
    static constexpr char MediaVideoDuration[] = "mediaVideoDuration";
    static constexpr char MediaAudioIn[] = "mediaAudioIn";
    static constexpr char MediaAudioDuration[] = "mediaAudioDuration";
    static constexpr char AudioLevel[] = "audioLevel";
    static constexpr char MonitoringChannel[] = "monitoringChannel";
};

// The values of "_type".
struct TrackItemTypeNames {
    static constexpr char MediaSummary[] = "MediaSummaryItem";
    static constexpr char FxAudioTransition[] = "FxAudioTransitionItem";
    static constexpr char FxVideoTransition[] = "FxVideoTransitionItem";
};

}  // namespace Orv::TimelineEngineModel::Serialization::Json::Detail
