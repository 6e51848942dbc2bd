// Allocation failure: every public conversion operation of the ten converters
// is run on a typical document with the Nth allocation of the call failing,
// for N = 1, 2, 3, ... until the call no longer reaches an Nth allocation.
// Each such failure must come back as a failed Result whose message is
// std::bad_alloc's what() (or, for the operations that report failure by
// exception, as the std::bad_alloc itself); the target must stay usable (a
// writer's Stringer well formed and ready for a new document, a reader's
// partial result writable and replaceable); and the next call on the same
// converter must succeed with the expected output. Leaks and memory errors
// are left to the sanitizer and valgrind runs of this binary.
//
// The global operator new is replaced, so this is a plain program rather than
// a GoogleTest one; it prints one line per operation and a summary.

#include <Orv/TimelineEngineModel/FxAudioTransitionItem.h>
#include <Orv/TimelineEngineModel/FxVideoTransitionItem.h>
#include <Orv/TimelineEngineModel/MediaSummaryItem.h>
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

#include <cstddef>
#include <cstdio>
#include <cstdlib>
#include <exception>
#include <functional>
#include <map>
#include <memory>
#include <new>
#include <string>
#include <type_traits>
#include <utility>
#include <vector>

// ---- The failing allocator ------------------------------------------------

namespace {

// Counted only while armed; the allocation whose number is failAt fails.
bool armed = false;
std::size_t allocations = 0;
std::size_t failAt = 0;

void* Allocate(std::size_t size) {
    if (armed && ++allocations == failAt) {
        throw std::bad_alloc();
    }
    void* memory = std::malloc(size == 0 ? 1 : size);
    if (memory == nullptr) {
        throw std::bad_alloc();
    }
    return memory;
}

void* AllocateOrNull(std::size_t size) noexcept {
    try {
        return Allocate(size);
    } catch (...) {
        return nullptr;
    }
}

// Arms the allocator for the scope: the Nth allocation made in it fails.
class FailNthAllocation {
public:
    explicit FailNthAllocation(std::size_t n) {
        allocations = 0;
        failAt = n;
        armed = true;
    }
    ~FailNthAllocation() { armed = false; }
    FailNthAllocation(const FailNthAllocation&) = delete;
    FailNthAllocation& operator=(const FailNthAllocation&) = delete;
};

}  // namespace

void* operator new(std::size_t size) {
    return Allocate(size);
}
void* operator new[](std::size_t size) {
    return Allocate(size);
}
void* operator new(std::size_t size, const std::nothrow_t&) noexcept {
    return AllocateOrNull(size);
}
void* operator new[](std::size_t size, const std::nothrow_t&) noexcept {
    return AllocateOrNull(size);
}
void operator delete(void* memory) noexcept {
    std::free(memory);
}
void operator delete[](void* memory) noexcept {
    std::free(memory);
}
void operator delete(void* memory, std::size_t) noexcept {
    std::free(memory);
}
void operator delete[](void* memory, std::size_t) noexcept {
    std::free(memory);
}
void operator delete(void* memory, const std::nothrow_t&) noexcept {
    std::free(memory);
}
void operator delete[](void* memory, const std::nothrow_t&) noexcept {
    std::free(memory);
}

// ---- The operations under test --------------------------------------------

