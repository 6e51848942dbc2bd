#include "TimelineDiff.h"

#include "Documents.h"

#include <Orv/TimelineEngineModel/Serialization/Json/MemberTexts.h>
#include <Orv/TimelineEngineModel/Serialization/Json/Properties/TimelineProperties.h>
#include <Orv/TimelineEngineModel/Serialization/Json/Properties/TrackProperties.h>

#include <algorithm>
#include <initializer_list>
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

void CompareTracks(Collector& out, const Place& place, const Model::Track& a, const Model::Track& b) {
    CompareMembers(out, place, Conv::MemberTextsOf(a), Conv::MemberTextsOf(b));
    const auto& itemsA = a.TrackItems();
    const auto& itemsB = b.TrackItems();
    out.CompareSizes(place, Conv::TrackProperties::Items, itemsA.size(), itemsB.size());
    for (std::size_t i = 0; i < itemsA.size() && i < itemsB.size() && !out.Full(); ++i) {
        const Model::TrackItem* itemA = itemsA[i].get();
        const Model::TrackItem* itemB = itemsB[i].get();
        if (itemA == itemB) {
            continue;  // the same shared item, or two empty entries
        }
        const std::string& id = itemA != nullptr ? itemA->Id().Value() : itemB->Id().Value();
        CompareItems(out, Place{&place, Conv::TrackProperties::Items, i, "id", &id}, itemA, itemB);
    }
}

}  // namespace

std::vector<std::string> DiffTimelines(const Model::Timeline& a, const Model::Timeline& b, std::size_t limit,
                                       std::size_t* total) {
    Collector out(limit);
    const Place root;
    CompareMembers(out, root, Conv::MemberTextsOf(a), Conv::MemberTextsOf(b));

    const auto& tracksA = a.Tracks();
    const auto& tracksB = b.Tracks();
    out.CompareSizes(root, Conv::TimelineProperties::Tracks, tracksA.size(), tracksB.size());
    for (std::size_t t = 0; t < tracksA.size() && t < tracksB.size() && !out.Full(); ++t) {
        CompareTracks(out, Place{&root, Conv::TimelineProperties::Tracks, t, "id", &tracksA[t].Id().Value()},
                      tracksA[t], tracksB[t]);
    }

    // A media info is named by its first member, the media asset it stands for.
    const auto& infosA = a.MediaInfos();
    const auto& infosB = b.MediaInfos();
    out.CompareSizes(root, Conv::TimelineProperties::MediaInfos, infosA.size(), infosB.size());
    for (std::size_t m = 0; m < infosA.size() && m < infosB.size() && !out.Full(); ++m) {
        const auto membersA = Conv::MemberTextsOf(infosA[m]);
        const Place place{&root, Conv::TimelineProperties::MediaInfos, m, membersA.front().key, &membersA.front().text};
        CompareMembers(out, place, membersA, Conv::MemberTextsOf(infosB[m]));
    }
    if (total != nullptr) {
        *total = out.count;
    }
    return out.lines;
}

}  // namespace OrvTool
