#include "Support/JsonTestHelpers.h"
#include "TimelineGenerator.h"

#include <Orv/TimelineEngineModel/Timeline.h>
#include <Orv/TimelineEngineModel/Serialization/Json/JsonToTimelineConverter.h>
#include <Orv/TimelineEngineModel/Serialization/Json/TimelineToJsonConverter.h>

#include <gtest/gtest.h>

#include <cstddef>
#include <cstdint>
#include <memory>
#include <ostream>
#include <string>

namespace {

using Orv::TimelineEngineModel::Timeline;
using namespace Orv::TimelineEngineModel::Serialization::Json;
using namespace Orv::Testing;

struct Flavour {
    const char* name;
    std::uint64_t firstSeed;
    std::uint64_t lastSeed;
    bool awkwardTexts;
    bool extremeIntegers;
};

void PrintTo(const Flavour& flavour, std::ostream* out) { *out << flavour.name; }

class GeneratedRoundTripTest : public ::testing::TestWithParam<Flavour> {
protected:
    TimelineShape Shape(std::size_t tracks, std::size_t itemsPerTrack, std::size_t mediaInfos) const {
        TimelineShape shape;
        shape.tracks = tracks;
        shape.itemsPerTrack = itemsPerTrack;
        shape.mediaInfos = mediaInfos;
        shape.awkwardTexts = GetParam().awkwardTexts;
        shape.extremeIntegers = GetParam().extremeIntegers;
        return shape;
    }
};

// Write, parse, read: the timeline that comes back equals the one written, and
// writing it again gives the same text byte for byte.
TEST_P(GeneratedRoundTripTest, WriteParseReadGivesAnEqualTimeline) {
    TimelineShape shape = Shape(3, 16, 3);
    shape.sharedShare = 0.1;
    const TimelineToJsonConverter writer;
    const JsonToTimelineConverter reader;
    for (std::uint64_t seed = GetParam().firstSeed; seed <= GetParam().lastSeed; ++seed) {
        SCOPED_TRACE("seed " + std::to_string(seed));
        const Timeline original = GenerateTimeline(seed, shape);

        const Written written = Write(writer, original);
        ASSERT_TRUE(written.result) << written.result.ErrorMessage();
        std::unique_ptr<Timeline> back;
        const Result read = reader.To(Parse(written.text), back);
        ASSERT_TRUE(read) << read.ErrorMessage();
        ASSERT_NE(back, nullptr);
        ASSERT_TRUE(*back == original) << written.text;
        ASSERT_EQ(Write(writer, *back).text, written.text);
    }
}

// The readers do not depend on the layout: the indented text reads back equal too.
TEST_P(GeneratedRoundTripTest, IndentedTextReadsBackEqual) {
    const Timeline original = GenerateTimeline(GetParam().firstSeed, Shape(2, 5, 2));
    Stringer pretty = Stringer::PrettyStringer();
    ASSERT_TRUE(TimelineToJsonConverter().To(original, pretty));
    const std::string text = pretty.ToString();
    EXPECT_NE(text.find('\n'), std::string::npos);

    std::unique_ptr<Timeline> back;
    ASSERT_TRUE(JsonToTimelineConverter().To(Parse(text), back));
    EXPECT_TRUE(*back == original) << text;
}

// The timeline writer reserves the text's length before it writes: the whole
// document goes into one buffer, little larger than the text, unless escaping
// lengthens the text past what was reserved.
TEST_P(GeneratedRoundTripTest, WritesIntoOneBufferOfAboutTheTextsLength) {
    if (GetParam().awkwardTexts) {
        GTEST_SKIP() << "escaping lengthens these texts";
    }
    for (std::uint64_t seed = GetParam().firstSeed; seed <= GetParam().firstSeed + 20; ++seed) {
        Stringer stringer;
        ASSERT_TRUE(TimelineToJsonConverter().To(GenerateTimeline(seed, Shape(3, 40, 10)), stringer));
        const std::string text = stringer.TakeString();
        EXPECT_LE(text.capacity(), text.size() + text.size() / 8) << "seed " << seed << ", " << text.size();
    }
}

INSTANTIATE_TEST_SUITE_P(Seeds, GeneratedRoundTripTest,
                         ::testing::Values(Flavour{"Plain", 1, 200, false, false},
                                           Flavour{"AwkwardTexts", 1001, 1040, true, false},
                                           Flavour{"ExtremeIntegers", 2001, 2040, false, true},
                                           Flavour{"AwkwardAndExtreme", 3001, 3040, true, true}),
                         [](const ::testing::TestParamInfo<Flavour>& info) { return std::string(info.param.name); });

}  // namespace
