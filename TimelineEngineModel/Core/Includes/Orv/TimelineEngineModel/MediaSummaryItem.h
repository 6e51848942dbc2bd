#pragma once

#include <Orv/TimelineEngineModel/TrackItem.h>

#include <cstdint>
#include <utility>

namespace Orv::TimelineEngineModel {

// A stretch of one media asset placed on a track. The integers have no unit
// and are stored unchecked: negative values are kept as they are.
class ORV_TIMELINE_ENGINE_MODEL_API MediaSummaryItem : public TrackItem {
public:
    MediaSummaryItem() : TrackItem(Identifier::Empty(), TrackItemType::MediaSummary), mediaAssetId(Identifier::Empty()) {}
    explicit MediaSummaryItem(const Identifier& id)
        : TrackItem(id, TrackItemType::MediaSummary), mediaAssetId(Identifier::Empty()) {}

    bool operator==(const TrackItem& other) const override {
        if (!TrackItem::operator==(other)) {
            return false;
        }
        const auto& rhs = static_cast<const MediaSummaryItem&>(other);
        return videoIn == rhs.videoIn && videoDuration == rhs.videoDuration && audioIn == rhs.audioIn &&
               audioDuration == rhs.audioDuration && mediaAssetId == rhs.mediaAssetId &&
               mediaVideoIn == rhs.mediaVideoIn && mediaVideoDuration == rhs.mediaVideoDuration &&
               mediaAudioIn == rhs.mediaAudioIn && mediaAudioDuration == rhs.mediaAudioDuration &&
               audioLevel == rhs.audioLevel && monitoringChannel == rhs.monitoringChannel;
    }
    bool operator!=(const MediaSummaryItem& other) const { return !(*this == other); }

    int64_t VideoIn() const noexcept { return videoIn; }
    void VideoIn(int64_t value) noexcept { videoIn = value; }
    int64_t VideoDuration() const noexcept { return videoDuration; }
    void VideoDuration(int64_t value) noexcept { videoDuration = value; }
    int64_t AudioIn() const noexcept { return audioIn; }
    void AudioIn(int64_t value) noexcept { audioIn = value; }
    int64_t AudioDuration() const noexcept { return audioDuration; }
    void AudioDuration(int64_t value) noexcept { audioDuration = value; }

    const Identifier& MediaAssetId() const noexcept { return mediaAssetId; }
    void MediaAssetId(const Identifier& value) { mediaAssetId = value; }
    void MediaAssetId(Identifier&& value) noexcept { mediaAssetId = std::move(value); }

    int64_t MediaVideoIn() const noexcept { return mediaVideoIn; }
    void MediaVideoIn(int64_t value) noexcept { mediaVideoIn = value; }
    int64_t MediaVideoDuration() const noexcept { return mediaVideoDuration; }
    void MediaVideoDuration(int64_t value) noexcept { mediaVideoDuration = value; }
    int64_t MediaAudioIn() const noexcept { return mediaAudioIn; }
    void MediaAudioIn(int64_t value) noexcept { mediaAudioIn = value; }
    int64_t MediaAudioDuration() const noexcept { return mediaAudioDuration; }
    void MediaAudioDuration(int64_t value) noexcept { mediaAudioDuration = value; }
    int64_t AudioLevel() const noexcept { return audioLevel; }
    void AudioLevel(int64_t value) noexcept { audioLevel = value; }
    int64_t MonitoringChannel() const noexcept { return monitoringChannel; }
    void MonitoringChannel(int64_t value) noexcept { monitoringChannel = value; }

private:
    int64_t videoIn = 0;
    int64_t videoDuration = 0;
    int64_t audioIn = 0;
    int64_t audioDuration = 0;
    Identifier mediaAssetId;
    int64_t mediaVideoIn = 0;
    int64_t mediaVideoDuration = 0;
    int64_t mediaAudioIn = 0;
    int64_t mediaAudioDuration = 0;
    int64_t audioLevel = 0;
    int64_t monitoringChannel = 0;
};

}  // namespace Orv::TimelineEngineModel
