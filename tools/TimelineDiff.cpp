#include "TimelineDiff.h"

#include "Documents.h"

#include <Orv/TimelineEngineModel/FxTransitionItem.h>
#include <Orv/TimelineEngineModel/MediaSummaryItem.h>

#include <cstdint>

namespace OrvTool {

namespace {

namespace Model = Orv::TimelineEngineModel;
using Identifier = Orv::BusinessEntityModel::BaseTypes::Identifier;

// Counting goes on past the limit so that the summary line can say how many
// there were, but not forever on two huge unrelated documents.
constexpr std::size_t kCountingBound = 1000000;

class Collector {
public:
    explicit Collector(std::size_t limit) : limit(limit) {}

    bool Full() const { return count >= kCountingBound; }

    void Add(const std::string& place, const std::string& member, const std::string& a, const std::string& b) {
        ++count;
        if (lines.size() < limit) {
            lines.push_back((place.empty() ? "" : place + ": ") + member + ": A has " + a + ", B has " + b);
        }
    }

    void Compare(const std::string& place, const char* member, const Identifier& a, const Identifier& b) {
        if (a != b) {
            Add(place, member, Quote(a.Value()), Quote(b.Value()));
        }
    }
    void Compare(const std::string& place, const char* member, const std::string& a, const std::string& b) {
        if (a != b) {
            Add(place, member, Quote(a), Quote(b));
        }
    }
    // Integers are strings in the document; they are shown as such.
    void Compare(const std::string& place, const char* member, std::int64_t a, std::int64_t b) {
        if (a != b) {
            Add(place, member, Quote(std::to_string(a)), Quote(std::to_string(b)));
        }
    }
    void CompareSizes(const std::string& place, const char* member, std::size_t a, std::size_t b) {
        if (a != b) {
            Add(place, member, std::to_string(a) + (a == 1 ? " entry" : " entries"),
                std::to_string(b) + (b == 1 ? " entry" : " entries"));
        }
    }

