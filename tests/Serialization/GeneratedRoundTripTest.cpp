#include "Support/JsonTestHelpers.h"
#include "TimelineGenerator.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <memory>
#include <ostream>
#include <string>

namespace {

using namespace Orv::Testing;

struct Flavour {
    const char* name;
    std::uint64_t firstSeed;
    std::uint64_t lastSeed;
    bool awkwardTexts;
    bool extremeIntegers;
};

void PrintTo(const Flavour& flavour, std::ostream* out) { *out << flavour.name; }

class GeneratedRoundTripTest : public ::testing::TestWithParam<Flavour> {};

// Write, parse, read, in both layouts: the timeline that comes back equals the
// one written, and writing it again gives the same text byte for byte.
TEST_P(GeneratedRoundTripTest, WriteParseReadGivesAnEqualTimeline) {
    TimelineShape shape;
    shape.tracks = 3;
    shape.itemsPerTrack = 16;
    shape.mediaInfos = 3;
    shape.sharedShare = 0.1;
    shape.awkwardTexts = GetParam().awkwardTexts;
    shape.extremeIntegers = GetParam().extremeIntegers;
    for (std::uint64_t seed = GetParam().firstSeed; seed <= GetParam().lastSeed; ++seed) {
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

INSTANTIATE_TEST_SUITE_P(Seeds, GeneratedRoundTripTest,
                         ::testing::Values(Flavour{"Plain", 1, 200, false, false},
                                           Flavour{"AwkwardTexts", 1001, 1040, true, false},
                                           Flavour{"ExtremeIntegers", 2001, 2040, false, true},
                                           Flavour{"AwkwardAndExtreme", 3001, 3040, true, true}),
                         [](const ::testing::TestParamInfo<Flavour>& info) { return std::string(info.param.name); });

}  // namespace
