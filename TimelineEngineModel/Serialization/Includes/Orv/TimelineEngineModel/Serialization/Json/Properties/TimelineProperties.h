#pragma once

namespace Orv::TimelineEngineModel::Serialization::Json {

// Keys of the timeline document's root object, in the order they are written.
struct TimelineProperties {
    static constexpr char Id[] = "id";
    static constexpr char TransactionId[] = "transactionId";
    static constexpr char Duration[] = "duration";
    static constexpr char Tracks[] = "tracks";
    static constexpr char MediaInfos[] = "mediaInfos";
};

}  // namespace Orv::TimelineEngineModel::Serialization::Json
