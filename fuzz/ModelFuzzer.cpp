// A model built from the fuzzer's bytes (every item kind, shared items,
// extreme integers, texts of any bytes including NUL, effect types outside the
// named ones) is written; the text must parse in jsoncpp's strict mode and
// read back equal to the model as the writers define it: every text ends at
// its first NUL, and an effect type other than Cut or Mix comes back Unknown.
// A track entry without an item must make the write fail with its message,
// still leaving well-formed text.

#include "FuzzSupport.h"

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

#include <fuzzer/FuzzedDataProvider.h>

#include <cstddef>
#include <cstdint>
#include <limits>
#include <memory>
#include <string>
#include <vector>

namespace {

using namespace Orv::TimelineEngineModel;
using namespace Orv::TimelineEngineModel::Serialization::Json;
using Orv::BusinessEntityModel::BaseTypes::Identifier;
using Orv::Fuzz::Fail;
using Orv::Fuzz::JsonObject;
using Orv::Fuzz::Result;
using Orv::Fuzz::Stringer;

std::string CutAtNul(const std::string& text) {
    return text.substr(0, text.find('\0'));
}

// Builds the model (`Written`) and, alongside, what reading its text must give
// (`Expected`).
class ModelBuilder {
public:
    explicit ModelBuilder(FuzzedDataProvider& input) : input(input) {}

    bool sawEmptyEntry = false;

    void BuildTimeline(Timeline& written, Timeline& expected) {
        const std::string id = Text();
        const std::string transactionId = Text();
        written.Id(Identifier(id));
        expected.Id(Identifier(CutAtNul(id)));
        written.TransactionId(Identifier(transactionId));
        expected.TransactionId(Identifier(CutAtNul(transactionId)));
        const int64_t duration = Integer();
        written.Duration(duration);
        expected.Duration(duration);

        const auto trackCount = input.ConsumeIntegralInRange<std::size_t>(0, 4);
        for (std::size_t t = 0; t < trackCount; ++t) {
            Track writtenTrack;
            Track expectedTrack;
            BuildTrack(writtenTrack, expectedTrack);
            written.Tracks().push_back(writtenTrack);
            expected.Tracks().push_back(expectedTrack);
        }
        const auto mediaInfoCount = input.ConsumeIntegralInRange<std::size_t>(0, 4);
        for (std::size_t m = 0; m < mediaInfoCount; ++m) {
            MediaInfo writtenInfo;
            MediaInfo expectedInfo;
            BuildMediaInfo(writtenInfo, expectedInfo);
            written.MediaInfos().push_back(writtenInfo);
            expected.MediaInfos().push_back(expectedInfo);
        }
    }

    void BuildTrack(Track& written, Track& expected) {
        const std::string id = Text();
        written.Id(Identifier(id));
        expected.Id(Identifier(CutAtNul(id)));
        const auto itemCount = input.ConsumeIntegralInRange<std::size_t>(0, 8);
        for (std::size_t i = 0; i < itemCount; ++i) {
            std::shared_ptr<TrackItem> writtenItem;
            std::shared_ptr<TrackItem> expectedItem;
            BuildItem(writtenItem, expectedItem);
            written.TrackItems().push_back(writtenItem);
            expected.TrackItems().push_back(expectedItem);
        }
    }

    void BuildMediaInfo(MediaInfo& written, MediaInfo& expected) {
        const std::string assetId = Text();
        const std::string channels = Text();
        const int64_t limitIn = Integer();
        const int64_t limitDuration = Integer();
        written = MediaInfo(Identifier(assetId), limitIn, limitDuration, channels);
        expected = MediaInfo(Identifier(CutAtNul(assetId)), limitIn, limitDuration, CutAtNul(channels));
    }

    void BuildEffect(TransitionEffect& written, TransitionEffect& expected) {
        const auto type = static_cast<EffectType>(input.ConsumeIntegralInRange<std::int32_t>(-1, 3));
        const int64_t offset = Integer();
        const int64_t duration = Integer();
        const std::string config = Text();
        const EffectType readType = (type == EffectType::Cut || type == EffectType::Mix) ? type : EffectType::Unknown;
        written = TransitionEffect(type, offset, duration, config);
        expected = TransitionEffect(readType, offset, duration, CutAtNul(config));
    }

    void BuildItem(std::shared_ptr<TrackItem>& written, std::shared_ptr<TrackItem>& expected) {
        switch (input.ConsumeIntegralInRange<int>(0, 9)) {
            case 0:
            case 1:
            case 2:
            case 3:
                BuildMediaSummary(written, expected);
                break;
            case 4:
            case 5:
                BuildTransition<FxAudioTransitionItem>(written, expected);
                break;
            case 6:
            case 7:
                BuildTransition<FxVideoTransitionItem>(written, expected);
                break;
            case 8:
                // The same item once more, as tracks share items.
                if (!madeWritten.empty()) {
                    const auto index = input.ConsumeIntegralInRange<std::size_t>(0, madeWritten.size() - 1);
                    written = madeWritten[index];
                    expected = madeExpected[index];
                } else {
                    BuildMediaSummary(written, expected);
                }
                break;
            default:
                // An entry without an item: the writers refuse it.
                sawEmptyEntry = true;
                return;
        }
        madeWritten.push_back(written);
        madeExpected.push_back(expected);
    }

private:
    void BuildMediaSummary(std::shared_ptr<TrackItem>& written, std::shared_ptr<TrackItem>& expected) {
        const std::string id = Text();
        auto item = std::make_shared<MediaSummaryItem>(Identifier(id));
        item->VideoIn(Integer());
        item->VideoDuration(Integer());
        item->AudioIn(Integer());
        item->AudioDuration(Integer());
        const std::string assetId = Text();
        item->MediaAssetId(Identifier(assetId));
        item->MediaVideoIn(Integer());
        item->MediaVideoDuration(Integer());
        item->MediaAudioIn(Integer());
        item->MediaAudioDuration(Integer());
        item->AudioLevel(Integer());
        item->MonitoringChannel(Integer());
        auto copy = std::make_shared<MediaSummaryItem>(*item);
        copy->Id(Identifier(CutAtNul(id)));
        copy->MediaAssetId(Identifier(CutAtNul(assetId)));
        written = item;
        expected = copy;
    }

