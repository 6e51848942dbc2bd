#include "TimelineDiff.h"

#include "Documents.h"
#include "EntryMatching.h"

#include <Orv/TimelineEngineModel/Serialization/Json/MemberTexts.h>
#include <Orv/TimelineEngineModel/Serialization/Json/Properties/TimelineProperties.h>
#include <Orv/TimelineEngineModel/Serialization/Json/Properties/TrackProperties.h>

#include <algorithm>
#include <initializer_list>
#include <memory>
#include <string_view>

namespace OrvTool {

namespace {

namespace Model = Orv::TimelineEngineModel;
namespace Conv = Orv::TimelineEngineModel::Serialization::Json;

// Counting goes on past the limit so that the summary line can say how many
// there were, but not forever on two huge unrelated documents.
constexpr std::size_t kCountingBound = 1000000;
// The longest text of a value shown, in bytes; ids in places are shortened
// as QuotedText does by default.
constexpr std::size_t kValueLength = 256;
// A media info is named, and paired, by the media asset it stands for.
constexpr const char* kMediaAssetKey = "mediaAssetId";

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

    // A line that names the entry's fate rather than a member.
    void AddEvent(const Place& place, const std::string& event) { lines.push_back(place.Text() + ": " + event); }

    std::vector<std::string> lines;
    std::size_t count = 0;

private:
    std::size_t limit;
};

// Members as the format lists them (the library's MemberTextsOf), so that
// diff follows the writers: `skip` names keys compared elsewhere.
void CompareMembers(Collector& out, const Place& place, const std::vector<Conv::MemberText>& a,
                    const std::vector<Conv::MemberText>& b, std::initializer_list<std::string_view> skip = {}) {
    for (std::size_t i = 0; i < a.size() && i < b.size(); ++i) {
        const bool skipped = std::find(skip.begin(), skip.end(), std::string_view(a[i].key)) != skip.end();
        if (!skipped && a[i].text != b[i].text && out.Count()) {
            out.Add(place, a[i].key, Shown(a[i].text), Shown(b[i].text));
        }
    }
}

// The item's id first, then its kind: items of different kinds have
// different members, so nothing more is compared.
void CompareItems(Collector& out, const Place& place, const Model::TrackItem* a, const Model::TrackItem* b) {
    if (a == nullptr || b == nullptr) {
        if (a != b && out.Count()) {
            out.Add(place, "entry", a == nullptr ? "no item" : ItemKindName(*a),
                    b == nullptr ? "no item" : ItemKindName(*b));
        }
        return;
    }
    if (a->Id() != b->Id() && out.Count()) {
        out.Add(place, "id", Shown(a->Id().Value()), Shown(b->Id().Value()));
    }
    if (a->GetType() != b->GetType()) {
        if (out.Count()) {
            out.Add(place, "_type", Shown(ItemKindName(*a)), Shown(ItemKindName(*b)));
        }
        return;
    }
    CompareMembers(out, place, Conv::MemberTextsOf(*a), Conv::MemberTextsOf(*b), {"_type", "id"});
}

template <typename Entry, typename IdOf>
std::vector<std::string_view> IdsOf(const std::vector<Entry>& entries, IdOf idOf) {
    std::vector<std::string_view> ids;
    ids.reserve(entries.size());
    for (const Entry& entry : entries) {
        ids.push_back(idOf(entry));
    }
    return ids;
}

// The entries of B without a partner, each with its slot: the index in A
// after the partner of the nearest paired entry before it in B (0 when
// there is none), in slot order.
std::vector<std::pair<std::size_t, std::size_t>> InsertedSlots(const EntryMatching& matching) {
    std::vector<std::pair<std::size_t, std::size_t>> inserted;
    std::size_t slot = 0;
    for (std::size_t j = 0; j < matching.partnerInA.size(); ++j) {
        if (matching.partnerInA[j] == kUnpaired) {
            inserted.emplace_back(slot, j);
        } else {
            slot = matching.partnerInA[j] + 1;
        }
    }
    std::stable_sort(inserted.begin(), inserted.end(),
                     [](const auto& x, const auto& y) { return x.first < y.first; });
    return inserted;
}

// The lines of one list, in A's order: each entry of A removed, or moved
// and then its own differences (`compare`). B's inserted entries come
// before the first paired entry of A at or after their slot, after the
// removed ones, as a line-based diff shows a replaced stretch. A removed or
// inserted entry is one difference, whatever it holds.
template <typename Entry, typename IdOf, typename CompareEntries>
void CompareLists(Collector& out, const Place& parent, const char* list, const char* idName,
                  const std::vector<Entry>& a, const std::vector<Entry>& b, IdOf idOf, CompareEntries compare) {
    const EntryMatching matching = MatchEntries(IdsOf(a, idOf), IdsOf(b, idOf));
    const auto inserted = InsertedSlots(matching);
    auto next = inserted.begin();
    for (std::size_t i = 0; i <= a.size() && !out.Full(); ++i) {
        const bool paired = i < a.size() && matching.partnerInB[i] != kUnpaired;
        for (; next != inserted.end() && next->first <= i && (paired || i == a.size()) && !out.Full(); ++next) {
            const std::string& id = idOf(b[next->second]);
            if (out.Count()) {
                out.AddEvent(Place{&parent, list, next->second, idName, &id}, "inserted");
            }
        }
        if (i == a.size()) {
            break;
        }
        const std::string& id = idOf(a[i]);
        const Place place{&parent, list, i, idName, &id};
        const std::size_t j = matching.partnerInB[i];
        if (j == kUnpaired) {
            if (out.Count()) {
                out.AddEvent(place, "removed");
            }
            continue;
        }
        if (matching.moved[i] && out.Count()) {
            out.AddEvent(place, "moved to " + std::string(list) + "[" + std::to_string(j) + "]");
        }
        compare(place, a[i], b[j]);
    }
}

const std::string& ItemId(const std::shared_ptr<Model::TrackItem>& item) {
    static const std::string none;
    return item ? item->Id().Value() : none;
}

void CompareTracks(Collector& out, const Place& place, const Model::Track& a, const Model::Track& b) {
    if (a == b) {
        return;
    }
    CompareMembers(out, place, Conv::MemberTextsOf(a), Conv::MemberTextsOf(b));
    CompareLists(out, place, Conv::TrackProperties::Items, "id", a.TrackItems(), b.TrackItems(), ItemId,
                 [&](const Place& itemPlace, const auto& itemA, const auto& itemB) {
                     // The same shared item, two empty entries, or equal items.
                     if (itemA != itemB && (!itemA || !itemB || *itemA != *itemB)) {
                         CompareItems(out, itemPlace, itemA.get(), itemB.get());
                     }
                 });
}

}  // namespace

