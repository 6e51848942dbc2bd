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

#include <Orv/TimelineEngineModel/Serialization/Json/DocumentLimits.h>

#include <fcntl.h>
#include <json/reader.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cstdint>
#include <cstdio>
#include <cstring>
#include <exception>
#include <new>
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

namespace {

constexpr std::size_t kPadding = Conv::JsonTextToTimelineConverter::Padding;

// Closes the file it holds, also when reading throws.
class InputFile {
public:
    explicit InputFile(const std::string& path)
        : fd(path == "-" ? STDIN_FILENO : open(path.c_str(), O_RDONLY | O_CLOEXEC)), owned(path != "-") {}
    ~InputFile() {
        if (owned && fd >= 0) {
            close(fd);
        }
    }
    InputFile(const InputFile&) = delete;
    InputFile& operator=(const InputFile&) = delete;

    const int fd;

private:
    const bool owned;
};

// The help texts name the limit.
static_assert(Conv::MaxDocumentSize == 2147483647, "update the limit in the help texts and the README");

std::string TooLarge() {
    return "larger than " + std::to_string(Conv::MaxDocumentSize) + " bytes, the largest document loaded";
}

}  // namespace

bool ReadInput(const std::string& path, std::string& text, std::string& error) {
    const InputFile file(path);
    if (file.fd < 0) {
        error = std::strerror(errno);
        return false;
    }
    text.clear();
    // A regular file's size is known before reading; a stream (a pipe, a
    // device) is cut off as soon as it passes the limit.
    struct stat info {};
    if (fstat(file.fd, &info) == 0 && S_ISREG(info.st_mode)) {
        if (static_cast<std::uint64_t>(info.st_size) > Conv::MaxDocumentSize) {
            error = TooLarge();
            return false;
        }
        text.reserve(static_cast<std::size_t>(info.st_size) + kPadding);
    }
    char buffer[65536];
    const std::size_t mostCapacity = Conv::MaxDocumentSize + sizeof buffer + kPadding;
    for (;;) {
        const ssize_t count = read(file.fd, buffer, sizeof buffer);
        if (count == 0) {
            break;
        }
        if (count < 0) {
            if (errno == EINTR) {
                continue;
            }
            // Reading a directory opens fine and fails here with EISDIR.
            error = std::strerror(errno);
            return false;
        }
        const std::size_t size = text.size() + static_cast<std::size_t>(count);
        if (size > text.capacity()) {
            // Doubling, though never far past the limit.
            text.reserve(std::min(std::max(2 * text.capacity(), size), mostCapacity));
        }
        text.append(buffer, static_cast<std::size_t>(count));
        if (text.size() > Conv::MaxDocumentSize) {
            text.clear();
            text.shrink_to_fit();
            error = TooLarge();
            return false;
        }
    }
    text.reserve(text.size() + kPadding);  // a stream, a growing file
    return true;
}

void ThrowIfOutOfMemory(const char* message) {
    if (std::strcmp(message, std::bad_alloc().what()) == 0) {
        throw std::bad_alloc();
    }
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

// jsoncpp throws for nesting beyond its limit, and when memory runs out.
std::string ParserGaveUp(const char* what) {
    ThrowIfOutOfMemory(what);
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
        ThrowIfOutOfMemory(result.ErrorMessage());
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
    if (report.failure != Failure::None) {
        ThrowIfOutOfMemory(result.ErrorMessage());
    }
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
        case Failure::OutOfMemory:
            throw std::bad_alloc();
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
    ThrowIfOutOfMemory(result.ErrorMessage());
    error = result.ErrorMessage();
    if (!emptyEntry.empty()) {
        error += " (" + emptyEntry + ": its element in the document is neither an object nor null)";
    }
    return false;
}

namespace {

bool Load(const std::string& path, Kind kind, Entity& entity, std::string& error, LoadDetails* details) {
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

}  // namespace

bool LoadEntity(const std::string& path, Kind kind, Entity& entity, std::string& error, LoadDetails* details) {
    try {
        return Load(path, kind, entity, error, details);
    } catch (const std::bad_alloc&) {
        entity = Entity();
        if (details != nullptr) {
            *details = LoadDetails();
        }
        error = kOutOfMemory;
        return false;
    }
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
            return "tracks[" + std::to_string(t) + "] (id " + QuotedText(tracks[t].Id().Value()) + ") " + entry;
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
           QuotedText(effect.Config());
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
            return "timeline " + QuotedText(timeline.Id().Value()) + ": " +
                   Plural(timeline.Tracks().size(), "track", "tracks") + ", " + counts.Text() + ", " +
                   Plural(timeline.MediaInfos().size(), "media info", "media infos") + ", duration " +
                   std::to_string(timeline.Duration());
        }
        case Kind::Track: {
            ItemCounts counts;
            counts.Add(*entity.track);
            return "track " + QuotedText(entity.track->Id().Value()) + ": " + counts.Text();
        }
        case Kind::Item: {
            const auto& item = *entity.item;
            std::string text = std::string(ItemKindName(item)) + " " + QuotedText(item.Id().Value());
            if (item.GetType() == Model::TrackItemType::FxAudioTransition ||
                item.GetType() == Model::TrackItemType::FxVideoTransition) {
                text += ": " + EffectText(static_cast<const Model::FxTransitionItem&>(item).FxTransition());
            } else if (item.GetType() == Model::TrackItemType::MediaSummary) {
                const auto& summary = static_cast<const Model::MediaSummaryItem&>(item);
                text += ": media asset " + QuotedText(summary.MediaAssetId().Value()) + ", video " +
                        std::to_string(summary.VideoIn()) + "+" + std::to_string(summary.VideoDuration()) +
                        ", audio " + std::to_string(summary.AudioIn()) + "+" +
                        std::to_string(summary.AudioDuration());
            }
            return text;
        }
        case Kind::MediaInfo: {
            const auto& info = *entity.mediaInfo;
            return "media info " + QuotedText(info.MediaAssetId().Value()) + ": limit in " +
                   std::to_string(info.LimitIn()) + ", limit duration " + std::to_string(info.LimitDuration()) +
                   ", channels " + QuotedText(info.Channels());
        }
        case Kind::Effect:
            return "transition " + EffectText(*entity.effect);
    }
    return {};
}

}  // namespace OrvTool
