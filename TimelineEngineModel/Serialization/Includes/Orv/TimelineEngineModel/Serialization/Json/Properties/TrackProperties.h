#pragma once

namespace Orv::TimelineEngineModel::Serialization::Json {

// Keys of a track object, in the order they are written, and the texts of
// its "type".
struct TrackProperties {
    static constexpr char Id[] = "id";
    static constexpr char Type[] = "type";
    static constexpr char Items[] = "items";

    static constexpr char SummaryType[] = "SUMMARY";
    static constexpr char UnknownType[] = "Unknown";
};

}  // namespace Orv::TimelineEngineModel::Serialization::Json
