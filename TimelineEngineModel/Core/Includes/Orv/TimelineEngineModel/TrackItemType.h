#pragma once

namespace Orv::TimelineEngineModel {

// The kind of a track item; it names the item's concrete class.
enum class TrackItemType : int {
    Unknown = 0,
    MediaSummary = 1,       // MediaSummaryItem
    FxAudioTransition = 2,  // FxAudioTransitionItem
    FxVideoTransition = 3,  // FxVideoTransitionItem
};

}  // namespace Orv::TimelineEngineModel
