#pragma once

#include <Orv/BusinessEntityModel/BaseTypes/Identifier.h>
#include <Orv/TimelineEngineModel/MediaInfo.h>
#include <Orv/TimelineEngineModel/Track.h>

#include <cstdint>
#include <utility>
#include <vector>

namespace Orv::TimelineEngineModel {

using TrackArray = std::vector<Track>;
using MediaInfoArray = std::vector<MediaInfo>;

// Root of the model: owns its tracks and media infos by value.
class Timeline {
public:
    using Identifier = Orv::BusinessEntityModel::BaseTypes::Identifier;

    Timeline() : id(Identifier::Empty()), transactionId(Identifier::Empty()) {}
    explicit Timeline(const Identifier& id) : id(id), transactionId(Identifier::Empty()) {}

    const Identifier& Id() const noexcept { return id; }
    void Id(const Identifier& value) { id = value; }
    void Id(Identifier&& value) noexcept { id = std::move(value); }

    // Carried unchanged; the model gives it no further meaning.
    const Identifier& TransactionId() const noexcept { return transactionId; }
    void TransactionId(const Identifier& value) { transactionId = value; }
    void TransactionId(Identifier&& value) noexcept { transactionId = std::move(value); }

    int64_t Duration() const noexcept { return duration; }
    void Duration(int64_t value) noexcept { duration = value; }

    const TrackArray& Tracks() const noexcept { return tracks; }
    TrackArray& Tracks() noexcept { return tracks; }
    void Tracks(const TrackArray& value) { tracks = value; }

    const MediaInfoArray& MediaInfos() const noexcept { return mediaInfos; }
    MediaInfoArray& MediaInfos() noexcept { return mediaInfos; }
    void MediaInfos(const MediaInfoArray& value) { mediaInfos = value; }

    bool operator==(const Timeline& other) const {
        return id == other.id && transactionId == other.transactionId && duration == other.duration &&
               AreTracksEqual(other) && AreMediaInfosEqual(other);
    }
    bool operator!=(const Timeline& other) const { return !(*this == other); }

private:
    bool AreTracksEqual(const Timeline& other) const { return tracks == other.tracks; }
    bool AreMediaInfosEqual(const Timeline& other) const { return mediaInfos == other.mediaInfos; }

    Identifier id;
    Identifier transactionId;
    int64_t duration = 0;
    TrackArray tracks;
    MediaInfoArray mediaInfos;
};

}  // namespace Orv::TimelineEngineModel
