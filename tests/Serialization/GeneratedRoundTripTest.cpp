#include "Support/JsonTestHelpers.h"
#include "TimelineGenerator.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <memory>
#include <string>

namespace {

using namespace Orv::Testing;

// Write, parse, read, in both layouts: the timeline that comes back equals the
// one written, and writing it again gives the same text byte for byte.
TEST(GeneratedRoundTripTest, WriteParseReadGivesAnEqualTimeline) {
    const struct {
        std::uint64_t firstSeed, lastSeed;
        bool awkwardTexts, extremeIntegers;
    } flavours[] = {{1, 200, false, false}, {1001, 1040, true, false}, {2001, 2040, false, true}, {3001, 3040, true, true}};
    for (const auto& flavour : flavours) {
        TimelineShape shape;
        shape.sharedShare = 0.1;
        shape.awkwardTexts = flavour.awkwardTexts;
        shape.extremeIntegers = flavour.extremeIntegers;
        for (std::uint64_t seed = flavour.firstSeed; seed <= flavour.lastSeed; ++seed) {
            const Timeline original = GenerateTimeline(seed, shape);
            for (const bool pretty : {false, true}) {
                SCOPED_TRACE("seed " + std::to_string(seed) + (pretty ? " pretty" : ""));
                Stringer written = pretty ? Stringer::PrettyStringer() : Stringer();
                Stringer again = pretty ? Stringer::PrettyStringer() : Stringer();
                std::unique_ptr<Timeline> back;
                ASSERT_TRUE(TimelineToJsonConverter().To(original, written));
                ASSERT_TRUE(JsonToTimelineConverter().To(Parse(written.ToString()), back));
                ASSERT_TRUE(*back == original) << written.ToString();
                ASSERT_TRUE(TimelineToJsonConverter().To(*back, again));
                ASSERT_EQ(again.ToString(), written.ToString());
            }
        }
    }
}

// The timeline writer reserves the text's length before it writes: the whole
// document goes into one buffer, little larger than the text (escaping, which
// the reservation does not count, is left out here).
TEST(GeneratedRoundTripTest, WritesIntoOneBufferOfAboutTheTextsLength) {
    TimelineShape shape;
    shape.tracks = 3;
    shape.itemsPerTrack = 40;
    for (std::uint64_t seed = 1; seed <= 20; ++seed) {
        Stringer stringer;
        ASSERT_TRUE(TimelineToJsonConverter().To(GenerateTimeline(seed, shape), stringer));
        const std::string text = stringer.TakeString();
        EXPECT_LE(text.capacity(), text.size() + text.size() / 8) << "seed " << seed << ", " << text.size();
    }
}

}  // namespace
