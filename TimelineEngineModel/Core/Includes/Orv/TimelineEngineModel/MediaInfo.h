#pragma once

#include <Orv/BusinessEntityModel/BaseTypes/Identifier.h>

#include <cstdint>
#include <string>
#include <utility>

namespace Orv::TimelineEngineModel {

// A media asset used by a timeline, with its limits and channels.
class MediaInfo {
public:
    using Identifier = Orv::BusinessEntityModel::BaseTypes::Identifier;

    MediaInfo() : mediaAssetId(Identifier::Empty()) {}

    explicit MediaInfo(const Identifier& mediaAssetId, int64_t limitIn, int64_t limitDuration,
                       const std::string& channels)
        : mediaAssetId(mediaAssetId), limitIn(limitIn), limitDuration(limitDuration), channels(channels) {}

    const Identifier& MediaAssetId() const noexcept { return mediaAssetId; }
    void MediaAssetId(const Identifier& value) { mediaAssetId = value; }
    void MediaAssetId(Identifier&& value) noexcept { mediaAssetId = std::move(value); }

    int64_t LimitIn() const noexcept { return limitIn; }
    void LimitIn(int64_t value) noexcept { limitIn = value; }

    int64_t LimitDuration() const noexcept { return limitDuration; }
    void LimitDuration(int64_t value) noexcept { limitDuration = value; }

    // Stored and converted without interpretation.
    const std::string& Channels() const noexcept { return channels; }
    void Channels(const std::string& name) { channels = name; }
    void Channels(std::string&& name) noexcept { channels = std::move(name); }

    bool operator==(const MediaInfo& other) const noexcept {
        return mediaAssetId == other.mediaAssetId && limitIn == other.limitIn &&
               limitDuration == other.limitDuration && channels == other.channels;
    }
    bool operator!=(const MediaInfo& other) const noexcept { return !(*this == other); }

private:
    Identifier mediaAssetId;
    int64_t limitIn = 0;
    int64_t limitDuration = 0;
    std::string channels;
};

}  // namespace Orv::TimelineEngineModel