std::vector<std::string> DiffTimelines(const Model::Timeline& a, const Model::Timeline& b, std::size_t limit,
                                       std::size_t* total) {
    Collector out(limit);
    const Place root;
    CompareMembers(out, root, Conv::MemberTextsOf(a), Conv::MemberTextsOf(b));

    CompareLists(out, root, Conv::TimelineProperties::Tracks, "id", a.Tracks(), b.Tracks(),
                 [](const Model::Track& track) -> const std::string& { return track.Id().Value(); },
                 [&](const Place& place, const Model::Track& trackA, const Model::Track& trackB) {
                     CompareTracks(out, place, trackA, trackB);
                 });
    CompareLists(out, root, Conv::TimelineProperties::MediaInfos, kMediaAssetKey,
                 a.MediaInfos(), b.MediaInfos(),
                 [](const Model::MediaInfo& info) -> const std::string& { return info.MediaAssetId().Value(); },
                 [&](const Place& place, const Model::MediaInfo& infoA, const Model::MediaInfo& infoB) {
                     if (infoA != infoB) {
                         CompareMembers(out, place, Conv::MemberTextsOf(infoA), Conv::MemberTextsOf(infoB));
                     }
                 });
    if (total != nullptr) {
        *total = out.count;
    }
    return out.lines;
}

}  // namespace OrvTool
