#pragma once

namespace Orv::TimelineEngineModel::Serialization::Json {

// The entity at the root of a JSON document, which tells which reader takes it.
enum class DocumentKind {
    Timeline,          // JsonToTimelineConverter
    Track,             // JsonToTrackConverter
    TrackItem,         // JsonToTrackItemConverter
    MediaInfo,         // JsonToMediaInfoConverter, into a default media info
    TransitionEffect,  // JsonToTransitionEffectConverter, into a default effect
};

}  // namespace Orv::TimelineEngineModel::Serialization::Json
