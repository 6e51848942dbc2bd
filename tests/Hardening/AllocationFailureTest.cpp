// Allocation failure: every public conversion operation of the ten converters
// runs with the Nth allocation of the call failing, for N = 1, 2, ... until the
// call makes fewer than N. Each failure must come back as std::bad_alloc's
// what(), in a failed Result or, where exceptions pass, as the exception; the
// target must stay usable (a writer's Stringer with every scope closed and
// well-formed text, a reader's partial result writable); and the next call, by
// the same converter into the same target, must succeed with the expected
// result. Leaks and memory errors are left to the sanitizer and valgrind runs.
// The global operator new is replaced, so this is a plain program.

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

#include <cstdio>
#include <cstdlib>
#include <exception>
#include <functional>
#include <memory>
#include <new>
#include <optional>
#include <string>
#include <type_traits>
#include <utility>
#include <vector>

namespace {

// Counted only while armed; the allocation whose number is failAt fails.
bool armed = false;
std::size_t allocations = 0;
std::size_t failAt = 0;

void* TryAllocate(std::size_t size) noexcept {
    return armed && ++allocations == failAt ? nullptr : std::malloc(size == 0 ? 1 : size);
}

void* Allocate(std::size_t size) {
    if (void* memory = TryAllocate(size)) {
        return memory;
    }
    throw std::bad_alloc();
}

}  // namespace

// Every form is replaced: a sanitizer runtime would otherwise pair its own
// forms with these.
void* operator new(std::size_t size) { return Allocate(size); }
void* operator new[](std::size_t size) { return Allocate(size); }
void* operator new(std::size_t size, const std::nothrow_t&) noexcept { return TryAllocate(size); }
void* operator new[](std::size_t size, const std::nothrow_t&) noexcept { return TryAllocate(size); }
void operator delete(void* memory) noexcept { std::free(memory); }
void operator delete[](void* memory) noexcept { std::free(memory); }
void operator delete(void* memory, std::size_t) noexcept { std::free(memory); }
void operator delete[](void* memory, std::size_t) noexcept { std::free(memory); }
void operator delete(void* memory, const std::nothrow_t&) noexcept { std::free(memory); }
void operator delete[](void* memory, const std::nothrow_t&) noexcept { std::free(memory); }

