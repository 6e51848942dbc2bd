// One instance of each converter shared by eight threads, each thread with its
// own Stringer, JSON values and targets, over generated documents: every
// result must equal the one computed on a single thread. Run under
// ThreadSanitizer in CI, which also reports any data race on the way.

#include <Orv/TimelineEngineModel/FxTransitionItem.h>
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

#include <gtest/gtest.h>
#include <json/json.h>

#include <atomic>
#include <cstddef>
#include <memory>
#include <string>
#include <thread>
#include <vector>

namespace {

using namespace Orv::TimelineEngineModel;
using namespace Orv::TimelineEngineModel::Serialization::Json;
using Orv::Common::Serialization::Result;
using Orv::Common::Serialization::Json::JsonObject;
using Orv::Common::Serialization::Json::Stringer;

constexpr std::size_t ThreadCount = 8;
constexpr std::size_t DocumentCount = 24;
constexpr std::size_t Rounds = 2;

// The converters that every thread shares.
struct SharedConverters {
    const TimelineToJsonConverter timelineWriter;
    const TrackToJsonConverter trackWriter;
    const TrackItemToJsonConverter itemWriter;
    const MediaInfoToJsonConverter mediaInfoWriter;
    const TransitionEffectToJsonConverter effectWriter;
    const JsonToTimelineConverter timelineReader;
    const JsonToTrackConverter trackReader;
    const JsonToTrackItemConverter itemReader;
    const JsonToMediaInfoConverter mediaInfoReader;
    const JsonToTransitionEffectConverter effectReader;
};

template <typename Writer, typename Entity>
std::string Write(const Writer& writer, const Entity& entity) {
    Stringer stringer;
    const Result result = writer.To(entity, stringer);
    return result ? stringer.ToString() : std::string("!") + result.ErrorMessage();
}

bool Parse(const std::string& text, JsonObject& root) {
    Json::CharReaderBuilder builder;
    const std::unique_ptr<Json::CharReader> reader(builder.newCharReader());
    std::string errors;
    return reader->parse(text.c_str(), text.c_str() + text.size(), &root, &errors);
}

// Everything one document gives: the texts of all its entities written, and
// for each text, the text that reading it and writing the result again gives.
// Reading is compared through writing, so that one comparison covers every
// member of every entity.
std::vector<std::string> Convert(const SharedConverters& converters, const Timeline& timeline) {
    std::vector<std::string> out;
    const auto readBack = [&](const std::string& text, auto read) {
        JsonObject root;
        out.push_back(Parse(text, root) ? read(root) : std::string("!unparsable"));
    };
    const std::string timelineText = Write(converters.timelineWriter, timeline);
    out.push_back(timelineText);
    readBack(timelineText, [&](const JsonObject& root) {
        std::unique_ptr<Timeline> read;
        const Result result = converters.timelineReader.To(root, read);
        return result ? Write(converters.timelineWriter, *read) : std::string("!") + result.ErrorMessage();
    });
    for (const Track& track : timeline.Tracks()) {
        const std::string trackText = Write(converters.trackWriter, track);
        out.push_back(trackText);
        readBack(trackText, [&](const JsonObject& root) {
            std::unique_ptr<Track> read;
            const Result result = converters.trackReader.To(root, read);
            return result ? Write(converters.trackWriter, *read) : std::string("!") + result.ErrorMessage();
        });
        for (const auto& item : track.TrackItems()) {
            const std::string itemText = Write(converters.itemWriter, *item);
            out.push_back(itemText);
            readBack(itemText, [&](const JsonObject& root) {
                std::unique_ptr<TrackItem> read;
                const Result result = converters.itemReader.To(root, read);
                return result ? Write(converters.itemWriter, *read) : std::string("!") + result.ErrorMessage();
            });
            if (const auto* transition = dynamic_cast<const FxTransitionItem*>(item.get())) {
                const std::string effectText = Write(converters.effectWriter, transition->FxTransition());
                out.push_back(effectText);
                readBack(effectText, [&](const JsonObject& root) {
                    auto read = std::make_unique<TransitionEffect>();
                    const Result result = converters.effectReader.To(root, read);
                    return result ? Write(converters.effectWriter, *read) : std::string("!") + result.ErrorMessage();
                });
            }
        }
    }
    for (const MediaInfo& mediaInfo : timeline.MediaInfos()) {
        const std::string mediaInfoText = Write(converters.mediaInfoWriter, mediaInfo);
        out.push_back(mediaInfoText);
        readBack(mediaInfoText, [&](const JsonObject& root) {
            auto read = std::make_unique<MediaInfo>();
            const Result result = converters.mediaInfoReader.To(root, read);
            return result ? Write(converters.mediaInfoWriter, *read) : std::string("!") + result.ErrorMessage();
        });
    }
    return out;
}

std::vector<Timeline> Documents() {
    std::vector<Timeline> documents;
    for (std::size_t seed = 0; seed < DocumentCount; ++seed) {
        Orv::Testing::TimelineShape shape;
        shape.tracks = 1 + seed % 4;
        shape.itemsPerTrack = 4 + seed % 9;
        shape.mediaInfos = seed % 5;
        shape.transitionShare = 0.3;
        shape.sharedShare = 0.15;
        shape.awkwardTexts = seed % 2 == 1;
        shape.extremeIntegers = seed % 3 == 1;
        documents.push_back(Orv::Testing::GenerateTimeline(1000 + seed, shape));
    }
    return documents;
}

TEST(ConcurrencyTest, SharedConvertersGiveTheSingleThreadedResultsOnEveryThread) {
    const std::vector<Timeline> documents = Documents();
    const SharedConverters converters;

    std::vector<std::vector<std::string>> expected;
    for (const Timeline& timeline : documents) {
        expected.push_back(Convert(converters, timeline));
        ASSERT_EQ(expected.back()[0], expected.back()[1]) << "a generated document does not survive a round trip";
    }

    std::atomic<std::size_t> ready{0};
    std::atomic<std::size_t> mismatches{0};
    std::atomic<std::size_t> conversions{0};
    std::vector<std::thread> threads;
    for (std::size_t t = 0; t < ThreadCount; ++t) {
        threads.emplace_back([&, t] {
            // Start together, so that the threads overlap as much as they can.
            ++ready;
            while (ready.load() < ThreadCount) {
                std::this_thread::yield();
            }
            for (std::size_t round = 0; round < Rounds; ++round) {
                for (std::size_t i = 0; i < documents.size(); ++i) {
                    // Each thread starts at another document.
                    const std::size_t d = (i + t * 3) % documents.size();
                    const std::vector<std::string> got = Convert(converters, documents[d]);
                    conversions += got.size();
                    if (got != expected[d]) {
                        ++mismatches;
                    }
                }
            }
        });
    }
    for (std::thread& thread : threads) {
        thread.join();
    }
    EXPECT_EQ(mismatches.load(), 0u);
    std::size_t perPass = 0;
    for (const auto& texts : expected) {
        perPass += texts.size();
    }
    EXPECT_EQ(conversions.load(), perPass * ThreadCount * Rounds);
    RecordProperty("threads", static_cast<int>(ThreadCount));
    RecordProperty("documents", static_cast<int>(DocumentCount));
    RecordProperty("conversionsPerThread", static_cast<int>(perPass * Rounds));
}

}  // namespace
