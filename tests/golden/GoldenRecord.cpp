// Records everything the library makes of a set of texts and models, as one
// plain text, so that a change meant to keep behaviour can be compared byte
// for byte against a recording made before it (scripts/golden.sh).
//
//   orv-golden-record FILE...    one section per file, on standard output
//
// For every file: the text reader's result, report and timeline; jsoncpp's
// parse; each of the five readers on the parsed value (pointer and reference
// variants: result, exception, the target as left); what the writers make of
// each target (compact and pretty); the checker's diagnostics for every kind,
// in default and strict mode. Then the writers on generated models. Only the
// public API is used, so the same program builds against any version.

#include "DocumentPerturbations.h"
#include "TimelineGenerator.h"

#include <Orv/Common/Serialization/Json/Stringer.h>
#include <Orv/TimelineEngineModel/FxTransitionItem.h>
#include <Orv/TimelineEngineModel/MediaSummaryItem.h>
#include <Orv/TimelineEngineModel/Serialization/Json/JsonDocumentChecker.h>
#include <Orv/TimelineEngineModel/Serialization/Json/JsonTextToTimelineConverter.h>
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

#include <json/reader.h>

#include <fstream>
#include <iostream>
#include <memory>
#include <sstream>
#include <string>
#include <type_traits>
#include <vector>

