// One instance of each converter shared by eight threads over generated
// documents: every result must equal the single-threaded one. CI runs this
// under ThreadSanitizer, which also reports any data race on the way.

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

#include <array>
#include <atomic>
#include <functional>
#include <memory>
#include <sstream>
#include <string>
#include <thread>
#include <type_traits>
#include <vector>

namespace {

using namespace Orv::TimelineEngineModel;
using namespace Orv::TimelineEngineModel::Serialization::Json;
using Texts = std::array<std::string, 2>;

// Writes `entity` with the shared writer, reads the text with the shared
// reader and writes what it read: both texts.
template <typename Writer, typename Reader, typename T>
std::function<Texts()> Job(const T& entity) {
    static const Writer writer;  // the one instance that every thread uses
    static const Reader reader;
    return [&entity] {
        Orv::Common::Serialization::Json::Stringer first;
        Orv::Common::Serialization::Json::Stringer second;
        std::istringstream text(writer.To(entity, first) ? first.ToString() : "!");
        Json::Value root;
        std::unique_ptr<T> read;  // the media info and effect readers fill the object held
        if constexpr (std::is_same_v<T, MediaInfo> || std::is_same_v<T, TransitionEffect>) {
            read = std::make_unique<T>();
        }
        const bool readBack = Json::parseFromStream(Json::CharReaderBuilder(), text, &root, nullptr) &&
                              reader.To(root, read) && writer.To(*read, second);
        return Texts{text.str(), readBack ? second.ToString() : "!"};
    };
}

TEST(ConcurrencyTest, SharedConvertersGiveTheSingleThreadedResultsOnEveryThread) {
    constexpr std::size_t ThreadCount = 8;
    std::vector<Timeline> documents(8);
    std::vector<std::function<Texts()>> jobs;  // every entity of every document
    for (std::size_t seed = 0; seed < documents.size(); ++seed) {
        Orv::Testing::TimelineShape shape;
        shape.awkwardTexts = shape.extremeIntegers = seed % 2 == 1;
        const Timeline& timeline = documents[seed] = Orv::Testing::GenerateTimeline(1000 + seed, shape);
        jobs.push_back(Job<TimelineToJsonConverter, JsonToTimelineConverter>(timeline));
        for (const MediaInfo& mediaInfo : timeline.MediaInfos()) {
            jobs.push_back(Job<MediaInfoToJsonConverter, JsonToMediaInfoConverter>(mediaInfo));
        }
        for (const Track& track : timeline.Tracks()) {
            jobs.push_back(Job<TrackToJsonConverter, JsonToTrackConverter>(track));
            for (const auto& item : track.TrackItems()) {
                jobs.push_back(Job<TrackItemToJsonConverter, JsonToTrackItemConverter, TrackItem>(*item));
                if (const auto* transition = dynamic_cast<const FxTransitionItem*>(item.get())) {
                    jobs.push_back(Job<TransitionEffectToJsonConverter, JsonToTransitionEffectConverter>(
                        transition->FxTransition()));
                }
            }
        }
    }
    std::vector<Texts> expected;
    for (const auto& job : jobs) {
        expected.push_back(job());
        ASSERT_EQ(expected.back()[0], expected.back()[1]) << "a generated entity does not read back";
    }

    // The threads start together, each at another job, and run every job twice.
    std::atomic<std::size_t> ready{0};
    std::atomic<std::size_t> mismatches{0};
    std::vector<std::thread> threads;
    for (std::size_t t = 0; t < ThreadCount; ++t) {
        threads.emplace_back([&, t] {
            for (++ready; ready.load() < ThreadCount;) {
                std::this_thread::yield();
            }
            for (std::size_t i = 0; i < 2 * jobs.size(); ++i) {
                const std::size_t j = (i + t * jobs.size() / ThreadCount) % jobs.size();
                mismatches += jobs[j]() != expected[j];
            }
        });
    }
    for (std::thread& thread : threads) {
        thread.join();
    }
    EXPECT_EQ(mismatches.load(), 0u);
}

}  // namespace
