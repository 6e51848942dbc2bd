#pragma once

#include <Orv/BusinessEntityModel/BaseTypes/Identifier.h>
#include <Orv/TimelineEngineModel/TrackItem.h>
#include <Orv/TimelineEngineModel/TrackType.h>

#include <memory>
#include <utility>
#include <vector>

namespace Orv::TimelineEngineModel {

// Items are shared: copying a track copies the pointers, not the items.
using TrackItemArray = std::vector<std::shared_ptr<TrackItem>>;

// An ordered list of track items with an identifier and a kind. The kind is
// fixed at construction.
class Track {
public:
    using Identifier = Orv::BusinessEntityModel::BaseTypes::Identifier;

    Track() : id(Identifier::Empty()) {}
    explicit Track(const Identifier& id) : id(id) {}

    const Identifier& Id() const noexcept { return id; }
    void Id(const Identifier& value) { id = value; }
    void Id(Identifier&& value) noexcept { id = std::move(value); }

    const TrackItemArray& TrackItems() const noexcept { return trackItems; }
    TrackItemArray& TrackItems() noexcept { return trackItems; }
    void TrackItems(const TrackItemArray& items) { trackItems = items; }

    const TrackType& GetType() const noexcept { return type; }

    bool operator==(const Track& other) const {
        return id == other.id && type == other.type && AreTrackItemsEqual(other);
    }
    bool operator!=(const Track& other) const { return !(*this == other); }

private:
    // Entry by entry, items by their own equality; two empty entries are
    // equal, an empty and a full one are not.
    bool AreTrackItemsEqual(const Track& other) const {
        if (trackItems.size() != other.trackItems.size()) {
            return false;
        }
        for (std::size_t i = 0; i < trackItems.size(); ++i) {
            const auto& lhs = trackItems[i];
            const auto& rhs = other.trackItems[i];
            if (!lhs || !rhs) {
                if (lhs || rhs) {
                    return false;
                }
                continue;
            }
            if (lhs != rhs && *lhs != *rhs) {
                return false;
            }
        }
        return true;
    }

    Identifier id;
    TrackType type = TrackType::Summary;
    TrackItemArray trackItems;
};

}  // namespace Orv::TimelineEngineModel
