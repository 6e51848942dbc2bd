#pragma once

// A second, plain reading of the media info, transition effect and track item
// objects, written straight from the readers' rules: each key looked up with
// jsoncpp's operator[] in the fixed order, taken only when it is a JSON
// string, integers through std::stoll, members assigned as they are read.
// The fuzz target compares the optimised readers against it.

#include <Orv/Common/Serialization/Json/JsonObject.h>
#include <Orv/TimelineEngineModel/FxAudioTransitionItem.h>
#include <Orv/TimelineEngineModel/FxVideoTransitionItem.h>
#include <Orv/TimelineEngineModel/MediaInfo.h>
#include <Orv/TimelineEngineModel/MediaSummaryItem.h>
#include <Orv/TimelineEngineModel/TransitionEffect.h>

#include <exception>
#include <memory>
#include <string>

namespace Orv::Fuzz::Oracle {

using Orv::BusinessEntityModel::BaseTypes::Identifier;
using Orv::Common::Serialization::Json::JsonObject;
using namespace Orv::TimelineEngineModel;

// The string under `key`, or nullptr (absent, null or not a string).
inline const JsonObject* String(const JsonObject& object, const char* key) {
    const JsonObject& value = object[key];
    return value.isString() ? &value : nullptr;
}

template <typename Setter>
void Integer(const JsonObject& object, const char* key, Setter&& setter) {
    if (const JsonObject* value = String(object, key)) {
        setter(std::stoll(value->asString(), nullptr, 10));
    }
}

// Each Read returns "" on success or the what() text of the failure; the
// target holds what was assigned before it.
inline std::string Read(const JsonObject& object, MediaInfo& info) {
    try {
        if (const JsonObject* value = String(object, "mediaAssetId")) {
            info.MediaAssetId(Identifier(value->asString()));
        }
        Integer(object, "limitIn", [&](int64_t v) { info.LimitIn(v); });
        Integer(object, "limitDuration", [&](int64_t v) { info.LimitDuration(v); });
        if (const JsonObject* value = String(object, "channels")) {
            info.Channels(value->asString());
        }
    } catch (const std::exception& error) {
        return error.what();
    }
    return std::string();
}

inline std::string Read(const JsonObject& object, TransitionEffect& effect) {
    try {
        if (const JsonObject* value = String(object, "fxType")) {
            effect.TransitionEffectType(ToEffectType(value->asString()));
        }
        Integer(object, "offset", [&](int64_t v) { effect.Offset(v); });
        Integer(object, "duration", [&](int64_t v) { effect.Duration(v); });
        if (const JsonObject* value = String(object, "config")) {
            effect.Config(value->asString());
        }
    } catch (const std::exception& error) {
        return error.what();
    }
    return std::string();
}

// The track item reader: the kind from "_type", a new item, its members, then
// "id". `item` is left as it was when the kind cannot be looked up.
inline std::string Read(const JsonObject& object, std::unique_ptr<TrackItem>& item) {
    try {
        std::string type;
        if (const JsonObject* value = String(object, "_type")) {
            type = value->asString();
        }
        if (type == "FxAudioTransitionItem" || type == "FxVideoTransitionItem") {
            if (type == "FxAudioTransitionItem") {
                item = std::make_unique<FxAudioTransitionItem>();
            } else {
                item = std::make_unique<FxVideoTransitionItem>();
            }
            TransitionEffect effect;
            const std::string failure = Read(object, effect);
            if (!failure.empty()) {
                return failure;
            }
            static_cast<FxTransitionItem&>(*item).FxTransition(effect);
        } else {
            auto summary = std::make_unique<MediaSummaryItem>();
            MediaSummaryItem& s = *summary;
            item = std::move(summary);
            Integer(object, "videoIn", [&](int64_t v) { s.VideoIn(v); });
            Integer(object, "videoDuration", [&](int64_t v) { s.VideoDuration(v); });
            Integer(object, "audioIn", [&](int64_t v) { s.AudioIn(v); });
            Integer(object, "audioDuration", [&](int64_t v) { s.AudioDuration(v); });
            if (const JsonObject* value = String(object, "mediaAssetId")) {
                s.MediaAssetId(Identifier(value->asString()));
            }
            Integer(object, "mediaVideoIn", [&](int64_t v) { s.MediaVideoIn(v); });
            Integer(object, "mediaVideoDuration", [&](int64_t v) { s.MediaVideoDuration(v); });
            Integer(object, "mediaAudioIn", [&](int64_t v) { s.MediaAudioIn(v); });
            Integer(object, "mediaAudioDuration", [&](int64_t v) { s.MediaAudioDuration(v); });
            Integer(object, "audioLevel", [&](int64_t v) { s.AudioLevel(v); });
            Integer(object, "monitoringChannel", [&](int64_t v) { s.MonitoringChannel(v); });
        }
        if (const JsonObject* value = String(object, "id")) {
            item->Id(Identifier(value->asString()));
        }
    } catch (const std::exception& error) {
        return error.what();
    }
    return std::string();
}

}  // namespace Orv::Fuzz::Oracle
