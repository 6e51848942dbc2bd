#include "FuzzSupport.h"

#include <json/json.h>

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <exception>

namespace Orv::Fuzz {

const SummaryInteger SummaryIntegers[10] = {
    {"videoIn", &MediaSummaryItem::VideoIn},           {"videoDuration", &MediaSummaryItem::VideoDuration},
    {"audioIn", &MediaSummaryItem::AudioIn},           {"audioDuration", &MediaSummaryItem::AudioDuration},
    {"mediaVideoIn", &MediaSummaryItem::MediaVideoIn}, {"mediaVideoDuration", &MediaSummaryItem::MediaVideoDuration},
    {"mediaAudioIn", &MediaSummaryItem::MediaAudioIn}, {"mediaAudioDuration", &MediaSummaryItem::MediaAudioDuration},
    {"audioLevel", &MediaSummaryItem::AudioLevel},     {"monitoringChannel", &MediaSummaryItem::MonitoringChannel}};

void Require(bool holds, const char* what, const std::string& first, const std::string& second) {
    if (!holds) {
        std::fprintf(stderr, "FUZZ PROPERTY BROKEN: %s\n--- %zu bytes:\n%s\n--- %zu bytes:\n%s\n", what, first.size(),
                     first.c_str(), second.size(), second.c_str());
        std::abort();
    }
}

// One reader per mode for the whole run: building one costs more than most
// parses. A std::string ends in a NUL, which jsoncpp reads past a text that
// ends in a carriage return.
bool Parse(const std::string& text, bool strict, JsonObject& root) {
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

void CheckReaderFailure(const Result& result) {
    const char* message = result.ErrorMessage();
    Require(result || std::strcmp(message, "stoll") == 0 || std::strncmp(message, "in Json::Value::", 16) == 0,
            "a reader failed with an unexpected message", message);
}

namespace {

// Calls `assign` with the text under `key` when it is a JSON string.
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

template <typename Work>
std::string FailureOf(Work&& work) {
    try {
        work();
        return std::string();
    } catch (const std::exception& error) {
        return error.what();
    }
}

void ReadEffect(const JsonObject& object, TransitionEffect& effect) {
    Text(object, "fxType", [&](const std::string& text) { effect.TransitionEffectType(ToEffectType(text)); });
    Integer(object, "offset", [&](int64_t value) { effect.Offset(value); });
    Integer(object, "duration", [&](int64_t value) { effect.Duration(value); });
    Text(object, "config", [&](const std::string& text) { effect.Config(text); });
}

}  // namespace

std::string ReadPlainly(const JsonObject& object, std::unique_ptr<MediaInfo>& info) {
    return FailureOf([&] {
        Text(object, "mediaAssetId", [&](const std::string& text) { info->MediaAssetId(Identifier(text)); });
        Integer(object, "limitIn", [&](int64_t value) { info->LimitIn(value); });
        Integer(object, "limitDuration", [&](int64_t value) { info->LimitDuration(value); });
        Text(object, "channels", [&](const std::string& text) { info->Channels(text); });
    });
}

std::string ReadPlainly(const JsonObject& object, std::unique_ptr<TransitionEffect>& effect) {
    return FailureOf([&] { ReadEffect(object, *effect); });
}

// A transition item's effect is read whole into a copy and stored only then.
std::string ReadPlainly(const JsonObject& object, std::unique_ptr<TrackItem>& item) {
    return FailureOf([&] {
        std::string type;
        Text(object, "_type", [&](const std::string& text) { type = text; });
        if (type == "FxAudioTransitionItem") {
            item = std::make_unique<FxAudioTransitionItem>();
        } else if (type == "FxVideoTransitionItem") {
            item = std::make_unique<FxVideoTransitionItem>();
        } else {
            item = std::make_unique<MediaSummaryItem>();
            auto& summary = static_cast<MediaSummaryItem&>(*item);
            for (const SummaryInteger& member : SummaryIntegers) {
                if (&member == SummaryIntegers + 4) {
                    Text(object, "mediaAssetId", [&](const std::string& id) { summary.MediaAssetId(Identifier(id)); });
                }
                Integer(object, member.key, [&](int64_t value) { (summary.*member.set)(value); });
            }
        }
        if (auto* transition = dynamic_cast<FxTransitionItem*>(item.get())) {
            TransitionEffect effect;
            ReadEffect(object, effect);
            transition->FxTransition(effect);
        }
        Text(object, "id", [&](const std::string& text) { item->Id(Identifier(text)); });
    });
}

}  // namespace Orv::Fuzz
