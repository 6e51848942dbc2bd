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
// The longest text of a value shown, in bytes; ids in places are shortened
// as QuotedText does by default.
constexpr std::size_t kValueLength = 256;

// Where a difference lies: an entry of a list within its parent's place
// ("tracks[0] (id "v1") items[3] (id "fx-3")"), or the timeline itself. Only
// the places of the differences printed are ever made into text, so that a
// long id costs nothing for the entries below it.
struct Place {
    const Place* parent = nullptr;
    const char* list = nullptr;  // none for the timeline
    std::size_t index = 0;
    const char* idName = "id";
    const std::string* id = nullptr;

    std::string Text() const {
        std::string text = parent != nullptr ? parent->Text() : std::string();
        if (list == nullptr) {
            return text;
        }
        if (!text.empty()) {
            text += ' ';
        }
        text += std::string(list) + "[" + std::to_string(index) + "]";
        if (id != nullptr && !id->empty()) {
            text += std::string(" (") + idName + " " + QuotedText(*id) + ")";
        }
        return text;
    }
};

std::string Shown(const std::string& value) {
    return QuotedText(value, kValueLength);
}

class Collector {
public:
    explicit Collector(std::size_t limit) : limit(limit) {}

    bool Full() const { return count >= kCountingBound; }

    // Counts one difference; true when its line is to be made.
    bool Count() {
        ++count;
        return lines.size() < limit;
    }

    void Add(const Place& place, const char* member, const std::string& a, const std::string& b) {
        const std::string where = place.Text();
        lines.push_back((where.empty() ? "" : where + ": ") + member + ": A has " + a + ", B has " + b);
    }

    void Compare(const Place& place, const char* member, const Identifier& a, const Identifier& b) {
        if (a != b && Count()) {
            Add(place, member, Shown(a.Value()), Shown(b.Value()));
        }
    }
    void Compare(const Place& place, const char* member, const std::string& a, const std::string& b) {
        if (a != b && Count()) {
            Add(place, member, Shown(a), Shown(b));
        }
    }
    // Integers are strings in the document; they are shown as such.
    void Compare(const Place& place, const char* member, std::int64_t a, std::int64_t b) {
        if (a != b && Count()) {
            Add(place, member, Shown(std::to_string(a)), Shown(std::to_string(b)));
        }
    }
    void CompareSizes(const Place& place, const char* member, std::size_t a, std::size_t b) {
        if (a != b && Count()) {
            Add(place, member, std::to_string(a) + (a == 1 ? " entry" : " entries"),
                std::to_string(b) + (b == 1 ? " entry" : " entries"));
        }
    }

    std::vector<std::string> lines;
    std::size_t count = 0;

private:
    std::size_t limit;
};

const char* TrackTypeName(Model::TrackType type) {
    return type == Model::TrackType::Summary ? "SUMMARY" : "Unknown";
}

void CompareEffects(Collector& out, const Place& place, const Model::TransitionEffect& a,
                    const Model::TransitionEffect& b) {
    if (a.TransitionEffectType() != b.TransitionEffectType() && out.Count()) {
        out.Add(place, "fxType", Shown(Model::ToString(a.TransitionEffectType())),
                Shown(Model::ToString(b.TransitionEffectType())));
    }
    out.Compare(place, "offset", a.Offset(), b.Offset());
    out.Compare(place, "duration", a.Duration(), b.Duration());
    out.Compare(place, "config", a.Config(), b.Config());
}

void CompareSummaries(Collector& out, const Place& place, const Model::MediaSummaryItem& a,
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

void CompareItems(Collector& out, const Place& place, const Model::TrackItem* a, const Model::TrackItem* b) {
    if (a == nullptr || b == nullptr) {
        if (a != b && out.Count()) {
            out.Add(place, "entry", a == nullptr ? "no item" : ItemKindName(*a),
                    b == nullptr ? "no item" : ItemKindName(*b));
        }
        return;
    }
    out.Compare(place, "id", a->Id(), b->Id());
    if (a->GetType() != b->GetType()) {
        if (out.Count()) {
            out.Add(place, "_type", Shown(ItemKindName(*a)), Shown(ItemKindName(*b)));
        }
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

void CompareTracks(Collector& out, const Place& place, const Model::Track& a, const Model::Track& b) {
    out.Compare(place, "id", a.Id(), b.Id());
    if (a.GetType() != b.GetType() && out.Count()) {
        out.Add(place, "type", Shown(TrackTypeName(a.GetType())), Shown(TrackTypeName(b.GetType())));
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
        const std::string& id = itemA != nullptr ? itemA->Id().Value() : itemB->Id().Value();
        CompareItems(out, Place{&place, "items", i, "id", &id}, itemA, itemB);
    }
}

}  // namespace

std::vector<std::string> DiffTimelines(const Model::Timeline& a, const Model::Timeline& b, std::size_t limit,
                                       std::size_t* total) {
    Collector out(limit);
    const Place root;
    out.Compare(root, "id", a.Id(), b.Id());
    out.Compare(root, "transactionId", a.TransactionId(), b.TransactionId());
    out.Compare(root, "duration", a.Duration(), b.Duration());

    const auto& tracksA = a.Tracks();
    const auto& tracksB = b.Tracks();
    out.CompareSizes(root, "tracks", tracksA.size(), tracksB.size());
    for (std::size_t t = 0; t < tracksA.size() && t < tracksB.size() && !out.Full(); ++t) {
        CompareTracks(out, Place{&root, "tracks", t, "id", &tracksA[t].Id().Value()}, tracksA[t], tracksB[t]);
    }

    const auto& infosA = a.MediaInfos();
    const auto& infosB = b.MediaInfos();
    out.CompareSizes(root, "mediaInfos", infosA.size(), infosB.size());
    for (std::size_t m = 0; m < infosA.size() && m < infosB.size() && !out.Full(); ++m) {
        const Place place{&root, "mediaInfos", m, "mediaAssetId", &infosA[m].MediaAssetId().Value()};
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
