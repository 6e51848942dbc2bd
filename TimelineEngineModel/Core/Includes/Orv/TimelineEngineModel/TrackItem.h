#pragma once

#include <Orv/BusinessEntityModel/BaseTypes/Identifier.h>
#include <Orv/TimelineEngineModel/Export.h>
#include <Orv/TimelineEngineModel/TrackItemType.h>

#include <utility>

namespace Orv::TimelineEngineModel {

// Root of the track item classes. GetType() always names the concrete class,
// so code holding a TrackItem may downcast by kind without a run-time check.
class ORV_TIMELINE_ENGINE_MODEL_API TrackItem {
public:
    using Identifier = Orv::BusinessEntityModel::BaseTypes::Identifier;

    virtual ~TrackItem() = default;

    // Same identifier text and same kind; subclasses add their own members.
    virtual bool operator==(const TrackItem& trackItem) const {
        return id == trackItem.id && type == trackItem.type;
    }

    virtual const Identifier& Id() const { return id; }
    virtual void Id(const Identifier& value) { id = value; }
    virtual void Id(Identifier&& value) { id = std::move(value); }

    virtual const TrackItemType& GetType() const { return type; }

    bool operator!=(const TrackItem& trackItem) const { return !(*this == trackItem); }

protected:
    TrackItem() : id(Identifier::Empty()), type(TrackItemType::Unknown) {}
    explicit TrackItem(Identifier _id, TrackItemType _type) : id(std::move(_id)), type(_type) {}

    TrackItem(const TrackItem&) = default;
    TrackItem(TrackItem&&) = default;
    TrackItem& operator=(const TrackItem&) = default;
    TrackItem& operator=(TrackItem&&) = default;

private:
    Identifier id;
    TrackItemType type;
};

}  // namespace Orv::TimelineEngineModel