    template <typename Item>
    void BuildTransition(std::shared_ptr<TrackItem>& written, std::shared_ptr<TrackItem>& expected) {
        const std::string id = Text();
        auto item = std::make_shared<Item>(Identifier(id));
        auto copy = std::make_shared<Item>(Identifier(CutAtNul(id)));
        TransitionEffect writtenEffect;
        TransitionEffect expectedEffect;
        BuildEffect(writtenEffect, expectedEffect);
        item->FxTransition(writtenEffect);
        copy->FxTransition(expectedEffect);
        written = item;
        expected = copy;
    }

    // Any bytes, NUL included.
    std::string Text() { return input.ConsumeRandomLengthString(48); }

    // Mostly the values that break encoders: the ends of the range, 0, -1.
    int64_t Integer() {
        switch (input.ConsumeIntegralInRange<int>(0, 5)) {
            case 0:
                return 0;
            case 1:
                return std::numeric_limits<int64_t>::min();
            case 2:
                return std::numeric_limits<int64_t>::max();
            case 3:
                return -1;
            default:
                return input.ConsumeIntegral<int64_t>();
        }
    }

    FuzzedDataProvider& input;
    std::vector<std::shared_ptr<TrackItem>> madeWritten;
    std::vector<std::shared_ptr<TrackItem>> madeExpected;
};

std::string ParseStrictOrFail(const std::string& text, JsonObject& root) {
    if (!Orv::Fuzz::Parse(text, true, root)) {
        Fail("written text does not parse in strict mode", text);
    }
    return text;
}

// Writes `written`, reads it back with `Reader` into `target` and requires it
// to equal `expected`.
template <typename Writer, typename Reader, typename T, typename Target>
void CheckRoundTrip(const T& written, const T& expected, Target& target, bool pretty) {
    const std::string text = Orv::Fuzz::WriteOrFail<Writer>(written, pretty);
    JsonObject root;
    ParseStrictOrFail(text, root);
    const Result read = Reader().To(root, target);
    if (!read) {
        Fail("written text does not read back", text, read.ErrorMessage());
    }
    if (!target || !(*target == expected)) {
        Fail("text reads back as another model", text);
    }
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    FuzzedDataProvider input(data, size);
    const bool pretty = input.ConsumeBool();
    ModelBuilder builder(input);
    Timeline written;
    Timeline expected;
    builder.BuildTimeline(written, expected);

    if (builder.sawEmptyEntry) {
        Stringer stringer = pretty ? Stringer::PrettyStringer() : Stringer();
        const Result result = TimelineToJsonConverter().To(written, stringer);
        if (result || std::string(result.ErrorMessage()) != "track item entry holds no item") {
            Fail("a track entry without an item must fail the write", result.ErrorMessage());
        }
        JsonObject root;
        if (stringer.Depth() != 0) {
            Fail("a failed write left an object or array open", stringer.ToString());
        }
        ParseStrictOrFail(stringer.ToString(), root);
        return 0;
    }

    std::unique_ptr<Timeline> timeline;
    CheckRoundTrip<TimelineToJsonConverter, JsonToTimelineConverter>(written, expected, timeline, pretty);

    // Every entity through its own writer and reader as well.
    for (std::size_t t = 0; t < written.Tracks().size(); ++t) {
        std::unique_ptr<Track> track;
        CheckRoundTrip<TrackToJsonConverter, JsonToTrackConverter>(written.Tracks()[t], expected.Tracks()[t], track,
                                                                   pretty);
        const auto& writtenItems = written.Tracks()[t].TrackItems();
        const auto& expectedItems = expected.Tracks()[t].TrackItems();
        for (std::size_t i = 0; i < writtenItems.size(); ++i) {
            std::unique_ptr<TrackItem> item;
            CheckRoundTrip<TrackItemToJsonConverter, JsonToTrackItemConverter>(
                static_cast<const TrackItem&>(*writtenItems[i]), static_cast<const TrackItem&>(*expectedItems[i]),
                item, pretty);
            if (const auto* transition = dynamic_cast<const FxTransitionItem*>(writtenItems[i].get())) {
                auto effect = std::make_unique<TransitionEffect>();
                CheckRoundTrip<TransitionEffectToJsonConverter, JsonToTransitionEffectConverter>(
                    transition->FxTransition(),
                    static_cast<const FxTransitionItem&>(*expectedItems[i]).FxTransition(), effect, pretty);
            }
        }
    }
    for (std::size_t m = 0; m < written.MediaInfos().size(); ++m) {
        auto info = std::make_unique<MediaInfo>();
        CheckRoundTrip<MediaInfoToJsonConverter, JsonToMediaInfoConverter>(written.MediaInfos()[m],
                                                                           expected.MediaInfos()[m], info, pretty);
    }
    return 0;
}
