// Documents through files, streams and texts: what each object's writer and
// reader make of them, the failures of the file system, and the place of
// every kind of failure the readers raise.

#include "Support/JsonTestHelpers.h"
#include "TimelineGenerator.h"

#include <Orv/TimelineEngineModel/FxTransitionItem.h>
#include <Orv/TimelineEngineModel/Serialization/Json/DocumentKind.h>
#include <Orv/TimelineEngineModel/Serialization/Json/DocumentLimits.h>
#include <Orv/TimelineEngineModel/Serialization/Json/JsonFile.h>

#include <gtest/gtest.h>

#include <fcntl.h>
#include <sys/resource.h>
#include <unistd.h>

#include <algorithm>
#include <csignal>
#include <filesystem>
#include <fstream>
#include <functional>
#include <sstream>

namespace {

using namespace Orv::TimelineEngineModel;
using namespace Orv::TimelineEngineModel::Serialization::Json;
using Orv::Common::Serialization::Json::Stringer;
using Failure = ReadReport::Failure;
namespace fs = std::filesystem;

class JsonFileTest : public ::testing::Test {
public:
    static std::string Contents(const std::string& path) {
        std::ifstream in(path, std::ios::binary);
        return std::string(std::istreambuf_iterator<char>(in), {});
    }

protected:
    void SetUp() override {
        directory = fs::temp_directory_path() / ("orv-json-file-" + std::to_string(getpid()));
        fs::create_directories(directory);
    }
    void TearDown() override { fs::remove_all(directory); }

    std::string PathOf(const std::string& name) const { return (directory / name).string(); }
    std::vector<std::string> Names() const {
        std::vector<std::string> names;
        for (const auto& entry : fs::directory_iterator(directory)) {
            names.push_back(entry.path().filename().string());
        }
        return names;
    }