    std::vector<std::string> lines;
    std::size_t count = 0;

private:
    std::size_t limit;
};

std::string Place(const std::string& parent, const char* list, std::size_t index, const char* idName,
                  const std::string& id) {
    std::string place = parent.empty() ? std::string() : parent + " ";
    place += std::string(list) + "[" + std::to_string(index) + "]";
    if (!id.empty()) {
        place += std::string(" (") + idName + " " + Quote(id) + ")";
    }
    return place;
}

const char* TrackTypeName(Model::TrackType type) {
    return type == Model::TrackType::Summary ? "SUMMARY" : "Unknown";
}

void CompareEffects(Collector& out, const std::string& place, const Model::TransitionEffect& a,
                    const Model::TransitionEffect& b) {
    if (a.TransitionEffectType() != b.TransitionEffectType()) {
        out.Add(place, "fxType", Quote(Model::ToString(a.TransitionEffectType())),
                Quote(Model::ToString(b.TransitionEffectType())));
    }
    out.Compare(place, "offset", a.Offset(), b.Offset());
    out.Compare(place, "duration", a.Duration(), b.Duration());
    out.Compare(place, "config", a.Config(), b.Config());
}

void CompareSummaries(Collector& out, const std::string& place, const Model::MediaSummaryItem& a,
                      const Model::MediaSummaryItem& b) {
    out.Compare(place, "videoIn", a.VideoIn(), b.VideoIn());
    out.Compare(place, "videoDuration", a.VideoDuration(), b.VideoDuration());
    out.Compare(place, "audioIn", a.AudioIn(), b.AudioIn());
    out.Compare(place, "audioDuration", a.AudioDuration(), b.AudioDuration());
    out.Compare(place, "mediaAssetId", a.MediaAssetId(), b.MediaAssetId());
    out.Compare(place, "mediaVideoIn", a.MediaVideoIn(), b.MediaVideoIn());
    out.Compare(place, "mediaVideoDuration", a.MediaVideoDuration(), b.MediaVideoDuration());
    out.Compare(place, "mediaAudioIn", a.MediaAudioIn(), b.MediaAudioIn());
    out.Compare(place, "mediaAudioDuration", a.MediaAudioDuration(), b.MediaAudioDuration());
    out.Compare(place, "audioLevel", a.AudioLevel(), b.AudioLevel());
    out.Compare(place, "monitoringChannel", a.MonitoringChannel(), b.MonitoringChannel());
}

void CompareItems(Collector& out, const std::string& place, const Model::TrackItem* a, const Model::TrackItem* b) {
    if (a == nullptr || b == nullptr) {
        if (a != b) {
            out.Add(place, "entry", a == nullptr ? "no item" : ItemKindName(*a),
                    b == nullptr ? "no item" : ItemKindName(*b));
        }
        return;
    }
    out.Compare(place, "id", a->Id(), b->Id());
    if (a->GetType() != b->GetType()) {
        out.Add(place, "_type", Quote(ItemKindName(*a)), Quote(ItemKindName(*b)));
        return;  // different kinds have different members
    }
    switch (a->GetType()) {
        case Model::TrackItemType::MediaSummary:
            CompareSummaries(out, place, static_cast<const Model::MediaSummaryItem&>(*a),
                             static_cast<const Model::MediaSummaryItem&>(*b));
            break;
        case Model::TrackItemType::FxAudioTransition:
        case Model::TrackItemType::FxVideoTransition:
            CompareEffects(out, place, static_cast<const Model::FxTransitionItem&>(*a).FxTransition(),
                           static_cast<const Model::FxTransitionItem&>(*b).FxTransition());
            break;
        case Model::TrackItemType::Unknown:
            break;
    }
}

void CompareTracks(Collector& out, const std::string& place, const Model::Track& a, const Model::Track& b) {
    out.Compare(place, "id", a.Id(), b.Id());
    if (a.GetType() != b.GetType()) {
        out.Add(place, "type", Quote(TrackTypeName(a.GetType())), Quote(TrackTypeName(b.GetType())));
    }
    const auto& itemsA = a.TrackItems();
    const auto& itemsB = b.TrackItems();
    out.CompareSizes(place, "items", itemsA.size(), itemsB.size());
    for (std::size_t i = 0; i < itemsA.size() && i < itemsB.size() && !out.Full(); ++i) {
        const Model::TrackItem* itemA = itemsA[i].get();
        const Model::TrackItem* itemB = itemsB[i].get();
        if (itemA == itemB) {
            continue;  // the same shared item, or two empty entries
        }
        const std::string id = itemA != nullptr ? itemA->Id().Value() : itemB->Id().Value();
        CompareItems(out, Place(place, "items", i, "id", id), itemA, itemB);
    }
}

}  // namespace

std::vector<std::string> DiffTimelines(const Model::Timeline& a, const Model::Timeline& b, std::size_t limit,
                                       std::size_t* total) {
    Collector out(limit);
    out.Compare("", "id", a.Id(), b.Id());
    out.Compare("", "transactionId", a.TransactionId(), b.TransactionId());
    out.Compare("", "duration", a.Duration(), b.Duration());

    const auto& tracksA = a.Tracks();
    const auto& tracksB = b.Tracks();
    out.CompareSizes("", "tracks", tracksA.size(), tracksB.size());
    for (std::size_t t = 0; t < tracksA.size() && t < tracksB.size() && !out.Full(); ++t) {
        CompareTracks(out, Place("", "tracks", t, "id", tracksA[t].Id().Value()), tracksA[t], tracksB[t]);
    }

    const auto& infosA = a.MediaInfos();
    const auto& infosB = b.MediaInfos();
    out.CompareSizes("", "mediaInfos", infosA.size(), infosB.size());
    for (std::size_t m = 0; m < infosA.size() && m < infosB.size() && !out.Full(); ++m) {
        const std::string place =
            Place("", "mediaInfos", m, "mediaAssetId", infosA[m].MediaAssetId().Value());
        out.Compare(place, "mediaAssetId", infosA[m].MediaAssetId(), infosB[m].MediaAssetId());
        out.Compare(place, "limitIn", infosA[m].LimitIn(), infosB[m].LimitIn());
        out.Compare(place, "limitDuration", infosA[m].LimitDuration(), infosB[m].LimitDuration());
        out.Compare(place, "channels", infosA[m].Channels(), infosB[m].Channels());
    }
    if (total != nullptr) {
        *total = out.count;
    }
    return out.lines;
}

}  // namespace OrvTool
