#pragma once

// The conversion operations of the ten converters as cases that the hardening
// tests run: both To overloads of every writer (Append is what To runs inside
// the object it opened) and every reader's pointer variants and reference
// variant or Append, all through the one instance Shared() gives.

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

#include <TimelineGenerator.h>

#include <json/json.h>

#include <cstdint>
#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <type_traits>
#include <utility>
#include <vector>

namespace Orv::Testing {

using namespace Orv::TimelineEngineModel;
using namespace Orv::TimelineEngineModel::Serialization::Json;
using Orv::BusinessEntityModel::BaseTypes::Identifier;
using Orv::Common::Serialization::Result;
using Orv::Common::Serialization::Json::JsonObject;
using Orv::Common::Serialization::Json::Stringer;

template <typename Converter>
const Converter& Shared() {
    static const Converter instance;
    return instance;
}

// One operation of one converter on one document. The test's own allocations
// stay in `prepare` and `check`, out of `call`.
struct ConversionCase {
    std::string name;
    bool throws;   // reports failure by letting the exception pass
    bool absorbs;  // a list reader goes on past an item that failed, so may succeed
    std::function<void(bool fresh)> prepare;        // a new target, or the one the last call left
    std::function<Result()> call;
    std::function<std::string(bool failed)> check;  // "" when the target is as it should be
};

inline bool ParseStrictly(const std::string& text, JsonObject& root) {
    Json::CharReaderBuilder builder;
    Json::CharReaderBuilder::strictMode(&builder.settings_);
    std::string errors;
    return std::unique_ptr<Json::CharReader>(builder.newCharReader())
        ->parse(text.c_str(), text.c_str() + text.size(), &root, &errors);
}

template <typename Writer, typename T>
std::string TextOf(const T& entity) {
    Stringer stringer;
    return Writer().To(entity, stringer) ? stringer.ToString() : "!";
}

// The writer's To(const&) and, with `both`, To(&&), each into its own Stringer.
template <typename Writer, typename T>
void AddWriter(std::vector<ConversionCase>& cases, const std::string& name, const T& entity, bool both = true) {
    struct State {
        const Writer& writer;
        std::optional<Stringer> stringer;  // a new one: it has no buffer yet
        T argument;
    };
    const std::string expected = TextOf<Writer>(entity);
    for (int operation = 0; operation < (both ? 2 : 1); ++operation) {
        const bool rvalue = operation == 1;
        auto state = std::make_shared<State>(State{Shared<Writer>(), std::nullopt, entity});
        const auto prepare = [state, entity](bool fresh) {
            if (fresh) {
                state->stringer.emplace();
            } else {
                state->stringer->TakeStream();
            }
            state->argument = entity;
        };
        const auto call = [state, rvalue] {
            return rvalue ? state->writer.To(std::move(state->argument), *state->stringer)
                          : state->writer.To(std::as_const(state->argument), *state->stringer);
        };
        const auto check = [state, expected](bool failed) {
            const std::string text = state->stringer->ToString();
            JsonObject root;
            const bool wellFormed = failed ? text.empty() || ParseStrictly(text, root) : text == expected;
            return state->stringer->Depth() == 0 && wellFormed ? std::string() : "open scopes or wrong text: " + text;
        };
        cases.push_back({name + (rvalue ? "::To(&&)" : "::To(const&)"), false, false, prepare, call, check});
    }
}

// The writer's operations, then the reader's: the pointer variants and the
// reference variant, To(const JsonObject&, T&), or for the track item reader
// Append into an Item, which reads neither "_type" nor "id". The reference
// variant starts over on a new object, the partial one destroyed. The timeline
// and track readers go on past an item that failed and may leave an entry
// without an item, which their writers refuse.
template <typename Writer, typename Reader, typename T = void, typename Item>
void AddConverters(std::vector<ConversionCase>& cases, const std::string& kind, std::shared_ptr<Item> entity,
                   const std::string& document = "") {
    AddWriter<Writer>(cases, kind + "ToJsonConverter" + document, *entity);
    const std::string name = "JsonTo" + kind + "Converter" + document;
    constexpr bool absorbs = std::is_same_v<Item, Timeline> || std::is_same_v<Item, Track>;
    constexpr bool creates = !std::is_same_v<Item, MediaInfo> && !std::is_same_v<Item, TransitionEffect>;
    using Target = std::conditional_t<std::is_void_v<T>, Item, T>;
    struct State {
        const Reader& reader;
        JsonObject json;
        std::unique_ptr<Target> target;
    };
    JsonObject json;
    ParseStrictly(TextOf<Writer>(*entity), json);
    auto withoutId = std::make_shared<Item>(*entity);
    if constexpr (!std::is_same_v<Target, Item>) {
        withoutId->Id(Identifier());
    }
    const char* labels[] = {"::To(const JsonObject&, unique_ptr&)", "::To(JsonObject&&, unique_ptr&)",
                            std::is_same_v<Target, Item> ? "::To(const JsonObject&, T&)" : "::Append"};
    for (int variant = 0; variant < 3; ++variant) {
        const bool reference = variant == 2;
        auto state = std::make_shared<State>(State{Shared<Reader>(), JsonObject(), nullptr});
        const auto prepare = [state, json, reference, creates](bool fresh) {
            state->json = json;
            if (fresh || reference) {
                state->target = creates && !reference ? nullptr : std::make_unique<Item>();
            }
        };
        const auto call = [state, variant] {
            auto& [reader, json, target] = *state;
            if (variant != 2) {
                return variant == 0 ? reader.To(std::as_const(json), target) : reader.To(std::move(json), target);
            }
            if constexpr (std::is_same_v<Target, Item>) {
                return reader.To(std::as_const(json), *target);
            } else {
                return reader.Append(json, static_cast<Item&>(*target));
            }
        };
        const auto check = [state, expected = reference ? withoutId : entity](bool failed) {
            if (!failed) {
                return state->target && *state->target == *expected ? std::string() : "the result differs";
            }
            Stringer stringer;
            const Result written = state->target ? Writer().To(*state->target, stringer) : Result();
            const bool writable = written || std::string(written.ErrorMessage()) == "track item entry holds no item";
            return writable && stringer.Depth() == 0 ? std::string() : "the partial result does not write";
        };
        cases.push_back({name + labels[variant], reference, absorbs, prepare, call, check});
    }
}

// Adds converter x operation for a document generated from `seed`, with every
// kind of item and texts longer than the Stringer's first buffer, so that
// Append, which writes into an object already open, has to grow it too, and the
// readers' copies of them allocate.
inline void AddTypicalCases(std::vector<ConversionCase>& cases, std::uint64_t seed) {
    TimelineShape shape;
    shape.itemsPerTrack = 6;
    shape.awkwardTexts = shape.extremeIntegers = true;
    auto timeline = std::make_shared<Timeline>(GenerateTimeline(seed, shape));
    const Identifier id("an identifier longer than the short-string buffer");
    auto summary = std::make_shared<MediaSummaryItem>(id);
    summary->MediaAssetId(Identifier(std::string(1100, 'a')));
    auto audio = std::make_shared<FxAudioTransitionItem>(id);
    audio->FxTransition(TransitionEffect(EffectType::Mix, 12, 25, "{\"curve\":\"" + std::string(1200, 'e') + "\"}"));
    auto video = std::make_shared<FxVideoTransitionItem>(id);
    video->FxTransition(TransitionEffect(EffectType::Cut, 0, 40, std::string(1100, 'v')));
    timeline->Tracks().front().TrackItems().insert(timeline->Tracks().front().TrackItems().end(), {summary, audio});
    timeline->Tracks().back().TrackItems().push_back(video);
    timeline->MediaInfos().front() = MediaInfo(id, 25, 1000, std::string(1300, 'c'));
    auto track = std::make_shared<Track>(timeline->Tracks().front());
    auto info = std::make_shared<MediaInfo>(timeline->MediaInfos().front());
    auto effect = std::make_shared<TransitionEffect>(audio->FxTransition());
    AddConverters<TimelineToJsonConverter, JsonToTimelineConverter>(cases, "Timeline", timeline);
    AddConverters<TrackToJsonConverter, JsonToTrackConverter>(cases, "Track", track);
    AddConverters<MediaInfoToJsonConverter, JsonToMediaInfoConverter>(cases, "MediaInfo", info);
    AddConverters<TransitionEffectToJsonConverter, JsonToTransitionEffectConverter>(cases, "TransitionEffect", effect);
    using ItemWriter = TrackItemToJsonConverter;
    using ItemReader = JsonToTrackItemConverter;
    AddConverters<ItemWriter, ItemReader, TrackItem>(cases, "TrackItem", summary, " [summary]");
    AddConverters<ItemWriter, ItemReader, TrackItem>(cases, "TrackItem", audio, " [audio]");
    AddConverters<ItemWriter, ItemReader, TrackItem>(cases, "TrackItem", video, " [video]");
}

}  // namespace Orv::Testing