namespace {

using namespace Orv::TimelineEngineModel;
using namespace Orv::TimelineEngineModel::Serialization::Json;
using Orv::BusinessEntityModel::BaseTypes::Identifier;
using Orv::Common::Serialization::Result;
using Orv::Common::Serialization::Json::JsonObject;
using Orv::Common::Serialization::Json::Stringer;

const std::string BadAllocText = std::bad_alloc().what();
const std::string EmptyEntryText = "track item entry holds no item";

// How one armed call ended. Nothing here allocates, so the armed region holds
// only the converter's own work.
struct Outcome {
    Result result;
    std::exception_ptr thrown;
};

// One public operation with its target. `call` runs the operation on the
// target that `prepare` made; `check` says what is wrong with the target after
// a successful call ("" when it is what it should be); `checkAfterFailure`
// says what is wrong with the target after a failed one: whether it can be
// destroyed and written again.
struct Case {
    std::string converter;
    std::string operation;
    // The track and timeline readers do not look at the result of each item's
    // reading: an item that fails leaves its entry partly read, or empty, and
    // the reading goes on. Such a call succeeds although an allocation failed.
    bool itemFailuresAbsorbed = false;
    std::function<void()> prepare;
    std::function<Outcome()> call;
    std::function<std::string()> check;
    std::function<std::string()> checkAfterFailure;
    // A case kept for a fault found once, rather than part of the typical
    // document; counted apart.
    bool regression = false;
};

// Runs `work`, which throws on failure, as an Outcome.
template <typename Work>
Outcome Catching(Work&& work) {
    Outcome outcome;
    try {
        outcome.result = work();
    } catch (...) {
        outcome.thrown = std::current_exception();
    }
    return outcome;
}

// The failure text of an outcome: the Result's message, or what() of a thrown
// std::exception; "" for success.
std::string FailureText(const Outcome& outcome, bool& unknownException) {
    unknownException = false;
    if (outcome.thrown) {
        try {
            std::rethrow_exception(outcome.thrown);
        } catch (const std::bad_alloc& error) {
            return error.what();
        } catch (const std::exception& error) {
            return std::string("not a bad_alloc: ") + error.what();
        } catch (...) {
            unknownException = true;
            return "an exception not derived from std::exception";
        }
    }
    return outcome.result ? std::string() : std::string(outcome.result.ErrorMessage());
}

bool ParsesAsJson(const std::string& text) {
    Json::CharReaderBuilder builder;
    Json::CharReaderBuilder::strictMode(&builder.settings_);
    const std::unique_ptr<Json::CharReader> reader(builder.newCharReader());
    JsonObject root;
    std::string errors;
    return reader->parse(text.c_str(), text.c_str() + text.size(), &root, &errors);
}

JsonObject ParseOrDie(const std::string& text) {
    Json::CharReaderBuilder builder;
    const std::unique_ptr<Json::CharReader> reader(builder.newCharReader());
    JsonObject root;
    std::string errors;
    if (!reader->parse(text.c_str(), text.c_str() + text.size(), &root, &errors)) {
        std::fprintf(stderr, "the typical document does not parse: %s\n", errors.c_str());
        std::exit(2);
    }
    return root;
}

// Writes `entity` with `write` (a writer's To) into a new Stringer: the text,
// or the failure message prefixed with "!".
template <typename Write>
std::string WriteText(Write&& write) {
    Stringer stringer;
    const Result result = write(stringer);
    if (!result) {
        return std::string("!") + result.ErrorMessage();
    }
    return stringer.ToString();
}

// After a failed write: every opened scope closed, the text well formed, and
// the Stringer ready for a new document that then comes out right.
template <typename Rewrite>
std::string CheckStringerAfterFailure(Stringer& stringer, const std::string& expected, Rewrite&& rewrite) {
    if (stringer.Depth() != 0) {
        return "the failed write left " + std::to_string(stringer.Depth()) + " scope(s) open: " + stringer.ToString();
    }
    if (!stringer.ToString().empty() && !ParsesAsJson(stringer.ToString())) {
        return "the failed write left text that is not JSON: " + stringer.ToString();
    }
    stringer.TakeStream();
    const Result again = rewrite(stringer);
    if (!again || stringer.ToString() != expected) {
        return "the Stringer does not write correctly after the failure";
    }
    return std::string();
}

// A reader's partial result must be writable: the writer succeeds, or refuses
// an entry without an item, which a list reader may leave after an item
// failed.
template <typename Write>
std::string CheckPartialWritable(Write&& write) {
    Stringer stringer;
    const Result result = write(stringer);
    if (!result && result.ErrorMessage() != EmptyEntryText) {
        return std::string("the partial result does not write: ") + result.ErrorMessage();
    }
    if (stringer.Depth() != 0) {
        return "writing the partial result left scopes open";
    }
    return std::string();
}

// ---- Writers --------------------------------------------------------------

// `Entity` is what the writer's To(const&) takes; `argument` what Append takes
// (the entity, or a shared pointer for the track item writer).
template <typename Writer, typename Entity, typename Concrete, typename AppendArgument>
void AddWriterCases(std::vector<Case>& cases, const std::string& name, const std::string& label,
                    const Concrete& entity, const AppendArgument& argument, bool onlyTo = false) {  // onlyTo: To(const&) alone
    // A new Stringer for every call: one that is reassigned keeps its
    // buffer, and the writes would allocate nothing.
    struct State {
        Writer writer;
        std::unique_ptr<Stringer> target;
        Concrete movable;
        std::string expected;
        Stringer& stringer() { return *target; }
        void Fresh() { target = std::make_unique<Stringer>(); }
    };
    auto state = std::make_shared<State>();
    state->movable = entity;
    state->expected = WriteText([&](Stringer& s) { return state->writer.To(static_cast<const Entity&>(entity), s); });

    const auto writeWhole = [state, entity](Stringer& s) {
        return state->writer.To(static_cast<const Entity&>(entity), s);
    };
    const auto checkText = [state] {
        return state->stringer().ToString() == state->expected ? std::string() : "wrong text: " + state->stringer().ToString();
    };

    cases.push_back({name, "To(const " + label + "&, Stringer&)", false, [state] { state->Fresh(); },
                     [state, entity] {
                         Outcome outcome;
                         outcome.result = state->writer.To(static_cast<const Entity&>(entity), state->stringer());
                         return outcome;
                     },
                     checkText,
                     [state, writeWhole] {
                         return CheckStringerAfterFailure(state->stringer(), state->expected, writeWhole);
                     }});

    if (onlyTo) {
        return;
    }
    cases.push_back({name, "To(" + label + "&&, Stringer&)", false,
                     [state, entity] {
                         state->Fresh();
                         state->movable = entity;
                     },
                     [state] {
                         Outcome outcome;
                         outcome.result = state->writer.To(static_cast<Entity&&>(state->movable), state->stringer());
                         return outcome;
                     },
                     [state, checkText, entity] {
                         const std::string text = checkText();
                         if (!text.empty()) {
                             return text;
                         }
                         // The argument is only read.
                         const std::string again = WriteText([&](Stringer& s) {
                             return state->writer.To(static_cast<const Entity&>(state->movable), s);
                         });
                         return again == state->expected ? std::string() : "the rvalue argument was changed";
                     },
                     [state, writeWhole] {
                         return CheckStringerAfterFailure(state->stringer(), state->expected, writeWhole);
                     }});

    const auto appendInObject = [state, argument](Stringer& s) {
        s.Object();
        state->writer.Append(s, argument);
        s.CloseObject();
        return Result();
    };
    cases.push_back({name, "Append(Stringer&, const " + label + "&)", false,
                     [state] {
                         state->Fresh();
                         state->stringer().Object();
                     },
                     [state, argument] {
                         return Catching([&] {
                             state->writer.Append(state->stringer(), argument);
                             return Result();
                         });
                     },
                     [state, checkText] {
                         state->stringer().CloseObject();
                         return checkText();
                     },
                     [state, appendInObject] {
                         if (state->stringer().Depth() != 1) {
                             return "the failed Append left " + std::to_string(state->stringer().Depth() - 1) +
                                    " scope(s) open: " + state->stringer().ToString();
                         }
                         state->stringer().CloseObject();
                         return CheckStringerAfterFailure(state->stringer(), state->expected, appendInObject);
                     }});
}

// ---- Readers --------------------------------------------------------------

template <typename Writer, typename T>
std::string WritePartial(const T& entity) {
    return CheckPartialWritable([&](Stringer& s) { return Writer().To(entity, s); });
}

// Pointer and rvalue variants. `Fresh` makes the pointer that the caller
// hands in: empty for the readers that create their object, holding a default
// object for those that fill it.
template <typename Reader, typename Writer, typename T>
void AddPointerReaderCases(std::vector<Case>& cases, const std::string& name, const std::string& label,
                           const JsonObject& json, std::shared_ptr<const T> expected, bool absorbs,
                           std::function<std::unique_ptr<T>()> fresh) {
    struct State {
        Reader reader;
        std::unique_ptr<T> target;
        JsonObject movable;
    };
    auto state = std::make_shared<State>();
    const auto check = [state, expected] {
        if (!state->target) {
            return std::string("the pointer holds nothing");
        }
        return *state->target == *expected ? std::string() : std::string("the result differs from the document");
    };
    // The partial result is written, then replaced by reading into the same
    // pointer again, which must give the full result.
    const auto afterFailure = [state, json, check] {
        if (state->target) {
            const std::string written = WritePartial<Writer>(*state->target);
            if (!written.empty()) {
                return written;
            }
        }
        const Result again = state->reader.To(json, state->target);
        if (!again) {
            return std::string("reading into the same pointer again fails: ") + again.ErrorMessage();
        }
        return check();
    };

    cases.push_back({name, "To(const JsonObject&, std::unique_ptr<" + label + ">&)", absorbs,
                     [state, fresh] { state->target = fresh(); },
                     [state, json] {
                         Outcome outcome;
                         outcome.result = state->reader.To(json, state->target);
                         return outcome;
                     },
                     check, afterFailure});
    cases.push_back({name, "To(JsonObject&&, std::unique_ptr<" + label + ">&)", absorbs,
                     [state, fresh, json] {
                         state->target = fresh();
                         state->movable = json;
                     },
                     [state] {
                         Outcome outcome;
                         outcome.result = state->reader.To(std::move(state->movable), state->target);
                         return outcome;
                     },
                     check, afterFailure});
}

// Reference variants (and the track item reader's Append): fill `target`,
// report failure by exception.
template <typename Writer, typename T, typename Fill>
void AddFillingReaderCase(std::vector<Case>& cases, const std::string& name, const std::string& operation,
                          std::shared_ptr<const T> expected, bool absorbs, Fill fill) {
    auto target = std::make_shared<std::unique_ptr<T>>();
    const auto check = [target, expected] {
        return **target == *expected ? std::string() : std::string("the result differs from the document");
    };
    cases.push_back({name, operation, absorbs, [target] { *target = std::make_unique<T>(); },
                     [target, fill] { return Catching([&] { return fill(**target); }); }, check,
                     [target, fill, check] {
                         const std::string written = WritePartial<Writer>(static_cast<const T&>(**target));
                         if (!written.empty()) {
                             return written;
                         }
                         *target = std::make_unique<T>();  // the partial one is destroyed
                         fill(**target);
                         return check();
                     }});
}

// ---- The typical document -------------------------------------------------

struct Document {
    Timeline timeline;
    std::shared_ptr<MediaSummaryItem> summary;
    std::shared_ptr<FxAudioTransitionItem> audio;
    std::shared_ptr<FxVideoTransitionItem> video;
};

Document TypicalDocument() {
    Orv::Testing::TimelineShape shape;
    shape.tracks = 2;
    shape.itemsPerTrack = 6;
    shape.mediaInfos = 3;
    shape.transitionShare = 0.4;
    shape.sharedShare = 0.2;
    shape.awkwardTexts = true;  // long texts: their copies allocate
    shape.extremeIntegers = true;
    Document document{Orv::Testing::GenerateTimeline(7, shape), nullptr, nullptr, nullptr};
    for (const Track& track : document.timeline.Tracks()) {
        for (const auto& item : track.TrackItems()) {
            switch (item->GetType()) {
                case TrackItemType::MediaSummary:
                    if (!document.summary) {
                        document.summary = std::static_pointer_cast<MediaSummaryItem>(item);
                    }
                    break;
                case TrackItemType::FxAudioTransition:
                    if (!document.audio) {
                        document.audio = std::static_pointer_cast<FxAudioTransitionItem>(item);
                    }
                    break;
                case TrackItemType::FxVideoTransition:
                    if (!document.video) {
                        document.video = std::static_pointer_cast<FxVideoTransitionItem>(item);
                    }
                    break;
                default:
                    break;
            }
        }
    }
    // The document must hold every kind of item, with an effect of a named
    // type and texts long enough to live on the heap.
    const std::string longText = "an identifier longer than the short-string buffer";
    if (!document.summary) {
        document.summary = std::make_shared<MediaSummaryItem>(Identifier(longText));
        document.timeline.Tracks().front().TrackItems().push_back(document.summary);
    }
    if (!document.audio) {
        document.audio = std::make_shared<FxAudioTransitionItem>(Identifier(longText));
        document.timeline.Tracks().front().TrackItems().push_back(document.audio);
    }
    if (!document.video) {
        document.video = std::make_shared<FxVideoTransitionItem>(Identifier(longText));
        document.timeline.Tracks().back().TrackItems().push_back(document.video);
    }
    // Texts longer than the Stringer's first buffer, so that Append, which
    // writes into an object already open, also has to grow it, and the
    // readers' copies of them allocate.
    document.audio->FxTransition(
        TransitionEffect(EffectType::Mix, 12, 25, "{\"curve\":\"" + std::string(1200, 'e') + "\"}"));
    document.video->FxTransition(TransitionEffect(EffectType::Cut, 0, 40, std::string(1100, 'v')));
    document.summary->MediaAssetId(Identifier(std::string(1100, 'a')));
    document.timeline.MediaInfos().front() =
        MediaInfo(Identifier("an asset identifier longer than the short buffer"), 25, 1000, std::string(1300, 'c'));
    return document;
}

std::vector<Case> AllCases(const Document& document) {
    std::vector<Case> cases;
    const Timeline& timeline = document.timeline;
    const Track& track = timeline.Tracks().front();
    const MediaInfo& mediaInfo = timeline.MediaInfos().front();
    const TransitionEffect& effect = document.audio->FxTransition();

    AddWriterCases<TimelineToJsonConverter, Timeline>(cases, "TimelineToJsonConverter", "Timeline", timeline,
                                                      timeline);
    AddWriterCases<TrackToJsonConverter, Track>(cases, "TrackToJsonConverter", "Track", track, track);
    AddWriterCases<MediaInfoToJsonConverter, MediaInfo>(cases, "MediaInfoToJsonConverter", "MediaInfo", mediaInfo,
                                                        mediaInfo);
    AddWriterCases<TransitionEffectToJsonConverter, TransitionEffect>(
        cases, "TransitionEffectToJsonConverter", "TransitionEffect", effect, effect);
    const std::shared_ptr<TrackItem> summary = document.summary;
    const std::shared_ptr<TrackItem> audio = document.audio;
    const std::shared_ptr<TrackItem> video = document.video;
    AddWriterCases<TrackItemToJsonConverter, TrackItem>(cases, "TrackItemToJsonConverter", "TrackItem [summary]",
                                                        *document.summary, summary);
    AddWriterCases<TrackItemToJsonConverter, TrackItem>(cases, "TrackItemToJsonConverter", "TrackItem [audio]",
                                                        *document.audio, audio);
    AddWriterCases<TrackItemToJsonConverter, TrackItem>(cases, "TrackItemToJsonConverter", "TrackItem [video]",
                                                        *document.video, video);

    // Regression: a close that comes when the Stringer's buffer is full must
    // not need memory, or a failed allocation leaves the object open while
    // the write reports success. Texts of every length from 217 to 1125
    // bytes put a closing bracket at the end of the first buffer, whatever
    // its size within that range.
    const std::size_t firstRegression = cases.size();
    for (std::size_t length = 200; length <= 1100; ++length) {
        const std::string at = " [close at a full buffer, id of " + std::to_string(length) + "]";
        const Track track(Identifier(std::string(length, 'f')));
        AddWriterCases<TrackToJsonConverter, Track>(cases, "TrackToJsonConverter", "Track" + at, track, track, true);
        Timeline timeline;  // the track's object closes inside the array
        timeline.Tracks().push_back(Track(Identifier(std::string(length - 26, 'n'))));
        AddWriterCases<TimelineToJsonConverter, Timeline>(cases, "TimelineToJsonConverter", "Timeline" + at,
                                                          timeline, timeline, true);
        const MediaInfo mediaInfo(Identifier(std::string(length, 'm')), 0, 0, std::string());
        AddWriterCases<MediaInfoToJsonConverter, MediaInfo>(cases, "MediaInfoToJsonConverter", "MediaInfo" + at,
                                                            mediaInfo, mediaInfo, true);
    }
    for (std::size_t i = firstRegression; i < cases.size(); ++i) {
        cases[i].regression = true;
    }

    const auto textOf = [](auto write) {
        Stringer stringer;
        if (!write(stringer)) {
            std::fprintf(stderr, "the typical document does not write\n");
            std::exit(2);
        }
        return stringer.ToString();
    };
    const JsonObject timelineJson =
        ParseOrDie(textOf([&](Stringer& s) { return TimelineToJsonConverter().To(timeline, s); }));
    const JsonObject trackJson = ParseOrDie(textOf([&](Stringer& s) { return TrackToJsonConverter().To(track, s); }));
    const JsonObject mediaInfoJson =
        ParseOrDie(textOf([&](Stringer& s) { return MediaInfoToJsonConverter().To(mediaInfo, s); }));
    const JsonObject effectJson =
        ParseOrDie(textOf([&](Stringer& s) { return TransitionEffectToJsonConverter().To(effect, s); }));
    const auto itemJson = [&](const TrackItem& item) {
        return ParseOrDie(textOf([&](Stringer& s) { return TrackItemToJsonConverter().To(item, s); }));
    };
    const JsonObject summaryJson = itemJson(*document.summary);
    const JsonObject audioJson = itemJson(*document.audio);
    const JsonObject videoJson = itemJson(*document.video);

    // What each reader gives for its document, read without failures.
    std::unique_ptr<Timeline> readTimeline;
    std::unique_ptr<Track> readTrack;
    JsonToTimelineConverter().To(timelineJson, readTimeline);
    JsonToTrackConverter().To(trackJson, readTrack);
    if (!readTimeline || !(*readTimeline == timeline)) {
        std::fprintf(stderr, "the typical document does not read back\n");
        std::exit(2);
    }

    AddPointerReaderCases<JsonToTimelineConverter, TimelineToJsonConverter, Timeline>(
        cases, "JsonToTimelineConverter", "Timeline", timelineJson, std::move(readTimeline), true,
        [] { return nullptr; });
    AddFillingReaderCase<TimelineToJsonConverter, Timeline>(
        cases, "JsonToTimelineConverter", "To(const JsonObject&, Timeline&)", std::make_shared<const Timeline>(timeline),
        true, [timelineJson](Timeline& target) { return JsonToTimelineConverter().To(timelineJson, target); });

    AddPointerReaderCases<JsonToTrackConverter, TrackToJsonConverter, Track>(
        cases, "JsonToTrackConverter", "Track", trackJson, std::move(readTrack), true, [] { return nullptr; });
    AddFillingReaderCase<TrackToJsonConverter, Track>(
        cases, "JsonToTrackConverter", "To(const JsonObject&, Track&)", std::make_shared<const Track>(track), true,
        [trackJson](Track& target) { return JsonToTrackConverter().To(trackJson, target); });

    const auto sharedMediaInfo = std::make_shared<const MediaInfo>(mediaInfo);
    AddPointerReaderCases<JsonToMediaInfoConverter, MediaInfoToJsonConverter, MediaInfo>(
        cases, "JsonToMediaInfoConverter", "MediaInfo", mediaInfoJson, sharedMediaInfo, false,
        [] { return std::make_unique<MediaInfo>(); });
    AddFillingReaderCase<MediaInfoToJsonConverter, MediaInfo>(
        cases, "JsonToMediaInfoConverter", "To(const JsonObject&, MediaInfo&)", sharedMediaInfo, false,
        [mediaInfoJson](MediaInfo& target) { return JsonToMediaInfoConverter().To(mediaInfoJson, target); });

    const auto sharedEffect = std::make_shared<const TransitionEffect>(effect);
    AddPointerReaderCases<JsonToTransitionEffectConverter, TransitionEffectToJsonConverter, TransitionEffect>(
        cases, "JsonToTransitionEffectConverter", "TransitionEffect", effectJson, sharedEffect, false,
        [] { return std::make_unique<TransitionEffect>(); });
    AddFillingReaderCase<TransitionEffectToJsonConverter, TransitionEffect>(
        cases, "JsonToTransitionEffectConverter", "To(const JsonObject&, TransitionEffect&)", sharedEffect, false,
        [effectJson](TransitionEffect& target) { return JsonToTransitionEffectConverter().To(effectJson, target); });

    const std::pair<const char*, std::pair<const JsonObject*, std::shared_ptr<const TrackItem>>> items[] = {
        {"summary", {&summaryJson, document.summary}},
        {"audio", {&audioJson, document.audio}},
        {"video", {&videoJson, document.video}},
    };
    for (const auto& [kind, entry] : items) {
        AddPointerReaderCases<JsonToTrackItemConverter, TrackItemToJsonConverter, TrackItem>(
            cases, "JsonToTrackItemConverter", std::string("TrackItem> [") + kind + "]", *entry.first, entry.second,
            false, [] { return nullptr; });
    }

    // Append reads neither "_type" nor "id": the expected item has no id.
    const auto withoutId = [](const auto& item) {
        auto copy = std::make_shared<std::decay_t<decltype(item)>>(item);
        copy->Id(Identifier::Empty());
        return std::shared_ptr<const std::decay_t<decltype(item)>>(copy);
    };
    AddFillingReaderCase<TrackItemToJsonConverter, MediaSummaryItem>(
        cases, "JsonToTrackItemConverter", "Append(const JsonObject&, MediaSummaryItem&)",
        withoutId(*document.summary), false,
        [summaryJson](MediaSummaryItem& target) { return JsonToTrackItemConverter().Append(summaryJson, target); });
    AddFillingReaderCase<TrackItemToJsonConverter, FxAudioTransitionItem>(
        cases, "JsonToTrackItemConverter", "Append(const JsonObject&, FxAudioTransitionItem&)",
        withoutId(*document.audio), false,
        [audioJson](FxAudioTransitionItem& target) { return JsonToTrackItemConverter().Append(audioJson, target); });
    AddFillingReaderCase<TrackItemToJsonConverter, FxVideoTransitionItem>(
        cases, "JsonToTrackItemConverter", "Append(const JsonObject&, FxVideoTransitionItem&)",
        withoutId(*document.video), false,
        [videoJson](FxVideoTransitionItem& target) { return JsonToTrackItemConverter().Append(videoJson, target); });
    return cases;
}

}  // namespace

