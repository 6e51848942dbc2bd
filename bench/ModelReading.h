#pragma once

// The hand-written conversions of the RapidJSON and nlohmann contenders: the
// same reading rules as our readers (string members only, std::stoll's
// integers, "_type" chosen exactly), over any JSON library. Fields wraps one
// object of the library: Integer(key, setter) and Text(key, setter) call the
// setter when the key holds a string.

#include <Orv/TimelineEngineModel/FxAudioTransitionItem.h>
#include <Orv/TimelineEngineModel/FxVideoTransitionItem.h>
#include <Orv/TimelineEngineModel/MediaSummaryItem.h>

#include <cstdint>
#include <memory>
#include <string>
#include <string_view>

namespace Orv::Bench {

template <typename Fields>
TimelineEngineModel::TransitionEffect ReadEffectFields(const Fields& fields) {
    using namespace TimelineEngineModel;
    TransitionEffect effect;
    fields.Text("fxType", [&](const std::string& text) { effect.TransitionEffectType(ToEffectType(text)); });
    fields.Integer("offset", [&](std::int64_t value) { effect.Offset(value); });
    fields.Integer("duration", [&](std::int64_t value) { effect.Duration(value); });
    fields.Text("config", [&](const std::string& text) { effect.Config(text); });
    return effect;
}

template <typename Fields>
std::shared_ptr<TimelineEngineModel::TrackItem> ReadItemFields(const Fields& fields, std::string_view kind) {
    using namespace TimelineEngineModel;
    using Orv::BusinessEntityModel::BaseTypes::Identifier;
    std::shared_ptr<TrackItem> item;
    if (kind == "FxAudioTransitionItem" || kind == "FxVideoTransitionItem") {
        std::shared_ptr<FxTransitionItem> transition;
        if (kind == "FxAudioTransitionItem") {
            transition = std::make_shared<FxAudioTransitionItem>();
        } else {
            transition = std::make_shared<FxVideoTransitionItem>();
        }
        transition->FxTransition(ReadEffectFields(fields));
        item = transition;
    } else {
        auto summary = std::make_shared<MediaSummaryItem>();
        auto& s = *summary;
        fields.Integer("videoIn", [&](std::int64_t v) { s.VideoIn(v); });
        fields.Integer("videoDuration", [&](std::int64_t v) { s.VideoDuration(v); });
        fields.Integer("audioIn", [&](std::int64_t v) { s.AudioIn(v); });
        fields.Integer("audioDuration", [&](std::int64_t v) { s.AudioDuration(v); });
        fields.Text("mediaAssetId", [&](const std::string& t) { s.MediaAssetId(Identifier(t)); });
        fields.Integer("mediaVideoIn", [&](std::int64_t v) { s.MediaVideoIn(v); });
        fields.Integer("mediaVideoDuration", [&](std::int64_t v) { s.MediaVideoDuration(v); });
        fields.Integer("mediaAudioIn", [&](std::int64_t v) { s.MediaAudioIn(v); });
        fields.Integer("mediaAudioDuration", [&](std::int64_t v) { s.MediaAudioDuration(v); });
        fields.Integer("audioLevel", [&](std::int64_t v) { s.AudioLevel(v); });
        fields.Integer("monitoringChannel", [&](std::int64_t v) { s.MonitoringChannel(v); });
        item = std::move(summary);
    }
    fields.Text("id", [&](const std::string& t) { item->Id(Identifier(t)); });
    return item;
}

}  // namespace Orv::Bench
