#pragma once

#include <Orv/TimelineEngineModel/TrackItem.h>
#include <Orv/TimelineEngineModel/TransitionEffect.h>

#include <utility>

namespace Orv::TimelineEngineModel {

// A transition on a track: one transition effect, held by value. Only its
// audio and video kinds are constructed.
class ORV_TIMELINE_ENGINE_MODEL_API FxTransitionItem : public TrackItem {
public:
    ~FxTransitionItem() override = default;

    FxTransitionItem(const FxTransitionItem&) = default;
    FxTransitionItem(FxTransitionItem&&) = default;
    FxTransitionItem& operator=(const FxTransitionItem&) = default;
    FxTransitionItem& operator=(FxTransitionItem&&) = default;

    // Same identifier and kind, then an equal effect.
    bool operator==(const TrackItem& other) const override {
        return TrackItem::operator==(other) &&
               fxTransition == static_cast<const FxTransitionItem&>(other).fxTransition;
    }
    bool operator!=(const FxTransitionItem& other) const { return !(*this == other); }

    virtual const TransitionEffect& FxTransition() const { return fxTransition; }
    // Stores a copy of `effect`.
    virtual void FxTransition(const TransitionEffect& effect) { fxTransition = effect; }
    virtual void FxTransition(TransitionEffect&& effect) { fxTransition = std::move(effect); }

protected:
    FxTransitionItem(TrackItemType type) : TrackItem(Identifier::Empty(), type) {}
    explicit FxTransitionItem(const Identifier& id, TrackItemType type) : TrackItem(id, type) {}

    TransitionEffect fxTransition;
};

}  // namespace Orv::TimelineEngineModel
