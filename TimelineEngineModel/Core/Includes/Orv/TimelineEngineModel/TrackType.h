#pragma once

namespace Orv::TimelineEngineModel {

// The kind of a track.
enum class TrackType : int {
    Unknown = 0,
    Summary = 1,
};

}  // namespace Orv::TimelineEngineModel
