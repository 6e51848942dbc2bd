#pragma once

// Shared by the fuzz targets: parsing, writing and reading (a whole document
// with Write<TimelineToJsonConverter> and Read<JsonToTimelineConverter>), a plain
// reading of the readers' rules, and checks that abort, so libFuzzer keeps the input.

#include <Orv/TimelineEngineModel/Serialization/Json/JsonToMediaInfoConverter.h>
#include <Orv/TimelineEngineModel/Serialization/Json/JsonToTimelineConverter.h>
#include <Orv/TimelineEngineModel/Serialization/Json/JsonToTrackConverter.h>
#include <Orv/TimelineEngineModel/Serialization/Json/JsonToTrackItemConverter.h>
#include <Orv/TimelineEngineModel/Serialization/Json/JsonToTransitionEffectConverter.h>
#include <Orv/TimelineEngineModel/Serialization/Json/MediaInfoToJsonConverter.h>
#include <Orv/TimelineEngineModel/Serialization/Json/TimelineToJsonConverter.h>
#include <Orv/TimelineEngineModel/Serialization/Json/TrackItemToJsonConverter.h>
#include <Orv/TimelineEngineModel/Serialization/Json/TrackToJsonConverter.h>
#include <Orv/TimelineEngineModel/Serialization/Json/TransitionEffectToJsonConverter.h>

#include <json/json.h>

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <exception>
#include <memory>
#include <string>
#include <type_traits>
#include <utility>