    fs::path directory;
};

template <typename Object>
std::string TextOf(const Object& object, bool pretty) {
    Stringer stringer = pretty ? Stringer::PrettyStringer() : Stringer();
    EXPECT_TRUE(Orv::Testing::WriterOf(object).To(object, stringer));
    return stringer.ToString();
}

// Each object out to a file and a stream, compact and pretty, and back: the
// bytes its writer makes, and an equal object.
template <typename Object>
void ExpectRoundTrips(const Object& object, const std::string& path) {
    for (const bool pretty : {false, true}) {
        const std::string expected = TextOf(object, pretty);
        ASSERT_TRUE(WriteJsonFile(object, path, pretty));
        std::ostringstream stream;
        ASSERT_TRUE(WriteJson(object, stream, pretty));
        EXPECT_EQ(JsonFileTest::Contents(path), expected);
        EXPECT_EQ(stream.str(), expected);

        std::unique_ptr<Object> fromFile, fromStream;
        ASSERT_TRUE(ReadJsonFile(path, fromFile));
        std::istringstream in(expected);
        ASSERT_TRUE(ReadJson(in, fromStream));
        EXPECT_TRUE(*fromFile == object);
        EXPECT_TRUE(*fromStream == object);
    }
}

TEST_F(JsonFileTest, EveryObjectGoesOutAndBackByteForByte) {
    Orv::Testing::TimelineShape shape;
    shape.awkwardTexts = true;
    const Timeline timeline = Orv::Testing::GenerateTimeline(7, shape);
    const std::string path = PathOf("object.json");
    ExpectRoundTrips(timeline, path);
    ExpectRoundTrips(timeline.Tracks().front(), path);
    ExpectRoundTrips(timeline.MediaInfos().front(), path);
    for (const auto& item : timeline.Tracks().front().TrackItems()) {
        ExpectRoundTrips(*item, path);
        if (const auto* transition = dynamic_cast<const FxTransitionItem*>(item.get())) {
            ExpectRoundTrips(transition->FxTransition(), path);
        }
    }
    EXPECT_EQ(Names(), std::vector<std::string>{"object.json"});  // no temporary file left
}

// Each failure of the file system, reading and writing: its message and
// kind, the target left as it was, no temporary file left behind.
TEST_F(JsonFileTest, FailuresOfTheFileSystemSayWhatAndTouchNothing) {
    Orv::Testing::TimelineShape shape;
    shape.itemsPerTrack = 400;
    const Timeline timeline = Orv::Testing::GenerateTimeline(3, shape);
    const std::string kept = PathOf("kept.json"), large = PathOf("large.json"), missing = PathOf("missing.json");
    std::ofstream(kept) << "old";
    std::ofstream{large};
    ASSERT_EQ(truncate(large.c_str(), static_cast<off_t>(MaxDocumentSize) + 1), 0);  // sparse: no disk used
    struct BrokenBuffer : std::streambuf {
        int_type underflow() override { throw std::runtime_error("device gone"); }
    } broken;
    std::istream unreadable(&broken);
    std::ostringstream closed;
    closed.setstate(std::ios::badbit);
    const int full = open("/dev/full", O_WRONLY | O_CLOEXEC);
    ASSERT_GE(full, 0);
    auto target = std::make_unique<Timeline>(Orv::Testing::Identifier("kept"));
    ReadReport report;
    const auto read = [&](auto&& call) {
        return [&, call] {
            report = ReadReport();
            const Result result = call();
            return std::make_pair(result, std::string(ToString(report.failure)));
        };
    };
    const auto write = [](auto&& call) { return [call] { return std::make_pair(call(), std::string("write")); }; };
    const auto beyondLimit = [&] {  // the process's file size limit, SIGXFSZ ignored
        rlimit before{};
        getrlimit(RLIMIT_FSIZE, &before);
        rlimit small = before;
        small.rlim_cur = 4096;
        const auto previous = std::signal(SIGXFSZ, SIG_IGN);
        setrlimit(RLIMIT_FSIZE, &small);
        const Result result = WriteJsonFile(timeline, kept);
        setrlimit(RLIMIT_FSIZE, &before);
        std::signal(SIGXFSZ, previous);
        return result;
    };
    const struct {
        std::function<std::pair<Result, std::string>()> call;
        std::string failure;
        std::string message;
    } cases[] = {
        {read([&] { return ReadJsonFile(missing, target, &report); }), "cannot-open",
         "cannot open \"" + missing + "\": No such file or directory"},
        {read([&] { return ReadJsonFile(directory.string(), target, &report); }), "cannot-open",
         "cannot open \"" + directory.string() + "\": Is a directory"},
        {read([&] { return ReadJsonFile("/proc/self/mem", target, &report); }), "cannot-read",
         "cannot read \"/proc/self/mem\": Input/output error"},
        {read([&] { return ReadJson(unreadable, target, &report); }), "cannot-read", "cannot read the stream"},
        {read([&] { return ReadJsonFile(large, target, &report); }), "too-large",
         "\"" + large + "\" is longer than 2147483647 bytes, the longest document read"},
        {write(beyondLimit), "write", "cannot write \"" + kept + "\": File too large"},
        {write([&] { return WriteJsonFile(timeline, "/dev/full"); }), "write",
         "cannot write \"/dev/full\": No space left on device"},
        {write([&] { return WriteJson(timeline, full); }), "write", "cannot write: No space left on device"},
        {write([&] { return WriteJsonFile(timeline, PathOf("no/such/dir.json")); }), "write",
         "cannot write \"" + PathOf("no/such/dir.json") + "\": No such file or directory"},
        {write([&] { return WriteJson(timeline, closed); }), "write", "cannot write to the stream"},
    };
    for (const auto& c : cases) {
        const auto [result, failure] = c.call();
        EXPECT_FALSE(result);
        EXPECT_EQ(result.ErrorMessage(), c.message);
        EXPECT_EQ(failure, c.failure);
        EXPECT_TRUE(report.place.code.empty());
    }
    close(full);
    EXPECT_EQ(target->Id().Value(), "kept");
    EXPECT_EQ(Contents(kept), "old");
    std::vector<std::string> names = Names();
    std::sort(names.begin(), names.end());
    EXPECT_EQ(names, (std::vector<std::string>{"kept.json", "large.json"}));
}

Result ReadAs(DocumentKind kind, const std::string& text, ReadReport& report) {
    std::unique_ptr<Timeline> timeline;
    std::unique_ptr<Track> track;
    std::unique_ptr<TrackItem> item;
    std::unique_ptr<MediaInfo> mediaInfo;
    std::unique_ptr<TransitionEffect> effect;
    switch (kind) {
        case DocumentKind::Timeline:
            return ReadJsonText(text, timeline, &report);
        case DocumentKind::Track:
            return ReadJsonText(text, track, &report);
        case DocumentKind::TrackItem:
            return ReadJsonText(text, item, &report);
        case DocumentKind::MediaInfo:
            return ReadJsonText(text, mediaInfo, &report);
        case DocumentKind::TransitionEffect:
            break;
    }
    return ReadJsonText(text, effect, &report);
}

TEST(JsonFileReadTest, AFailedReadSaysWhereBesideTheReadersMessage) {
    const std::string lookup = "in Json::Value::find(begin, end): requires objectValue or nullValue";
    const struct {
        DocumentKind kind;
        std::string text;
        Failure failure;
        std::string message;
        std::string place;  // "code pointer line:column"
    } cases[] = {
        {DocumentKind::Timeline, "{\"id\" \"a\"}", Failure::NotJson,
         "Line 1, Column 7: Missing ':' after object member name", "json-syntax  1:7"},
        {DocumentKind::MediaInfo, "{\"limitIn\":\n[1,]]", Failure::NotJson,
         "Line 2, Column 5: Missing ',' or '}' in object declaration", "json-syntax  2:5"},
        {DocumentKind::Timeline, std::string(1001, '[') + std::string(1001, ']'), Failure::NotJson,
         "Exceeded stackLimit in readValue().", "json-nesting  1:1001"},
        {DocumentKind::Timeline, "[1]", Failure::NotConverted, lookup, "not-an-object  1:1"},
        {DocumentKind::Timeline, "{\"tracks\":[{}, 1]}", Failure::NotConverted, lookup, "not-an-object /tracks/1 1:16"},
        {DocumentKind::Timeline,
         "{\"tracks\":[{\"items\":[{\"videoIn\":\"q\"}]}],\n \"duration\":\"z\"}", Failure::NotConverted, "stoll",
         "integer-invalid /duration 2:13"},
        {DocumentKind::Timeline, "{\"mediaInfos\":[{\"limitIn\":\"99999999999999999999\"}]}", Failure::NotConverted,
         "stoll", "integer-range /mediaInfos/0/limitIn 1:27"},
        {DocumentKind::Track, "{\"items\":[{\"_type\":\"FxAudioTransitionItem\",\"offset\":\"x\"}], \"id\":[]}",
         Failure::None, "", "  0:0"},
        {DocumentKind::TrackItem, "{\"_type\":\"MediaSummaryItem\",\"videoIn\":\"q\"}", Failure::NotConverted,
         "stoll", "integer-invalid /videoIn 1:39"},
        {DocumentKind::TransitionEffect, "{\"offset\":\"1\",\"duration\":\"-\"}", Failure::NotConverted, "stoll",
         "integer-invalid /duration 1:26"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.text.substr(0, 80));
        ReadReport report;
        const Result result = ReadAs(c.kind, c.text, report);
        EXPECT_EQ(result.ErrorMessage(), c.message);
        EXPECT_EQ(report.failure, c.failure);
        EXPECT_EQ(report.place.code + " " + report.place.pointer + " " + std::to_string(report.place.line) + ":" +
                      std::to_string(report.place.column),
                  c.place);
        EXPECT_EQ(report.place.severity == JsonDiagnostic::Severity::Error, c.failure != Failure::None);
    }
}

}  // namespace
