#pragma once

#include <Orv/Common/Serialization/Json/Converter.h>
#include <Orv/TimelineEngineModel/TrackItem.h>
#include <Orv/TimelineEngineModel/Serialization/Json/Export.h>
#include <Orv/TimelineEngineModel/FxAudioTransitionItem.h>
#include <Orv/TimelineEngineModel/FxVideoTransitionItem.h>
#include <Orv/TimelineEngineModel/MediaSummaryItem.h>

#include <memory>

namespace Orv::TimelineEngineModel::Serialization::Json {

// Writes a track item as a flat object led by "_type", which names its kind.
// An item of a kind this writer does not know is written as an empty object.
class ORV_TIMELINE_JSON_API TrackItemToJsonConverter
    : public Orv::Common::Serialization::Json::ToJsonConverter<TrackItem> {
public:
    using Stringer = Orv::Common::Serialization::Json::Stringer;
    using Result = Orv::Common::Serialization::Result;

    TrackItemToJsonConverter() = default;
    TrackItemToJsonConverter(const TrackItemToJsonConverter&) = default;
    ~TrackItemToJsonConverter() override;

    // Writes `rhs` as one complete JSON object. A failure comes back as a
    // failed Result carrying the exception's text; the object is still closed.
    Result To(const TrackItem& rhs, Stringer& stringer) const noexcept override;
    // The same as the constant-reference form; `source` is left unchanged.
    Result To(TrackItem&& source, Stringer& destination) const override;

    // Writes the members of the item that `rhs` holds into the object open
    // on `stringer`; lets every exception pass. An empty `rhs` throws
    // std::invalid_argument: there is no item whose members could be written.
    void Append(Stringer& stringer, const std::shared_ptr<TrackItem>& rhs) const;

private:
    void Append(Stringer& stringer, const MediaSummaryItem& rhs) const;
    void Append(Stringer& stringer, const FxAudioTransitionItem& rhs) const;
    void Append(Stringer& stringer, const FxVideoTransitionItem& rhs) const;
    void AppendMembers(Stringer& stringer, const TrackItem& rhs) const;
};

}  // namespace Orv::TimelineEngineModel::Serialization::Json