namespace Orv::Fuzz {

using namespace Orv::TimelineEngineModel;
using namespace Orv::TimelineEngineModel::Serialization::Json;
using Orv::BusinessEntityModel::BaseTypes::Identifier;
using Orv::Common::Serialization::Result;
using Orv::Common::Serialization::Json::JsonObject;
using Orv::Common::Serialization::Json::Stringer;

// Unless `holds`: prints what broke and the texts involved, and aborts.
inline void Require(bool holds, const char* what, const std::string& first = {}, const std::string& second = {}) {
    if (!holds) {
        std::fprintf(stderr, "FUZZ PROPERTY BROKEN: %s\n--- %zu bytes:\n%s\n--- %zu bytes:\n%s\n", what, first.size(),
                     first.c_str(), second.size(), second.c_str());
        std::abort();
    }
}

inline void RequireEqual(const std::string& first, const std::string& second, const char* what) {
    Require(first == second, what, first, second);
}

// jsoncpp, default or strict, one reader per mode for the whole run. Nesting
// beyond its limit is a failed parse; `root` may then hold a partial value.
inline bool Parse(const std::string& text, bool strict, JsonObject& root) {
    static const std::unique_ptr<Json::CharReader> readers[] = {
        std::unique_ptr<Json::CharReader>(Json::CharReaderBuilder().newCharReader()), [] {
            Json::CharReaderBuilder builder;
            Json::CharReaderBuilder::strictMode(&builder.settings_);
            return std::unique_ptr<Json::CharReader>(builder.newCharReader());
        }()};
    std::string errors;
    try {
        return readers[strict]->parse(text.c_str(), text.c_str() + text.size(), &root, &errors);
    } catch (const Json::Exception&) {
        return false;
    }
}

// A pointer variant's target: the media info and effect readers fill it.
template <typename T>
std::unique_ptr<T> NewTarget() {
    if constexpr (std::is_same_v<T, MediaInfo> || std::is_same_v<T, TransitionEffect>) {
        return std::make_unique<T>();
    }
    return nullptr;
}

// The write must succeed and close every scope.
template <typename Writer, typename T>
std::string Write(const T& entity, bool pretty = false) {
    Stringer stringer = pretty ? Stringer::PrettyStringer() : Stringer();
    const Result result = Writer().To(entity, stringer);
    Require(result && stringer.Depth() == 0, "a write failed or left a scope open", result.ErrorMessage(),
            stringer.ToString());
    return stringer.ToString();
}

// A text that does not parse is a failed Result.
template <typename Reader, typename T>
Result Read(const std::string& text, std::unique_ptr<T>& target, bool strict = true) {
    JsonObject root;
    target = NewTarget<T>();
    return Parse(text, strict, root) ? Reader().To(root, target) : Result("not JSON");
}

// A reader fails only as documented: std::stoll refusing an integer text, or
// jsoncpp refusing a lookup in a value that is neither an object nor null.
inline void CheckReaderFailure(const Result& result) {
    const char* message = result.ErrorMessage();
    Require(result || std::strcmp(message, "stoll") == 0 || std::strncmp(message, "in Json::Value::", 16) == 0,
            "a reader failed with an unexpected message", message);
}

// The integer members of a media summary item in reading order; its
// "mediaAssetId" is read just before "mediaVideoIn".
inline const std::pair<const char*, void (MediaSummaryItem::*)(int64_t) noexcept> SummaryIntegers[] = {
    {"videoIn", &MediaSummaryItem::VideoIn},           {"videoDuration", &MediaSummaryItem::VideoDuration},
    {"audioIn", &MediaSummaryItem::AudioIn},           {"audioDuration", &MediaSummaryItem::AudioDuration},
    {"mediaVideoIn", &MediaSummaryItem::MediaVideoIn}, {"mediaVideoDuration", &MediaSummaryItem::MediaVideoDuration},
    {"mediaAudioIn", &MediaSummaryItem::MediaAudioIn}, {"mediaAudioDuration", &MediaSummaryItem::MediaAudioDuration},
    {"audioLevel", &MediaSummaryItem::AudioLevel},     {"monitoringChannel", &MediaSummaryItem::MonitoringChannel}};

// A plain reading of the media info, effect and track item objects, straight
// from the readers' rules: each key looked up in the fixed order, taken only
// when it is a JSON string, integers through std::stoll, members assigned as
// they are read; an item of the kind "_type" names, its members, then "id".
namespace Plain {

template <typename Assign>
void Text(const JsonObject& object, const char* key, Assign&& assign) {
    const JsonObject& value = object[key];
    if (value.isString()) {
        assign(value.asString());
    }
}

template <typename Assign>
void Integer(const JsonObject& object, const char* key, Assign&& assign) {
    Text(object, key, [&](const std::string& text) { assign(std::stoll(text, nullptr, 10)); });
}

inline void Read(const JsonObject& object, std::unique_ptr<MediaInfo>& info) {
    Text(object, "mediaAssetId", [&](const std::string& text) { info->MediaAssetId(Identifier(text)); });
    Integer(object, "limitIn", [&](int64_t value) { info->LimitIn(value); });
    Integer(object, "limitDuration", [&](int64_t value) { info->LimitDuration(value); });
    Text(object, "channels", [&](const std::string& text) { info->Channels(text); });
}

inline void Read(const JsonObject& object, std::unique_ptr<TransitionEffect>& effect) {
    Text(object, "fxType", [&](const std::string& text) { effect->TransitionEffectType(ToEffectType(text)); });
    Integer(object, "offset", [&](int64_t value) { effect->Offset(value); });
    Integer(object, "duration", [&](int64_t value) { effect->Duration(value); });
    Text(object, "config", [&](const std::string& text) { effect->Config(text); });
}

// A transition item's effect is read whole into a copy and stored only then.
inline void Read(const JsonObject& object, std::unique_ptr<TrackItem>& item) {
    std::string type;
    Text(object, "_type", [&](const std::string& text) { type = text; });
    if (type == "FxAudioTransitionItem") {
        item = std::make_unique<FxAudioTransitionItem>();
    } else if (type == "FxVideoTransitionItem") {
        item = std::make_unique<FxVideoTransitionItem>();
    } else {
        item = std::make_unique<MediaSummaryItem>();
        auto& summary = static_cast<MediaSummaryItem&>(*item);
        for (const auto& [key, set] : SummaryIntegers) {
            if (std::strcmp(key, "mediaVideoIn") == 0) {
                Text(object, "mediaAssetId", [&](const std::string& id) { summary.MediaAssetId(Identifier(id)); });
            }
            Integer(object, key, [&summary, set = set](int64_t value) { (summary.*set)(value); });
        }
    }
    if (auto* transition = dynamic_cast<FxTransitionItem*>(item.get())) {
        auto effect = std::make_unique<TransitionEffect>();
        Read(object, effect);
        transition->FxTransition(*effect);
    }
    Text(object, "id", [&](const std::string& text) { item->Id(Identifier(text)); });
}

}  // namespace Plain

// "" when `work` returns, or the what() of the exception that ends it.
template <typename Work>
std::string FailureOf(Work&& work) {
    try {
        work();
        return std::string();
    } catch (const std::exception& error) {
        return error.what();
    }
}

template <typename T>
std::string ReadPlainly(const JsonObject& object, std::unique_ptr<T>& target) {
    return FailureOf([&] { Plain::Read(object, target); });
}

}  // namespace Orv::Fuzz