// ---- Running ----------------------------------------------------------------

namespace {

// Beyond this many allocations a call is taken to loop.
constexpr std::size_t MaxFailurePoints = 200000;

struct Report {
    std::size_t failurePoints = 0;  // allocations whose failure was exercised
    std::size_t absorbed = 0;       // of which an item reader absorbed the failure
    std::string problem;            // "" when the operation kept every promise
};

Report Run(Case& testCase) {
    Report report;
    for (std::size_t n = 1; n <= MaxFailurePoints; ++n) {
        testCase.prepare();
        Outcome outcome;
        std::size_t used = 0;
        {
            const FailNthAllocation failing(n);
            outcome = testCase.call();
            used = allocations;
        }
        bool unknown = false;
        const std::string failure = FailureText(outcome, unknown);
        const std::string at = "allocation " + std::to_string(n) + ": ";
        if (unknown) {
            report.problem = at + failure;
            return report;
        }
        if (used < n) {
            // The call made fewer than n allocations: nothing failed.
            if (!failure.empty()) {
                report.problem = at + "failed without an allocation failure: " + failure;
            } else if (const std::string wrong = testCase.check(); !wrong.empty()) {
                report.problem = at + wrong;
            }
            return report;
        }
        ++report.failurePoints;
        if (failure.empty()) {
            if (!testCase.itemFailuresAbsorbed) {
                report.problem = at + "succeeded although the allocation failed";
                return report;
            }
            ++report.absorbed;
        } else if (failure != BadAllocText) {
            report.problem = at + "failed with \"" + failure + "\" instead of \"" + BadAllocText + "\"";
            return report;
        }
        if (const std::string broken = testCase.checkAfterFailure(); !broken.empty()) {
            report.problem = at + "after the failure, " + broken;
            return report;
        }
        // The next call on the same converter, with memory, succeeds.
        testCase.prepare();
        const Outcome next = testCase.call();
        const std::string nextFailure = FailureText(next, unknown);
        if (!nextFailure.empty()) {
            report.problem = at + "the next call failed: " + nextFailure;
            return report;
        }
        if (const std::string wrong = testCase.check(); !wrong.empty()) {
            report.problem = at + "the next call: " + wrong;
            return report;
        }
    }
    report.problem = "more than " + std::to_string(MaxFailurePoints) + " allocations";
    return report;
}

}  // namespace

