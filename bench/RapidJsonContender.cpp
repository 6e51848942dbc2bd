#include "Contenders.h"
#include "ModelReading.h"

#include <Orv/TimelineEngineModel/FxAudioTransitionItem.h>
#include <Orv/TimelineEngineModel/FxVideoTransitionItem.h>
#include <Orv/TimelineEngineModel/MediaSummaryItem.h>

#include <rapidjson/document.h>
#include <rapidjson/stringbuffer.h>
#include <rapidjson/writer.h>

#include <charconv>
#include <memory>
#include <stdexcept>

namespace Orv::Bench {

namespace {
using namespace Orv::TimelineEngineModel;
using Orv::BusinessEntityModel::BaseTypes::Identifier;
using Writer = rapidjson::Writer<rapidjson::StringBuffer>;

// Keys with their lengths known at compile time, as a tuned hand-written
// writer would pass them.
template <std::size_t N>
void Key(Writer& writer, const char (&key)[N]) {
    writer.Key(key, N - 1);
}

void Text(Writer& writer, const std::string& text) {
    writer.String(text.c_str(), static_cast<rapidjson::SizeType>(text.size()));
}

template <std::size_t N>
void Integer(Writer& writer, const char (&key)[N], std::int64_t value) {
    char digits[24];
    const auto end = std::to_chars(digits, digits + sizeof digits, value).ptr;
    Key(writer, key);
    writer.String(digits, static_cast<rapidjson::SizeType>(end - digits));
}

template <std::size_t N>
void NonZero(Writer& writer, const char (&key)[N], std::int64_t value) {
    if (value != 0) {
        Integer(writer, key, value);
    }
}

template <std::size_t N>
void NonEmpty(Writer& writer, const char (&key)[N], const std::string& text) {
    if (!text.empty()) {
        Key(writer, key);
        Text(writer, text);
    }
}

void WriteEffect(Writer& writer, const TransitionEffect& effect) {
    if (effect.TransitionEffectType() != EffectType::Unknown) {
        Key(writer, "fxType");
        Text(writer, ToString(effect.TransitionEffectType()));
    }
    NonZero(writer, "offset", effect.Offset());
    NonZero(writer, "duration", effect.Duration());
    NonEmpty(writer, "config", effect.Config());
}

void WriteItem(Writer& writer, const TrackItem& item) {
    writer.StartObject();
    switch (item.GetType()) {
        case TrackItemType::MediaSummary: {
            const auto& summary = static_cast<const MediaSummaryItem&>(item);
            Key(writer, "_type");
            writer.String("MediaSummaryItem", 16);
            NonEmpty(writer, "id", summary.Id().Value());
            Integer(writer, "videoIn", summary.VideoIn());
            Integer(writer, "videoDuration", summary.VideoDuration());
            Integer(writer, "audioIn", summary.AudioIn());
            Integer(writer, "audioDuration", summary.AudioDuration());
            NonEmpty(writer, "mediaAssetId", summary.MediaAssetId().Value());
            Integer(writer, "mediaVideoIn", summary.MediaVideoIn());
            Integer(writer, "mediaVideoDuration", summary.MediaVideoDuration());
            Integer(writer, "mediaAudioIn", summary.MediaAudioIn());
            Integer(writer, "mediaAudioDuration", summary.MediaAudioDuration());
            Integer(writer, "audioLevel", summary.AudioLevel());
            Integer(writer, "monitoringChannel", summary.MonitoringChannel());
            break;
        }
        case TrackItemType::FxAudioTransition:
        case TrackItemType::FxVideoTransition: {
            const auto& transition = static_cast<const FxTransitionItem&>(item);
            Key(writer, "_type");
            if (item.GetType() == TrackItemType::FxAudioTransition) {
                writer.String("FxAudioTransitionItem", 21);
            } else {
                writer.String("FxVideoTransitionItem", 21);
            }
            NonEmpty(writer, "id", transition.Id().Value());
            WriteEffect(writer, transition.FxTransition());
            break;
        }
        case TrackItemType::Unknown:
            break;
    }
    writer.EndObject();
}

void WriteTimeline(Writer& writer, const Timeline& timeline) {
    writer.StartObject();
    NonEmpty(writer, "id", timeline.Id().Value());
    NonEmpty(writer, "transactionId", timeline.TransactionId().Value());
    Integer(writer, "duration", timeline.Duration());
    if (!timeline.Tracks().empty()) {
        Key(writer, "tracks");
        writer.StartArray();
        for (const Track& track : timeline.Tracks()) {
            writer.StartObject();
            NonEmpty(writer, "id", track.Id().Value());
            Key(writer, "type");
            if (track.GetType() == TrackType::Summary) {
                writer.String("SUMMARY", 7);
            } else {
                writer.String("Unknown", 7);
            }
            if (!track.TrackItems().empty()) {
                Key(writer, "items");
                writer.StartArray();
                for (const auto& item : track.TrackItems()) {
                    WriteItem(writer, *item);
                }
                writer.EndArray();
            }
            writer.EndObject();
        }
        writer.EndArray();
    }
    if (!timeline.MediaInfos().empty()) {
        Key(writer, "mediaInfos");
        writer.StartArray();
        for (const MediaInfo& info : timeline.MediaInfos()) {
            writer.StartObject();
            NonEmpty(writer, "mediaAssetId", info.MediaAssetId().Value());
            NonZero(writer, "limitIn", info.LimitIn());
            NonZero(writer, "limitDuration", info.LimitDuration());
            NonEmpty(writer, "channels", info.Channels());
            writer.EndObject();
        }
        writer.EndArray();
    }
    writer.EndObject();
}

// ---- reading -------------------------------------------------------------

using Value = rapidjson::Value;

template <std::size_t N>
const Value* FindString(const Value& object, const char (&key)[N]) {
    const auto member = object.FindMember(Value::StringRefType(key, N - 1));
    if (member == object.MemberEnd() || !member->value.IsString()) {
        return nullptr;
    }
    return &member->value;
}

std::string String(const Value& value) {
    return std::string(value.GetString(), value.GetStringLength());
}

template <std::size_t N, typename Setter>
void ReadInteger(const Value& object, const char (&key)[N], Setter&& setter) {
    if (const Value* value = FindString(object, key)) {
        setter(ParseInteger(value->GetString(), value->GetStringLength()));
    }
}

template <std::size_t N, typename Setter>
void ReadText(const Value& object, const char (&key)[N], Setter&& setter) {
    if (const Value* value = FindString(object, key)) {
        setter(String(*value));
    }
}

struct RapidJsonFields {
    const Value& object;
    template <std::size_t N, typename Setter>
    void Integer(const char (&key)[N], Setter&& setter) const {
        ReadInteger(object, key, setter);
    }
    template <std::size_t N, typename Setter>
    void Text(const char (&key)[N], Setter&& setter) const {
        ReadText(object, key, setter);
    }
};

std::shared_ptr<TrackItem> ReadItem(const Value& object) {
    const Value* type = FindString(object, "_type");
    const std::string_view kind = type != nullptr ? std::string_view(type->GetString(), type->GetStringLength())
                                                  : std::string_view();
    return ReadItemFields(RapidJsonFields{object}, kind);
}

Timeline ReadTimeline(const Value& root) {
    if (!root.IsObject()) {
        throw std::invalid_argument("not an object");
    }
    Timeline timeline;
    ReadText(root, "id", [&](const std::string& t) { timeline.Id(Identifier(t)); });
    ReadText(root, "transactionId", [&](const std::string& t) { timeline.TransactionId(Identifier(t)); });
    ReadInteger(root, "duration", [&](std::int64_t v) { timeline.Duration(v); });
    const auto tracks = root.FindMember("tracks");
    if (tracks != root.MemberEnd() && tracks->value.IsArray()) {
        timeline.Tracks().reserve(tracks->value.Size());
        for (const Value& element : tracks->value.GetArray()) {
            Track track;
            ReadText(element, "id", [&](const std::string& t) { track.Id(Identifier(t)); });
            const auto items = element.FindMember("items");
            if (items != element.MemberEnd() && items->value.IsArray()) {
                track.TrackItems().reserve(items->value.Size());
                for (const Value& item : items->value.GetArray()) {
                    track.TrackItems().push_back(ReadItem(item));
                }
            }
            timeline.Tracks().push_back(std::move(track));
        }
    }
    const auto infos = root.FindMember("mediaInfos");
    if (infos != root.MemberEnd() && infos->value.IsArray()) {
        timeline.MediaInfos().reserve(infos->value.Size());
        for (const Value& element : infos->value.GetArray()) {
            MediaInfo info;
            ReadText(element, "mediaAssetId", [&](const std::string& t) { info.MediaAssetId(Identifier(t)); });
            ReadInteger(element, "limitIn", [&](std::int64_t v) { info.LimitIn(v); });
            ReadInteger(element, "limitDuration", [&](std::int64_t v) { info.LimitDuration(v); });
            ReadText(element, "channels", [&](const std::string& t) { info.Channels(t); });
            timeline.MediaInfos().push_back(std::move(info));
        }
    }
    return timeline;
}
}  // namespace

std::string RapidJsonText(const Timeline& timeline) {
    rapidjson::StringBuffer buffer;
    Writer writer(buffer);
    WriteTimeline(writer, timeline);
    return std::string(buffer.GetString(), buffer.GetSize());
}

std::size_t RapidJsonWrite(const Timeline& timeline) {
    rapidjson::StringBuffer buffer;
    Writer writer(buffer);
    WriteTimeline(writer, timeline);
    return buffer.GetSize();
}

Timeline RapidJsonRead(const std::string& text) {
    rapidjson::Document document;
    document.Parse(text.data(), text.size());
    if (document.HasParseError()) {
        throw std::invalid_argument("RapidJSON refused the document");
    }
    return ReadTimeline(document);
}

}  // namespace Orv::Bench
