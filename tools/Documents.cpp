#include "Documents.h"

#include <Orv/TimelineEngineModel/FxTransitionItem.h>
#include <Orv/TimelineEngineModel/MediaSummaryItem.h>
#include <Orv/TimelineEngineModel/Serialization/Json/JsonTextToTimelineConverter.h>
#include <Orv/TimelineEngineModel/Serialization/Json/JsonToMediaInfoConverter.h>
#include <Orv/TimelineEngineModel/Serialization/Json/JsonToTrackConverter.h>
#include <Orv/TimelineEngineModel/Serialization/Json/JsonToTrackItemConverter.h>
#include <Orv/TimelineEngineModel/Serialization/Json/JsonToTransitionEffectConverter.h>
#include <Orv/TimelineEngineModel/Serialization/Json/MediaInfoToJsonConverter.h>
#include <Orv/TimelineEngineModel/Serialization/Json/TimelineToJsonConverter.h>
#include <Orv/TimelineEngineModel/Serialization/Json/TrackItemToJsonConverter.h>
#include <Orv/TimelineEngineModel/Serialization/Json/TrackToJsonConverter.h>
#include <Orv/TimelineEngineModel/Serialization/Json/TransitionEffectToJsonConverter.h>

#include <json/reader.h>
#include <sys/stat.h>

#include <cerrno>
#include <cstdio>
#include <cstring>
#include <exception>
#include <sstream>

