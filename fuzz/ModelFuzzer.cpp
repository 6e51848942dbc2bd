// A model built from the fuzzer's bytes (every item kind, shared items,
// extreme integers, texts of any bytes, NUL included, any effect type) is
// written, whole and entity by entity; each text must parse in jsoncpp's
// strict mode and read back as the same bytes build the model for reading.
// An entry without an item must fail the write with its message, leaving
// well-formed text.

#include "FuzzSupport.h"

#include <fuzzer/FuzzedDataProvider.h>

#include <cstring>
#include <limits>
#include <vector>

namespace {

using namespace Orv::Fuzz;

// Builds a model from the fuzzer's bytes: as it is written, or, from the same
// bytes, as reading its text gives it back.
struct ModelBuilder {
    ModelBuilder(const std::uint8_t* data, std::size_t size, bool asRead) : input(data, size), asRead(asRead) {}

    FuzzedDataProvider input;
    const bool asRead;
    const bool pretty = input.ConsumeBool();  // the layout of the text
    bool madeEmptyEntry = false;

    Timeline MakeTimeline() {
        Timeline timeline{Identifier(Text())};
        timeline.TransactionId(Identifier(Text()));
        timeline.Duration(Integer());
        for (auto n = input.ConsumeIntegralInRange<std::size_t>(0, 4); n > 0; --n) {
            Track& track = timeline.Tracks().emplace_back(Identifier(Text()));
            for (auto i = input.ConsumeIntegralInRange<std::size_t>(0, 8); i > 0; --i) {
                track.TrackItems().push_back(MakeItem());
            }
        }
        for (auto n = input.ConsumeIntegralInRange<std::size_t>(0, 4); n > 0; --n) {
            const Identifier asset(Text());
            const std::string channels = Text();
            timeline.MediaInfos().push_back(MediaInfo{asset, Integer(), Integer(), channels});
        }
        return timeline;
    }

    std::shared_ptr<TrackItem> MakeItem() {
        const int kind = input.ConsumeIntegralInRange(0, 9);
        if (kind == 9) {  // an entry without an item, which the writers refuse
            madeEmptyEntry = true;
            return nullptr;
        }
        if (kind == 8 && !made.empty()) {  // the same item once more, as tracks share items
            const auto shared = made[input.ConsumeIntegralInRange<std::size_t>(0, made.size() - 1)];
            return made.emplace_back(shared);
        }
        return made.emplace_back(kind == 4 || kind == 5   ? Transition<FxAudioTransitionItem>()
                                 : kind == 6 || kind == 7 ? Transition<FxVideoTransitionItem>()
                                                          : Summary());
    }

    std::shared_ptr<TrackItem> Summary() {
        auto item = std::make_shared<MediaSummaryItem>(Identifier(Text()));
        for (const auto& [key, set] : SummaryIntegers) {
            if (std::strcmp(key, "mediaVideoIn") == 0) {
                item->MediaAssetId(Identifier(Text()));
            }
            ((*item).*set)(Integer());
        }
        return item;
    }

    // An effect type other than Cut or Mix reads back as Unknown.
    template <typename Item>
    std::shared_ptr<TrackItem> Transition() {
        auto item = std::make_shared<Item>(Identifier(Text()));
        auto type = static_cast<EffectType>(input.ConsumeIntegralInRange<std::int32_t>(-1, 3));
        type = asRead && type != EffectType::Cut && type != EffectType::Mix ? EffectType::Unknown : type;
        item->FxTransition(TransitionEffect{type, Integer(), Integer(), Text()});
        return item;
    }

    // Any bytes, NUL included; a text reads back up to its first NUL.
    std::string Text() {
        const std::string text = input.ConsumeRandomLengthString(48);
        return asRead ? text.substr(0, text.find('\0')) : text;
    }

    // Mostly the values that break encoders: the ends of the range, 0, -1.
    int64_t Integer() {
        const int64_t special[] = {0, std::numeric_limits<int64_t>::min(), std::numeric_limits<int64_t>::max(), -1};
        const auto pick = input.ConsumeIntegralInRange<std::size_t>(0, 5);
        return pick < 4 ? special[pick] : input.ConsumeIntegral<int64_t>();
    }

    std::vector<std::shared_ptr<TrackItem>> made;
};

template <typename Writer, typename Reader, typename T>
void RoundTrip(const T& written, const T& expected, bool pretty) {
    const std::string text = Write<Writer>(written, pretty);
    std::unique_ptr<T> read;
    const Result result = Read<Reader>(text, read);
    Require(result && read && *read == expected, "a text reads back as another model or not at all", text,
            result.ErrorMessage());
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    ModelBuilder builder(data, size, false);
    const bool pretty = builder.pretty;
    const Timeline written = builder.MakeTimeline();
    if (builder.madeEmptyEntry) {
        Stringer stringer = pretty ? Stringer::PrettyStringer() : Stringer();
        const Result result = TimelineToJsonConverter().To(written, stringer);
        RequireEqual(result.ErrorMessage(), "track item entry holds no item", "an entry without an item was written");
        JsonObject root;
        Require(stringer.Depth() == 0 && Parse(stringer.ToString(), true, root), "a failed write left broken text",
                stringer.ToString());
        return 0;
    }
    const Timeline expected = ModelBuilder(data, size, true).MakeTimeline();
    RoundTrip<TimelineToJsonConverter, JsonToTimelineConverter>(written, expected, pretty);
    // Every entity through its own writer and reader as well.
    for (std::size_t m = 0; m < written.MediaInfos().size(); ++m) {
        RoundTrip<MediaInfoToJsonConverter, JsonToMediaInfoConverter>(written.MediaInfos()[m],
                                                                      expected.MediaInfos()[m], pretty);
    }
    for (std::size_t t = 0; t < written.Tracks().size(); ++t) {
        RoundTrip<TrackToJsonConverter, JsonToTrackConverter>(written.Tracks()[t], expected.Tracks()[t], pretty);
        for (std::size_t i = 0; i < written.Tracks()[t].TrackItems().size(); ++i) {
            const TrackItem& item = *written.Tracks()[t].TrackItems()[i];
            const TrackItem& readItem = *expected.Tracks()[t].TrackItems()[i];
            RoundTrip<TrackItemToJsonConverter, JsonToTrackItemConverter>(item, readItem, pretty);
            if (const auto* transition = dynamic_cast<const FxTransitionItem*>(&item)) {
                RoundTrip<TransitionEffectToJsonConverter, JsonToTransitionEffectConverter>(
                    transition->FxTransition(), static_cast<const FxTransitionItem&>(readItem).FxTransition(), pretty);
            }
        }
    }
    return 0;
}
