#pragma once

#include <Orv/TimelineEngineModel/FxTransitionItem.h>

namespace Orv::TimelineEngineModel {

// A transition item on an audio track.
class ORV_TIMELINE_ENGINE_MODEL_API FxAudioTransitionItem : public FxTransitionItem {
public:
    FxAudioTransitionItem() : FxTransitionItem(TrackItemType::FxAudioTransition) {}
    explicit FxAudioTransitionItem(const Identifier& id)
        : FxTransitionItem(id, TrackItemType::FxAudioTransition) {}

    FxAudioTransitionItem(const FxAudioTransitionItem&) = default;
    FxAudioTransitionItem(FxAudioTransitionItem&&) = default;
    FxAudioTransitionItem& operator=(const FxAudioTransitionItem&) = default;
    FxAudioTransitionItem& operator=(FxAudioTransitionItem&&) = default;
    ~FxAudioTransitionItem() override = default;

    bool operator==(const TrackItem& other) const override { return FxTransitionItem::operator==(other); }
    bool operator!=(const FxAudioTransitionItem& other) const { return !(*this == other); }
};

}  // namespace Orv::TimelineEngineModel