int main() {
    const Document document = TypicalDocument();
    std::vector<Case> cases = AllCases(document);
    std::size_t passed = 0;
    std::size_t failed = 0;
    std::map<std::string, std::size_t> pointsPerConverter;
    std::map<std::string, std::size_t> regressionPoints;
    std::size_t regressionPassed = 0;
    for (Case& testCase : cases) {
        const Report report = Run(testCase);
        (testCase.regression ? regressionPoints : pointsPerConverter)[testCase.converter] += report.failurePoints;
        if (testCase.regression && report.problem.empty()) {
            ++passed;
            ++regressionPassed;
            continue;  // listed only when they fail; counted below
        }
        std::printf("%-4s %s::%s: %zu failure points", report.problem.empty() ? "PASS" : "FAIL",
                    testCase.converter.c_str(), testCase.operation.c_str(), report.failurePoints);
        if (report.absorbed != 0) {
            std::printf(" (%zu absorbed by the item reader)", report.absorbed);
        }
        std::printf("\n");
        if (report.problem.empty()) {
            ++passed;
        } else {
            std::printf("     %s\n", report.problem.c_str());
            ++failed;
        }
    }
    std::printf("PASS %zu regression cases (a close at a full buffer)\n", regressionPassed);
    std::printf("\nFailure points per converter (typical document, all its operations; regression cases):\n");
    for (const auto& [converter, points] : pointsPerConverter) {
        std::printf("  %-34s %5zu %5zu\n", converter.c_str(), points, regressionPoints[converter]);
    }
    std::printf("\n%zu passed, %zu failed\n", passed, failed);
    return failed == 0 ? 0 : 1;
}
