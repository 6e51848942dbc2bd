#pragma once

// Model values the tests build again and again: items of every kind, tracks,
// timelines, and an item that counts its live instances.

#include <Orv/TimelineEngineModel/FxAudioTransitionItem.h>
#include <Orv/TimelineEngineModel/FxVideoTransitionItem.h>
#include <Orv/TimelineEngineModel/MediaSummaryItem.h>
#include <Orv/TimelineEngineModel/Timeline.h>

#include <cstdint>
#include <memory>
#include <string>
#include <vector>

namespace Orv::Testing {

using Orv::BusinessEntityModel::BaseTypes::Identifier;
using namespace Orv::TimelineEngineModel;

// A media summary item whose ten integers run from `first` by `step`, in the
// order they are written.
inline std::shared_ptr<MediaSummaryItem> Summary(const std::string& id, int64_t first = 0, int64_t step = 0,
                                                 const std::string& asset = "") {
    auto item = std::make_shared<MediaSummaryItem>(Identifier(id));
    int64_t v = first;
    item->VideoIn(v);
    item->VideoDuration(v += step);
    item->AudioIn(v += step);
    item->AudioDuration(v += step);
    item->MediaAssetId(Identifier(asset));
    item->MediaVideoIn(v += step);
    item->MediaVideoDuration(v += step);
    item->MediaAudioIn(v += step);
    item->MediaAudioDuration(v += step);
    item->AudioLevel(v += step);
    item->MonitoringChannel(v += step);
    return item;
}

template <typename Item>
std::shared_ptr<Item> Transition(const std::string& id, const TransitionEffect& effect) {
    auto item = std::make_shared<Item>(Identifier(id));
    item->FxTransition(effect);
    return item;
}
inline auto Audio(const std::string& id, const TransitionEffect& e = {}) { return Transition<FxAudioTransitionItem>(id, e); }
inline auto Video(const std::string& id, const TransitionEffect& e = {}) { return Transition<FxVideoTransitionItem>(id, e); }

// An item of a kind outside the model, built through the protected constructors.
class UnknownItem : public TrackItem {
public:
    UnknownItem() = default;
    explicit UnknownItem(const Identifier& id) : TrackItem(id, TrackItemType::Unknown) {}
};

// Counts its live instances, so tests can watch items being destroyed.
class CountedItem : public MediaSummaryItem {
public:
    explicit CountedItem(int& live) : live(live) { ++live; }
    ~CountedItem() override { --live; }

private:
    int& live;
};

inline Track MakeTrack(const std::string& id, const TrackItemArray& items) {
    Track track{Identifier(id)};
    track.TrackItems(items);
    return track;
}

inline Timeline MakeTimeline(const std::string& id, const std::string& transactionId, int64_t duration,
                             const std::vector<std::string>& trackIds, const MediaInfoArray& mediaInfos) {
    Timeline timeline{Identifier(id)};
    timeline.TransactionId(Identifier(transactionId));
    timeline.Duration(duration);
    for (const std::string& trackId : trackIds) {
        timeline.Tracks().push_back(Track(Identifier(trackId)));
    }
    timeline.MediaInfos(mediaInfos);
    return timeline;
}

}  // namespace Orv::Testing
