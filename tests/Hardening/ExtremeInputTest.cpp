// Inputs at the extremes, through the public entry points that take a text:
// texts that end where the readable memory ends, texts at jsoncpp's size
// limits, hostile bytes in what the checker reports.

#include <Orv/TimelineEngineModel/Serialization/Json/JsonDiagnostic.h>
#include <Orv/TimelineEngineModel/Serialization/Json/JsonDocumentChecker.h>
#include <Orv/TimelineEngineModel/Serialization/Json/JsonFile.h>
#include <Orv/TimelineEngineModel/Serialization/Json/JsonTextToTimelineConverter.h>

#include "TextRead/FastTimelineReader.h"

#include <gtest/gtest.h>

#include <sys/mman.h>
#include <unistd.h>

#include <algorithm>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <string>
#include <string_view>
#include <vector>

namespace {

using namespace Orv::TimelineEngineModel;
using namespace Orv::TimelineEngineModel::Serialization::Json;

// Memory whose last readable byte is the last byte of a text placed there:
// the page after it is mapped without access, so reading past it faults.
class TextAtPageEnd {
public:
    explicit TextAtPageEnd(std::size_t capacity) {
        const auto page = static_cast<std::size_t>(sysconf(_SC_PAGESIZE));
        readable = (capacity + page - 1) / page * page;
        size = readable + page;
        memory = static_cast<char*>(mmap(nullptr, size, PROT_READ | PROT_WRITE, MAP_PRIVATE | MAP_ANONYMOUS, -1, 0));
        if (memory == MAP_FAILED || mprotect(memory + readable, page, PROT_NONE) != 0) {
            throw std::runtime_error("cannot map a guard page");
        }
    }
    TextAtPageEnd(const TextAtPageEnd&) = delete;
    TextAtPageEnd& operator=(const TextAtPageEnd&) = delete;
    ~TextAtPageEnd() { munmap(memory, size); }

    std::string_view Place(std::string_view text) {
        char* start = memory + readable - text.size();
        std::memcpy(start, text.data(), text.size());
        return {start, text.size()};
    }

private:
    char* memory = nullptr;
    std::size_t readable = 0;
    std::size_t size = 0;
};

std::vector<std::string> TextsThatEndOddly() {
    std::vector<std::string> texts = {"",    "\r",         "[\r",         "{\r",          "[1,\r",
                                      "{\"a\":1,\r", "{\"id\":\"a\"}\r", "\"\\u12",       "[1e",          "{\"a\" /*",
                                      "// x", "\xEF\xBB\xBF", "{\"id\":\"a\"", "{\"tracks\":[{", "[\"\xE2\x82"};
    const std::filesystem::path corpus = ORV_JSON_TEST_SUITE_DIR;
    if (std::filesystem::is_directory(corpus)) {
        for (const auto& entry : std::filesystem::directory_iterator(corpus)) {
            std::stringstream text;
            text << std::ifstream(entry.path(), std::ios::binary).rdbuf();
            texts.push_back(text.str());
        }
    }
    return texts;
}

// A read past the text would fault here and end the test.
TEST(ExtremeInputTest, EntryPointsReadOnlyTheCallersBytes) {
    const std::vector<std::string> texts = TextsThatEndOddly();
    std::size_t longest = 0;
    for (const std::string& text : texts) {
        longest = std::max(longest, text.size());
    }
    TextAtPageEnd memory(longest + 1);
    for (const std::string& text : texts) {
        const std::string_view placed = memory.Place(text);
        for (const bool strict : {false, true}) {
            JsonDocumentChecker::Options options;
            options.strictJson = strict;
            std::vector<JsonDiagnostic> diagnostics;
            EXPECT_TRUE(JsonDocumentChecker().Check(placed, DocumentKind::Timeline, diagnostics, options));
            EXPECT_TRUE(JsonDocumentChecker().Check(placed, DocumentKind::Track, diagnostics));
        }
        std::unique_ptr<Timeline> timeline;
        JsonTextToTimelineConverter::Report report;
        static_cast<void>(JsonTextToTimelineConverter().To(placed, timeline, report));
        static_cast<void>(JsonTextToTimelineConverter().To(placed, timeline));
        std::unique_ptr<MediaInfo> mediaInfo;
        static_cast<void>(ReadJsonText(placed, timeline));
        static_cast<void>(ReadJsonText(placed, mediaInfo));
        if (text.find('\0') == std::string::npos && !text.empty()) {  // a C string ends at its NUL
            static_cast<void>(JsonTextToTimelineConverter().To(memory.Place(text + '\0').data(), timeline));
        }
    }
}

// jsoncpp refuses keys from 2^30 bytes and strings longer than INT_MAX - 5
// bytes: the fast path declines every text that could hold one, before
// reading a byte of it, so jsoncpp's route reports it.
TEST(ExtremeInputTest, FastPathDeclinesWhatJsoncppCannotHold) {
    using Reader = Serialization::Json::Detail::FastTimelineReader;
    const char text[64 + 16] = "{}";
    Timeline timeline;
    bool anomaly = false;
    EXPECT_TRUE(Reader::Read(text, 2, true, timeline, anomaly));
    EXPECT_FALSE(Reader::Read(text, std::size_t{1} << 30, true, timeline, anomaly));
    static_assert(Reader::MaxSize == (std::size_t{1} << 30) - 1);
}

// What reaches a terminal or a JSON consumer is printable UTF-8, whatever the
// document holds; the diagnostic keeps the bytes.
TEST(ExtremeInputTest, ReportedTextsAreSafeToPrint) {
    const struct {
        std::string text;
        std::size_t longest;
        std::string printable;
    } cases[] = {
        {"\x1b]0;x\x07\x1b[2J", 64, "\\u001b]0;x\\u0007\\u001b[2J"},
        {"a\xff" "b\xc3", 64, "a\\xffb\\xc3"},
        {"\xe2\x80\xae" "evil\xe2\x81\xa6\xc2\x9b\x7f", 64, "\\u202eevil\\u2066\\u009b\\u007f"},
        {"back\\slash \"quoted\" \xc3\xa9t\xc3\xa9", 64, "back\\\\slash \"quoted\" \xc3\xa9t\xc3\xa9"},
        {std::string(11, 'x') + "\xc3\xa9", 12, "xxxxxxxxx..."},
        {std::string(8, 'x') + "\xe2\x82\xac" "yy", 12, "xxxxxxxx..."},
        {std::string(1 << 20, 'k'), 256, std::string(192, 'k') + "..."},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(PrintableText(c.text, c.longest), c.printable);
    }
    EXPECT_EQ(QuotedText("say \"\xe2\x80\xae\""), "\"say \\\"\\u202e\\\"\"");

    std::vector<JsonDiagnostic> diagnostics;
    const std::string key = "\x1b[2J\xff" + std::string(1 << 20, 'k');
    ASSERT_TRUE(JsonDocumentChecker().Check("{\"" + key + "\": 1}", DocumentKind::Timeline, diagnostics));
    ASSERT_EQ(diagnostics.size(), 1u);
    EXPECT_EQ(diagnostics[0].pointer, "/" + key);
    const std::string shownKey = "\\u001b[2J\\xff" + std::string(48 - 5, 'k') + "...";
    EXPECT_EQ(ToString(diagnostics[0], "f.json"),
              "f.json:1:" + std::to_string(key.size() + 6) + ": warning: /\\u001b[2J\\xff" +
                  std::string(PrintedPointerLength * 3 / 4 - 6, 'k') + "...: unknown key \"" + shownKey +
                  "\": ignored [unknown-key]");
}

}  // namespace
