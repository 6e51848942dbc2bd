#pragma once

#include <Orv/TimelineEngineModel/FxTransitionItem.h>

namespace Orv::TimelineEngineModel {

// A transition item on a video track.
class ORV_TIMELINE_ENGINE_MODEL_API FxVideoTransitionItem : public FxTransitionItem {
public:
    FxVideoTransitionItem() : FxTransitionItem(TrackItemType::FxVideoTransition) {}
    explicit FxVideoTransitionItem(const Identifier& id)
        : FxTransitionItem(id, TrackItemType::FxVideoTransition) {}

    FxVideoTransitionItem(const FxVideoTransitionItem&) = default;
    FxVideoTransitionItem(FxVideoTransitionItem&&) = default;
    FxVideoTransitionItem& operator=(const FxVideoTransitionItem&) = default;
    FxVideoTransitionItem& operator=(FxVideoTransitionItem&&) = default;
    ~FxVideoTransitionItem() override = default;

    bool operator==(const TrackItem& other) const override { return FxTransitionItem::operator==(other); }
    bool operator!=(const FxVideoTransitionItem& other) const { return !(*this == other); }
};

}  // namespace Orv::TimelineEngineModel