namespace OrvTool {

namespace Model = Orv::TimelineEngineModel;
namespace Conv = Orv::TimelineEngineModel::Serialization::Json;
using Orv::Common::Serialization::Result;
using Orv::Common::Serialization::Json::Stringer;

std::optional<Kind> KindFromName(const std::string& name) {
    if (name == "timeline") return Kind::Timeline;
    if (name == "track") return Kind::Track;
    if (name == "item") return Kind::Item;
    if (name == "media-info") return Kind::MediaInfo;
    if (name == "effect") return Kind::Effect;
    return std::nullopt;
}

Kind KindOption(const ParsedArguments& parsed) {
    const std::string kindName = parsed.Value("--as", "timeline");
    const auto kind = KindFromName(kindName);
    if (!kind) {
        throw UsageError("unknown kind '" + kindName + "' (expected timeline, track, item, media-info or effect)");
    }
    return *kind;
}

const char* KindNoun(Kind kind) {
    switch (kind) {
        case Kind::Timeline: return "timeline";
        case Kind::Track: return "track";
        case Kind::Item: return "track item";
        case Kind::MediaInfo: return "media info";
        case Kind::Effect: return "transition effect";
    }
    return "entity";
}

bool ReadInput(const std::string& path, std::string& text, std::string& error) {
    const bool standardInput = path == "-";
    std::FILE* file = standardInput ? stdin : std::fopen(path.c_str(), "rb");
    if (file == nullptr) {
        error = std::strerror(errno);
        return false;
    }
    text.clear();
    struct stat info {};
    if (!standardInput && fstat(fileno(file), &info) == 0 && S_ISREG(info.st_mode)) {
        text.reserve(static_cast<std::size_t>(info.st_size) + Conv::JsonTextToTimelineConverter::Padding);
    }
    char buffer[65536];
    std::size_t count = 0;
    while ((count = std::fread(buffer, 1, sizeof buffer, file)) > 0) {
        text.append(buffer, count);
    }
    // Reading a directory opens fine and fails here with EISDIR.
    const int readError = std::ferror(file) ? errno : 0;
    if (!standardInput) {
        std::fclose(file);
    }
    if (readError != 0) {
        error = std::strerror(readError);
        return false;
    }
    text.reserve(text.size() + Conv::JsonTextToTimelineConverter::Padding);  // standard input, a growing file
    return true;
}

namespace {

// jsoncpp lays each error out as "* Line N, Column M\n  reason\n" and may add
// a "See Line ..." line; one line per failure reads better in a listing.
std::string FirstError(const std::string& formatted) {
    std::istringstream lines(formatted);
    std::string place;
    std::string reason;
    std::getline(lines, place);
    std::getline(lines, reason);
    const auto trim = [](std::string& text, const char* junk) {
        const auto first = text.find_first_not_of(junk);
        const auto last = text.find_last_not_of(" \t\r");
        text = first == std::string::npos ? std::string() : text.substr(first, last - first + 1);
    };
    trim(place, "* \t");
    trim(reason, " \t");
    if (place.empty()) {
        return "the parser gave no reason";
    }
    return reason.empty() ? place : place + ": " + reason;
}

// The library reports a failed number conversion with the bare name of the
// standard function; say what it means.
std::string Explain(const char* message) {
    std::string text = message;
    if (text == "stoll") {
        text += " (a number text does not start with a decimal integer, or lies outside the 64-bit range)";
    }
    return text;
}

std::string ParserGaveUp(const char* what) {
    return std::string("nesting deeper than the parser allows (") + what + ")";
}

// jsoncpp at its default settings, as JsonTextToTimelineConverter reads.
bool ParseJson(const std::string& text, Json::Value& value, std::string& error) {
    const std::unique_ptr<Json::CharReader> reader(Json::CharReaderBuilder().newCharReader());
    std::string errors;
    try {
        if (reader->parse(text.data(), text.data() + text.size(), &value, &errors)) {
            return true;
        }
    } catch (const std::exception& exception) {
        // jsoncpp throws instead of reporting once the nesting exceeds its
        // stack limit.
        error = ParserGaveUp(exception.what());
        return false;
    }
    error = FirstError(errors);
    return false;
}

template <typename Converter, typename Pointer>
bool RunReader(const Json::Value& json, Pointer& target, std::string& error) {
    const Result result = Converter().To(json, target);
    if (!result) {
        error = Explain(result.ErrorMessage());
        return false;
    }
    return true;
}

template <typename Converter, typename Model>
Result RunWriter(const Model& model, Stringer& stringer) {
    return Converter().To(model, stringer);
}

// The readers of the kinds other than the timeline.
bool ReadEntity(Kind kind, const Json::Value& json, Entity& entity, std::string& error) {
    entity = Entity();
    entity.kind = kind;
    switch (kind) {
        case Kind::Track:
            return RunReader<Conv::JsonToTrackConverter>(json, entity.track, error);
        case Kind::Item:
            return RunReader<Conv::JsonToTrackItemConverter>(json, entity.item, error);
        case Kind::MediaInfo:
            // These two readers fill the object the pointer holds.
            entity.mediaInfo = std::make_unique<Model::MediaInfo>();
            return RunReader<Conv::JsonToMediaInfoConverter>(json, entity.mediaInfo, error);
        case Kind::Effect:
            entity.effect = std::make_unique<Model::TransitionEffect>();
            return RunReader<Conv::JsonToTransitionEffectConverter>(json, entity.effect, error);
        case Kind::Timeline:
            break;
    }
    error = "unknown kind";
    return false;
}

// A timeline straight from its text; the report tells a text that is not
// JSON from JSON that is not a timeline.
bool LoadTimeline(const std::string& text, Entity& entity, std::string& error, bool& needsCheck) {
    using Report = Conv::JsonTextToTimelineConverter::Report;
    using Failure = Report::Failure;
    entity = Entity();
    Report report;
    const Result result = Conv::JsonTextToTimelineConverter().To(text, entity.timeline, report);
    needsCheck = report.path != Report::Path::Fast || report.anomaly;
    switch (report.failure) {
        case Failure::None:
            return true;
        case Failure::NotJson:
            error = "not JSON: " + FirstError(result.ErrorMessage());
            break;
        case Failure::ParseAborted:
            error = "not JSON: " + ParserGaveUp(result.ErrorMessage());
            break;
        case Failure::NotTimeline:
            error = "not a timeline: " + Explain(result.ErrorMessage());
            break;
    }
    return false;
}

}  // namespace

bool WriteEntity(const Entity& entity, Stringer& stringer, std::string& error) {
    Result result;
    std::string emptyEntry;
    switch (entity.kind) {
        case Kind::Timeline:
            result = RunWriter<Conv::TimelineToJsonConverter>(*entity.timeline, stringer);
            emptyEntry = FindEmptyEntry(*entity.timeline);
            break;
        case Kind::Track:
            result = RunWriter<Conv::TrackToJsonConverter>(*entity.track, stringer);
            emptyEntry = FindEmptyEntry(*entity.track);
            break;
        case Kind::Item:
            result = RunWriter<Conv::TrackItemToJsonConverter>(*entity.item, stringer);
            break;
        case Kind::MediaInfo:
            result = RunWriter<Conv::MediaInfoToJsonConverter>(*entity.mediaInfo, stringer);
            break;
        case Kind::Effect:
            result = RunWriter<Conv::TransitionEffectToJsonConverter>(*entity.effect, stringer);
            break;
    }
    if (result) {
        return true;
    }
    error = result.ErrorMessage();
    if (!emptyEntry.empty()) {
        error += " (" + emptyEntry + ": its element in the document is neither an object nor null)";
    }
    return false;
}

bool LoadEntity(const std::string& path, Kind kind, Entity& entity, std::string& error, LoadDetails* details) {
    LoadDetails local;
    LoadDetails& loaded = details != nullptr ? *details : local;
    std::string& text = loaded.text;
    std::string reason;
    if (!ReadInput(path, text, reason)) {
        error = "cannot be read: " + reason;
        return false;
    }
    loaded.textRead = true;
    if (kind == Kind::Timeline) {
        return LoadTimeline(text, entity, error, loaded.needsCheck);
    }
    Json::Value json;
    if (!ParseJson(text, json, reason)) {
        error = "not JSON: " + reason;
        return false;
    }
    if (!ReadEntity(kind, json, entity, reason)) {
        error = std::string("not a ") + KindNoun(kind) + ": " + reason;
        return false;
    }
    return true;
}

std::string Quote(const std::string& text) {
    std::string quoted = "\"";
    for (const char c : text) {
        const auto byte = static_cast<unsigned char>(c);
        if (c == '"' || c == '\\') {
            quoted += '\\';
            quoted += c;
        } else if (byte < 0x20) {
            char escape[8];
            std::snprintf(escape, sizeof escape, "\\u%04x", byte);
            quoted += escape;
        } else {
            quoted += c;
        }
    }
    return quoted + "\"";
}

const char* ItemKindName(const Model::TrackItem& item) {
    switch (item.GetType()) {
        case Model::TrackItemType::MediaSummary: return "MediaSummaryItem";
        case Model::TrackItemType::FxAudioTransition: return "FxAudioTransitionItem";
        case Model::TrackItemType::FxVideoTransition: return "FxVideoTransitionItem";
        case Model::TrackItemType::Unknown: break;
    }
    return "unknown kind";
}

std::string FindEmptyEntry(const Model::Track& track) {
    const auto& items = track.TrackItems();
    for (std::size_t i = 0; i < items.size(); ++i) {
        if (!items[i]) {
            return "items[" + std::to_string(i) + "]";
        }
    }
    return {};
}

std::string FindEmptyEntry(const Model::Timeline& timeline) {
    const auto& tracks = timeline.Tracks();
    for (std::size_t t = 0; t < tracks.size(); ++t) {
        const std::string entry = FindEmptyEntry(tracks[t]);
        if (!entry.empty()) {
            return "tracks[" + std::to_string(t) + "] (id " + Quote(tracks[t].Id().Value()) + ") " + entry;
        }
    }
    return {};
}

namespace {

struct ItemCounts {
    std::size_t total = 0;
    std::size_t mediaSummary = 0;
    std::size_t audioTransition = 0;
    std::size_t videoTransition = 0;
    std::size_t empty = 0;