namespace {

using namespace Orv::TimelineEngineModel;
using namespace Orv::TimelineEngineModel::Serialization::Json;
using Orv::Common::Serialization::Result;
using Orv::Common::Serialization::Json::Stringer;

std::ostream& out = std::cout;

std::string Shown(const std::string& text) {
    return QuotedText(text, 1u << 20);
}

// The model as it is, member by member, also where a writer would refuse it
// (an entry without an item).
std::string Dump(const TransitionEffect& effect) {
    return "{fx " + ToString(effect.TransitionEffectType()) + " " + std::to_string(effect.Offset()) + " " +
           std::to_string(effect.Duration()) + " " + Shown(effect.Config()) + "}";
}

std::string Dump(const MediaInfo& info) {
    return "{info " + Shown(info.MediaAssetId().Value()) + " " + std::to_string(info.LimitIn()) + " " +
           std::to_string(info.LimitDuration()) + " " + Shown(info.Channels()) + "}";
}

std::string Dump(const TrackItem* item) {
    if (item == nullptr) {
        return "{no item}";
    }
    std::string text = "{item " + std::to_string(static_cast<int>(item->GetType())) + " " + Shown(item->Id().Value());
    if (item->GetType() == TrackItemType::MediaSummary) {
        const auto& s = static_cast<const MediaSummaryItem&>(*item);
        for (const int64_t value : {s.VideoIn(), s.VideoDuration(), s.AudioIn(), s.AudioDuration()}) {
            text += " " + std::to_string(value);
        }
        text += " " + Shown(s.MediaAssetId().Value());
        for (const int64_t value : {s.MediaVideoIn(), s.MediaVideoDuration(), s.MediaAudioIn(),
                                    s.MediaAudioDuration(), s.AudioLevel(), s.MonitoringChannel()}) {
            text += " " + std::to_string(value);
        }
    } else if (item->GetType() != TrackItemType::Unknown) {
        text += " " + Dump(static_cast<const FxTransitionItem&>(*item).FxTransition());
    }
    return text + "}";
}

std::string Dump(const Track& track) {
    std::string text = "{track " + Shown(track.Id().Value()) + " " + std::to_string(static_cast<int>(track.GetType()));
    for (const auto& item : track.TrackItems()) {
        text += " " + Dump(item.get());
    }
    return text + "}";
}

std::string Dump(const Timeline& timeline) {
    std::string text = "{timeline " + Shown(timeline.Id().Value()) + " " + Shown(timeline.TransactionId().Value()) +
                       " " + std::to_string(timeline.Duration());
    for (const Track& track : timeline.Tracks()) {
        text += " " + Dump(track);
    }
    for (const MediaInfo& info : timeline.MediaInfos()) {
        text += " " + Dump(info);
    }
    return text + "}";
}

std::string Dump(const std::unique_ptr<TrackItem>& item) {
    return Dump(item.get());
}
template <typename T>
std::string Dump(const std::unique_ptr<T>& pointer) {
    return pointer ? Dump(*pointer) : "{empty pointer}";
}

std::string ResultText(const Result& result) {
    return result ? "ok" : "failed " + Shown(result.ErrorMessage());
}

// What a writer makes of `model`, compact and pretty.
template <typename Writer, typename T>
void RecordWrites(const T& model) {
    for (const bool pretty : {false, true}) {
        Stringer stringer = pretty ? Stringer::PrettyStringer() : Stringer();
        const Result result = Writer().To(model, stringer);
        out << (pretty ? "  pretty: " : "  write: ") << ResultText(result) << " " << Shown(stringer.ToString())
            << "\n";
    }
}

template <typename Writer, typename T>
void RecordWrites(const std::unique_ptr<T>& target) {
    if (target) {
        RecordWrites<Writer>(*target);
    }
}

// The pointer variant; for the readers that fill what the pointer holds, a
// default object is held first.
template <typename Reader, typename Writer, typename T>
void RecordRead(const char* name, const Json::Value& root, bool holdFirst) {
    std::unique_ptr<T> target;
    if constexpr (std::is_default_constructible_v<T>) {
        if (holdFirst) {
            target = std::make_unique<T>();
        }
    }
    const Result result = Reader().To(root, target);
    out << " " << name << ": " << ResultText(result) << " " << Dump(target) << "\n";
    RecordWrites<Writer>(target);
}

// The reference variant, into a default object.
template <typename Reader, typename T>
void RecordReference(const char* name, const Json::Value& root) {
    T target;
    std::string outcome = "ok";
    try {
        static_cast<void>(Reader().To(root, target));
    } catch (const std::exception& error) {
        outcome = "throws " + Shown(error.what());
    }
    out << " " << name << " (reference): " << outcome << " " << Dump(target) << "\n";
}

void RecordChecks(const std::string& text) {
    const struct {
        DocumentKind kind;
        const char* name;
    } kinds[] = {{DocumentKind::Timeline, "timeline"},
                 {DocumentKind::Track, "track"},
                 {DocumentKind::TrackItem, "item"},
                 {DocumentKind::MediaInfo, "media info"},
                 {DocumentKind::TransitionEffect, "effect"}};
    for (const auto& kind : kinds) {
        for (const bool strict : {false, true}) {
            JsonDocumentChecker::Options options;
            options.strictJson = strict;
            std::vector<JsonDiagnostic> diagnostics;
            const Result result = JsonDocumentChecker().Check(text, kind.kind, diagnostics, options);
            out << " check " << kind.name << (strict ? " strict" : "") << ": " << ResultText(result) << "\n";
            for (const JsonDiagnostic& d : diagnostics) {
                out << "  " << ToString(d.severity) << " " << d.code << " " << Shown(d.pointer) << " " << d.line << ":"
                    << d.column << " " << Shown(d.message) << "\n";
            }
        }
    }
}

void RecordText(const std::string& name, const std::string& text) {
    out << "=== " << name << " (" << text.size() << " bytes)\n";
    {
        std::unique_ptr<Timeline> timeline = std::make_unique<Timeline>(Timeline::Identifier("untouched"));
        JsonTextToTimelineConverter::Report report;
        const Result result = JsonTextToTimelineConverter().To(std::string_view(text), timeline, report);
        out << " text reader: " << ResultText(result) << " path " << static_cast<int>(report.path) << " failure "
            << static_cast<int>(report.failure) << " anomaly " << report.anomaly << " " << Dump(timeline) << "\n";
    }
    Json::Value root;
    std::string errors;
    bool parsed = false;
    try {
        const std::unique_ptr<Json::CharReader> reader(Json::CharReaderBuilder().newCharReader());
        parsed = reader->parse(text.data(), text.data() + text.size(), &root, &errors);
        out << " jsoncpp: " << (parsed ? "parsed" : "refused " + Shown(errors)) << "\n";
    } catch (const std::exception& error) {
        out << " jsoncpp: throws " << Shown(error.what()) << "\n";
    }
    if (parsed) {
        RecordRead<JsonToTimelineConverter, TimelineToJsonConverter, Timeline>("timeline", root, false);
        RecordRead<JsonToTrackConverter, TrackToJsonConverter, Track>("track", root, false);
        RecordRead<JsonToTrackItemConverter, TrackItemToJsonConverter, TrackItem>("item", root, false);
        RecordRead<JsonToMediaInfoConverter, MediaInfoToJsonConverter, MediaInfo>("media info", root, true);
        RecordRead<JsonToMediaInfoConverter, MediaInfoToJsonConverter, MediaInfo>("media info (no target)", root, false);
        RecordRead<JsonToTransitionEffectConverter, TransitionEffectToJsonConverter, TransitionEffect>("effect", root, true);
        RecordRead<JsonToTransitionEffectConverter, TransitionEffectToJsonConverter, TransitionEffect>("effect (no target)", root, false);
        RecordReference<JsonToTimelineConverter, Timeline>("timeline", root);
        RecordReference<JsonToTrackConverter, Track>("track", root);
        RecordReference<JsonToMediaInfoConverter, MediaInfo>("media info", root);
        RecordReference<JsonToTransitionEffectConverter, TransitionEffect>("effect", root);
    }
    RecordChecks(text);
}

void RecordGeneratedModels() {
    for (std::uint64_t seed = 1; seed <= 40; ++seed) {
        Orv::Testing::TimelineShape shape;
        shape.awkwardTexts = seed % 2 == 0;
        shape.extremeIntegers = seed % 3 == 0;
        shape.sparse = seed % 5 != 0;
        shape.uuidIdentifiers = seed % 7 == 0;
        const Timeline timeline = Orv::Testing::GenerateTimeline(seed, shape);
        out << "=== generated model " << seed << "\n";
        RecordWrites<TimelineToJsonConverter>(timeline);
        for (const Track& track : timeline.Tracks()) {
            RecordWrites<TrackToJsonConverter>(track);
            for (const auto& item : track.TrackItems()) {
                RecordWrites<TrackItemToJsonConverter>(*item);
                if (item->GetType() != TrackItemType::MediaSummary) {
                    RecordWrites<TransitionEffectToJsonConverter>(
                        static_cast<const FxTransitionItem&>(*item).FxTransition());
                }
            }
        }
        for (const MediaInfo& info : timeline.MediaInfos()) {
            RecordWrites<MediaInfoToJsonConverter>(info);
        }
        // The text written, and perturbed, read back through every reader.
        Stringer stringer = seed % 4 == 0 ? Stringer::PrettyStringer() : Stringer();
        static_cast<void>(TimelineToJsonConverter().To(timeline, stringer));
        const std::string text = stringer.ToString();
        RecordText("generated text " + std::to_string(seed), text);
        for (int kind = 0; kind < Orv::Testing::PerturbationCount; ++kind) {
            RecordText("generated text " + std::to_string(seed) + " perturbed " + std::to_string(kind),
                       Orv::Testing::Perturb(text, kind));
        }
    }
}

}  // namespace

int main(int argc, char** argv) {
    for (int i = 1; i < argc; ++i) {
        std::ifstream file(argv[i], std::ios::binary);
        std::stringstream text;
        text << file.rdbuf();
        RecordText(argv[i], text.str());
    }
    RecordGeneratedModels();
    return 0;
}
