#pragma once

// Keys of the media info, transition effect and track item objects, shared by
// their writers, readers and the document checker. Each list is in the order
// the keys are written; the ReadingOrder lists give the order in which the
// readers take them. (The timeline and track keys are public: Properties/.)

namespace Orv::TimelineEngineModel::Serialization::Json::Detail {

struct MediaInfoKeys {
    static constexpr char MediaAssetId[] = "mediaAssetId";
    static constexpr char LimitIn[] = "limitIn";
    static constexpr char LimitDuration[] = "limitDuration";
    static constexpr char Channels[] = "channels";

    static constexpr const char* ReadingOrder[] = {MediaAssetId, LimitIn, LimitDuration, Channels};
};

struct TransitionEffectKeys {
    static constexpr char FxType[] = "fxType";
    static constexpr char Offset[] = "offset";
    static constexpr char Duration[] = "duration";
    static constexpr char Config[] = "config";

    static constexpr const char* ReadingOrder[] = {FxType, Offset, Duration, Config};
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

    // A media summary item's own members. "_type" is read first, "id" after
    // the kind's members (a transition's are TransitionEffectKeys).
    static constexpr const char* SummaryReadingOrder[] = {VideoIn,      VideoDuration,      AudioIn,
                                                          AudioDuration, MediaAssetId,      MediaVideoIn,
                                                          MediaVideoDuration, MediaAudioIn, MediaAudioDuration,
                                                          AudioLevel,    MonitoringChannel};
};

// The values of "_type".
struct TrackItemTypeNames {
    static constexpr char MediaSummary[] = "MediaSummaryItem";
    static constexpr char FxAudioTransition[] = "FxAudioTransitionItem";
    static constexpr char FxVideoTransition[] = "FxVideoTransitionItem";
};

}  // namespace Orv::TimelineEngineModel::Serialization::Json::Detail
