#include "ModelCopy.h"

#include <Orv/TimelineEngineModel/FxAudioTransitionItem.h>
#include <Orv/TimelineEngineModel/FxVideoTransitionItem.h>
#include <Orv/TimelineEngineModel/MediaSummaryItem.h>

#include <memory>

namespace Orv::Bench {

namespace {
using namespace TimelineEngineModel;

std::shared_ptr<TrackItem> CopyItem(const TrackItem& item) {
    switch (item.GetType()) {
        case TrackItemType::MediaSummary:
            return std::make_shared<MediaSummaryItem>(static_cast<const MediaSummaryItem&>(item));
        case TrackItemType::FxAudioTransition:
            return std::make_shared<FxAudioTransitionItem>(static_cast<const FxAudioTransitionItem&>(item));
        case TrackItemType::FxVideoTransition:
            return std::make_shared<FxVideoTransitionItem>(static_cast<const FxVideoTransitionItem&>(item));
        case TrackItemType::Unknown:
            break;
    }
    return nullptr;
}
}  // namespace

Timeline CopyModel(const Timeline& timeline) {
    Timeline copy(timeline.Id());
    copy.TransactionId(timeline.TransactionId());
    copy.Duration(timeline.Duration());
    copy.Tracks().reserve(timeline.Tracks().size());
    for (const Track& track : timeline.Tracks()) {
        Track& target = copy.Tracks().emplace_back(track.Id());
        target.TrackItems().reserve(track.TrackItems().size());
        for (const auto& item : track.TrackItems()) {
            target.TrackItems().push_back(item ? CopyItem(*item) : nullptr);
        }
    }
    copy.MediaInfos() = timeline.MediaInfos();  // values: new strings
    return copy;
}

}  // namespace Orv::Bench