namespace {

using namespace Orv::TimelineEngineModel;
using namespace Orv::TimelineEngineModel::Serialization::Json;
using Orv::BusinessEntityModel::BaseTypes::Identifier;
using Orv::Common::Serialization::Result;
using Orv::Common::Serialization::Json::JsonObject;
using Orv::Common::Serialization::Json::Stringer;

// One operation of one converter on one document. What the test itself
// allocates happens in `prepare` and `check`, outside the counted call.
struct Case {
    std::string name;
    bool throws;   // reports failure by letting the exception pass
    bool absorbs;  // a list reader goes on past an item that failed, so may succeed
    std::function<void(bool fresh)> prepare;        // a new target, or the one the last call left
    std::function<Result()> call;
    std::function<std::string(bool failed)> check;  // "" when the target is as it should be
};

bool Parse(const std::string& text, JsonObject& root, bool strict = false) {
    Json::CharReaderBuilder builder;
    if (strict) {
        Json::CharReaderBuilder::strictMode(&builder.settings_);
    }
    std::string errors;
    return std::unique_ptr<Json::CharReader>(builder.newCharReader())
        ->parse(text.c_str(), text.c_str() + text.size(), &root, &errors);
}

template <typename Writer, typename T>
std::string TextOf(const T& entity) {
    Stringer stringer;
    return Writer().To(entity, stringer) ? stringer.ToString() : "!";
}

// The writer's To(const&) and, with `both`, To(&&), each into a Stringer of its
// own. Append is what To runs inside the object it opened.
template <typename Writer, typename T>
void AddWriter(std::vector<Case>& cases, const std::string& name, const T& entity, bool both = true) {
    struct State {
        Writer writer;
        std::optional<Stringer> stringer;  // a new one: it has no buffer yet
        T argument;
    };
    const std::string expected = TextOf<Writer>(entity);
    for (int operation = 0; operation < (both ? 2 : 1); ++operation) {
        const bool rvalue = operation == 1;
        auto state = std::make_shared<State>(State{Writer(), std::nullopt, entity});
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
            const bool wellFormed = failed ? text.empty() || Parse(text, root, true) : text == expected;
            return state->stringer->Depth() == 0 && wellFormed ? std::string() : "scopes left open or wrong text: " + text;
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
void AddConverters(std::vector<Case>& cases, const std::string& kind, std::shared_ptr<Item> entity,
                   const std::string& document = "") {
    AddWriter<Writer>(cases, kind + "ToJsonConverter" + document, *entity);
    const std::string name = "JsonTo" + kind + "Converter" + document;
    constexpr bool absorbs = std::is_same_v<Item, Timeline> || std::is_same_v<Item, Track>;
    constexpr bool creates = !std::is_same_v<Item, MediaInfo> && !std::is_same_v<Item, TransitionEffect>;
    using Target = std::conditional_t<std::is_void_v<T>, Item, T>;
    struct State {
        Reader reader;
        JsonObject json;
        std::unique_ptr<Target> target;
    };
    JsonObject json;
    Parse(TextOf<Writer>(*entity), json);
    auto withoutId = std::make_shared<Item>(*entity);
    if constexpr (!std::is_same_v<Target, Item>) {
        withoutId->Id(Identifier());
    }
    const char* labels[] = {"::To(const JsonObject&, unique_ptr&)", "::To(JsonObject&&, unique_ptr&)",
                            std::is_same_v<Target, Item> ? "::To(const JsonObject&, T&)" : "::Append"};
    for (int variant = 0; variant < 3; ++variant) {
        const bool reference = variant == 2;
        auto state = std::make_shared<State>();
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

// Converter x operation x document. The document is a generated timeline with
// every kind of item, and texts longer than the Stringer's first buffer, so
// that Append, which writes into an object already open, has to grow it too,
// and the readers' copies of them allocate.
std::vector<Case> AllCases() {
    Orv::Testing::TimelineShape shape;
    shape.tracks = 2;
    shape.itemsPerTrack = 6;
    shape.mediaInfos = 3;
    shape.sharedShare = 0.2;
    shape.awkwardTexts = shape.extremeIntegers = true;
    auto timeline = std::make_shared<Timeline>(Orv::Testing::GenerateTimeline(7, shape));
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

    std::vector<Case> cases;
    AddConverters<TimelineToJsonConverter, JsonToTimelineConverter>(cases, "Timeline", timeline);
    AddConverters<TrackToJsonConverter, JsonToTrackConverter>(cases, "Track", track);
    AddConverters<MediaInfoToJsonConverter, JsonToMediaInfoConverter>(cases, "MediaInfo", info);
    AddConverters<TransitionEffectToJsonConverter, JsonToTransitionEffectConverter>(cases, "TransitionEffect", effect);
    using ItemWriter = TrackItemToJsonConverter;
    using ItemReader = JsonToTrackItemConverter;
    AddConverters<ItemWriter, ItemReader, TrackItem>(cases, "TrackItem", summary, " [summary]");
    AddConverters<ItemWriter, ItemReader, TrackItem>(cases, "TrackItem", audio, " [audio]");
    AddConverters<ItemWriter, ItemReader, TrackItem>(cases, "TrackItem", video, " [video]");

    // Regression: a close that comes when the Stringer's buffer is full must
    // not need memory, or a failed allocation leaves the object open while the
    // write reports success. Texts of every length from 217 to 1125 bytes put
    // a closing bracket at the end of the first buffer, whatever its size in
    // that range; in the timeline, the track's object closes inside the array.
    for (std::size_t length = 200; length <= 1100; ++length) {
        const std::string at = " [close at a full buffer, " + std::to_string(length) + "]";
        const Track bare(Identifier(std::string(length, 'f')));
        AddWriter<TrackToJsonConverter>(cases, "TrackToJsonConverter" + at, bare, false);
        Timeline holder;
        holder.Tracks().push_back(Track(Identifier(std::string(length - 26, 'n'))));
        AddWriter<TimelineToJsonConverter>(cases, "TimelineToJsonConverter" + at, holder, false);
        const MediaInfo plain(Identifier(std::string(length, 'm')), 0, 0, std::string());
        AddWriter<MediaInfoToJsonConverter>(cases, "MediaInfoToJsonConverter" + at, plain, false);
    }
    return cases;
}

// Runs the call with its Nth allocation failing (none for 0): the failure
// text, "" for success. Nothing allocates while armed but the call itself.
std::string Call(const Case& c, std::size_t n, bool& thrown) {
    allocations = 0;
    failAt = n;
    armed = true;
    thrown = false;
    try {
        const Result result = c.call();
        armed = false;
        return result.ErrorMessage();
    } catch (const std::exception& error) {
        armed = false;
        thrown = true;
        return error.what();
    }
}

// "" when the case kept every promise, or what it broke.
std::string Run(const Case& c, std::size_t& points) {
    const std::string badAlloc = std::bad_alloc().what();
    bool thrown = false;
    for (std::size_t n = 1; n <= 100000; ++n) {
        c.prepare(true);
        const std::string failure = Call(c, n, thrown);
        const std::string at = "allocation " + std::to_string(n) + ": ";
        if (allocations < n) {  // the call ended before its Nth allocation
            return failure.empty() ? c.check(false) : at + "failed although nothing failed: " + failure;
        }
        ++points;
        if (failure.empty() ? !c.absorbs : failure != badAlloc || thrown != c.throws) {
            return at + (failure.empty() ? "succeeded although it failed" : (thrown ? "threw " : "returned ") + failure);
        }
        if (const std::string broken = c.check(true); !broken.empty()) {
            return at + "after it: " + broken;
        }
        c.prepare(false);
        const std::string next = Call(c, 0, thrown);
        if (const std::string wrong = next.empty() ? c.check(false) : next; !wrong.empty()) {
            return at + "the next call: " + wrong;
        }
    }
    return "more than 100000 allocations: a loop?";
}

}  // namespace

int main() {
    std::size_t failed = 0;
    std::size_t points = 0;
    const std::vector<Case> cases = AllCases();
    for (const Case& c : cases) {
        if (const std::string problem = Run(c, points); !problem.empty()) {
            std::printf("FAIL %s\n     %s\n", c.name.c_str(), problem.c_str());
            ++failed;
        }
    }
    std::printf("%zu passed, %zu failed; %zu allocation failures survived\n", cases.size() - failed, failed, points);
    return failed == 0 ? 0 : 1;
}