    void Add(const Model::Track& track) {
        for (const auto& item : track.TrackItems()) {
            ++total;
            if (!item) {
                ++empty;
                continue;
            }
            switch (item->GetType()) {
                case Model::TrackItemType::MediaSummary: ++mediaSummary; break;
                case Model::TrackItemType::FxAudioTransition: ++audioTransition; break;
                case Model::TrackItemType::FxVideoTransition: ++videoTransition; break;
                case Model::TrackItemType::Unknown: break;
            }
        }
    }

    std::string Text() const {
        std::string text = std::to_string(total) + (total == 1 ? " item" : " items");
        text += " (" + std::to_string(mediaSummary) + " media summary, " + std::to_string(audioTransition) +
                " audio transition, " + std::to_string(videoTransition) + " video transition";
        if (empty != 0) {
            text += ", " + std::to_string(empty) + " without an item";
        }
        return text + ")";
    }
};

std::string Plural(std::size_t count, const char* singular, const char* plural) {
    return std::to_string(count) + " " + (count == 1 ? singular : plural);
}

std::string EffectText(const Model::TransitionEffect& effect) {
    return "effect " + Orv::TimelineEngineModel::ToString(effect.TransitionEffectType()) + ", offset " +
           std::to_string(effect.Offset()) + ", duration " + std::to_string(effect.Duration()) + ", config " +
           Quote(effect.Config());
}

}  // namespace

std::string Summarize(const Entity& entity) {
    switch (entity.kind) {
        case Kind::Timeline: {
            const auto& timeline = *entity.timeline;
            ItemCounts counts;
            for (const auto& track : timeline.Tracks()) {
                counts.Add(track);
            }
            return "timeline " + Quote(timeline.Id().Value()) + ": " +
                   Plural(timeline.Tracks().size(), "track", "tracks") + ", " + counts.Text() + ", " +
                   Plural(timeline.MediaInfos().size(), "media info", "media infos") + ", duration " +
                   std::to_string(timeline.Duration());
        }
        case Kind::Track: {
            ItemCounts counts;
            counts.Add(*entity.track);
            return "track " + Quote(entity.track->Id().Value()) + ": " + counts.Text();
        }
        case Kind::Item: {
            const auto& item = *entity.item;
            std::string text = std::string(ItemKindName(item)) + " " + Quote(item.Id().Value());
            if (item.GetType() == Model::TrackItemType::FxAudioTransition ||
                item.GetType() == Model::TrackItemType::FxVideoTransition) {
                text += ": " + EffectText(static_cast<const Model::FxTransitionItem&>(item).FxTransition());
            } else if (item.GetType() == Model::TrackItemType::MediaSummary) {
                const auto& summary = static_cast<const Model::MediaSummaryItem&>(item);
                text += ": media asset " + Quote(summary.MediaAssetId().Value()) + ", video " +
                        std::to_string(summary.VideoIn()) + "+" + std::to_string(summary.VideoDuration()) +
                        ", audio " + std::to_string(summary.AudioIn()) + "+" +
                        std::to_string(summary.AudioDuration());
            }
            return text;
        }
        case Kind::MediaInfo: {
            const auto& info = *entity.mediaInfo;
            return "media info " + Quote(info.MediaAssetId().Value()) + ": limit in " +
                   std::to_string(info.LimitIn()) + ", limit duration " + std::to_string(info.LimitDuration()) +
                   ", channels " + Quote(info.Channels());
        }
        case Kind::Effect:
            return "transition " + EffectText(*entity.effect);
    }
    return {};
}

}  // namespace OrvTool
