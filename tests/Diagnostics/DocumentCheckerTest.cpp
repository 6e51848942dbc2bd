#include "Support/JsonTestHelpers.h"

#include <Orv/TimelineEngineModel/Serialization/Json/JsonDocumentChecker.h>

#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <string>
#include <vector>

namespace {

using namespace Orv::TimelineEngineModel::Serialization::Json;

struct Case {
    DocumentKind kind;
    bool strict;
    std::string text;
    std::vector<std::string> expected;  // "e|w code pointer line:column message"; "%L": jsoncpp's lookup message
};

TEST(JsonDocumentCheckerTest, ReportsWhatTheReaderDoesInDocumentOrder) {
    const std::string fails = ": the read fails with ";
    std::string deep;  // 1000 arrays and objects around "1" (the text need not go on)
    for (int i = 0; i < 500; ++i) {
        deep += i % 2 == 0 ? "{\"a\": [" : "{\"b\":[]\n,\"a\":/**/[";
    }
    deep += "1";
    const std::vector<Case> cases = {
        {DocumentKind::Timeline, false,
         "{\"id\": 5, \"transactionId\": null, \"duration\": \" 7\",\n \"tracks\": {}, \"mediaInfos\": [null, "
         "{\"limitIn\": \"12abc\", \"channels\": \"L\\u0000R\"}], \"duraton\": \"1\"}",
         {"w wrong-type /id 1:8 a JSON number where a text is due: skipped, id stays empty",
          "w null-value /transactionId 1:28 null where a text is due: skipped, transactionId stays empty",
          "w integer-form /duration 1:46 \" 7\": read as 7, written back as \"7\"",
          "w wrong-type /tracks 2:12 a JSON object where a list is due: skipped, tracks stays empty",
          "w null-value /mediaInfos/0 2:31 null where a media info is due: read as a default media info",
          "w integer-suffix /mediaInfos/1/limitIn 2:49 \"12abc\": read as 12, the rest ignored",
          "w text-nul /mediaInfos/1/channels 2:70 a text holding a NUL character: written back cut at it, as \"L\"",
          "w unknown-key /duraton 2:95 unknown key \"duraton\": ignored (did you mean \"duration\"?)"}},
        {DocumentKind::Timeline, false,
         "{\"id\": /*\"}*/ \"a\", \"i\\u0064\": \"b\", \"duration\": \"x\", \"tracks\": [], \"mediaInfos\": []}",
         {"w duplicate-key /id 1:15 duplicate key \"id\": the last one counts",
          "e integer-invalid /duration 1:48 \"x\" does not start with an integer" + fails +
              "\"stoll\"; left unread: tracks, mediaInfos"}},
        {DocumentKind::Timeline, false, "{\"tracks\": [{}, 3, {}], \"mediaInfos\": [{\"limitIn\": \"-\"}, {}]}",
         {"e not-an-object /tracks/1 1:17 a JSON number where a track is due" + fails +
          "\"%L\"; left unread: /tracks/2, /mediaInfos"}},
        // CR LF is one line break, "~" is "~0" in a pointer, a range of unread elements ends at the last.
        {DocumentKind::Timeline, false, "{\"a~b\": \"1\", \"duration\": \"007\",\r\n \"tracks\": [{}, 3, {}, {}, {}]}",
         {"w unknown-key /a~0b 1:9 unknown key \"a~b\": ignored",
          "w integer-form /duration 1:26 \"007\": read as 7, written back as \"7\"",
          "e not-an-object /tracks/1 2:17 a JSON number where a track is due" + fails +
              "\"%L\"; left unread: /tracks/2 to /tracks/4"}},
        {DocumentKind::Track, false,
         "{\"type\": 1, \"items\": [\n"
         "  {\"_type\": \"MediaSumaryItem\", \"videoIn\": \"1\", \"audioIn\": \"99999999999999999999\", "
         "\"mediaAssetId\": \"m\", \"id\": \"i\"},\n"
         "  {\"_type\": \"FxAudioTransitionItem\", \"fxType\": \"cut\", \"offset\": \"x\", \"config\": \"c\", "
         "\"videoIn\": \"1\"},\n"
         "  \"s\", {}\n]}",
         {"w ignored-track-type /type 1:10 track type given as a JSON number is never read: the track is SUMMARY",
          "w unknown-item-type /items/0/_type 2:13 unknown \"_type\" \"MediaSumaryItem\": read as a media summary "
          "item (did you mean \"MediaSummaryItem\"?)",
          "e integer-range /items/0/audioIn 2:59 \"99999999999999999999\" is outside the 64-bit range" + fails +
              "\"stoll\"; the item is kept partly read; left unread: mediaAssetId, id",
          "w unknown-effect-type /items/1/fxType 3:48 unknown \"fxType\" \"cut\": read as Unknown, left out when "
          "written (did you mean \"Cut\"?)",
          "e integer-invalid /items/1/offset 3:65 \"x\" does not start with an integer" + fails +
              "\"stoll\"; the item is kept with a default effect; left unread: config",
          "w unknown-key /items/1/videoIn 3:96 key \"videoIn\" is not read in an audio transition item: ignored",
          "e not-an-object /items/2 4:3 a JSON string where a track item is due" + fails +
              "\"%L\"; the track keeps an entry without an item, which the writer refuses",
          "w missing-item-type /items/3 4:8 no \"_type\": read as a media summary item"}},
        // A document may name its schema at the root, and nowhere else.
        {DocumentKind::Track, false,
         "{\"$schema\": 1, \"items\": [{\"$schema\": \"s\", \"_type\": \"FxVideoTransitionItem\"}]}",
         {"w unknown-key /items/0/$schema 1:38 unknown key \"$schema\": ignored"}},
        {DocumentKind::MediaInfo, true, "// m\n{\"limitIn\": \"x\", \"limitDuration\": \"1\", \"channels\": \"\xff\",}",
         {"w not-strict-json  1:1 not RFC 8259 JSON (a comment), though jsoncpp accepts it",
          "e integer-invalid /limitIn 2:13 \"x\" does not start with an integer" + fails +
              "\"stoll\"; left unread: limitDuration, channels"}},
        {DocumentKind::TrackItem, true, "{\"_type\": \"FxVideoTransitionItem\", \"id\": \"\\udc00\", \"fxType\": \"Mix\"}",
         {"w text-not-utf8 /id 1:42 a text that is not UTF-8 (byte 0xED at 0): written back unchanged, which makes "
          "the output invalid JSON"}},
        {DocumentKind::TransitionEffect, true, "{\"offset\": \"1\"} x",
         {"w not-strict-json  1:17 not RFC 8259 JSON (text after the root value), though jsoncpp "
          "accepts it"}},
        {DocumentKind::Timeline, true, "{\"id\": \"a\"\n \"x\"}",
         {"e json-syntax  2:2 jsoncpp refuses the text (Missing ',' or '}' in object declaration): nothing is read"}},
        {DocumentKind::Timeline, false, deep,
         {"e json-nesting  251:11 nested deeper than 1000 levels: jsoncpp stops with \"Exceeded stackLimit in "
          "readValue().\", nothing is read"}},
        {DocumentKind::Track, false, "\xEF\xBB\xBFnull", {"w null-value  1:1 null where a track is due: read as a default track"}},
        {DocumentKind::Track, true, "\xEF\xBB\xBF\xEF\xBB\xBFnull",
         {"e json-syntax  1:1 jsoncpp refuses the text (Syntax error: value, object or array expected.): nothing is "
          "read"}},
        {DocumentKind::Timeline, true, "{\"id\": \"a\" /*c*/ \"id\" \"tracks\": [{\"id\": \"t\" // c\n -1.5e3 \"items\": [\n"
         "{\"id\": \"i\" /**/ {\"videoIn\": \"1\"}]}]}",
         {"w not-strict-json  1:12 not RFC 8259 JSON (a comment), though jsoncpp accepts it",
          "w ignored-token  1:18 text \"id\" after a comment, where \",\" or \"}\" is due: jsoncpp takes it for the "
          "separator and ignores it",
          "w ignored-token /tracks/0 2:2 token \"-1.5e3\" after a comment, where \",\" or \"}\" is due: jsoncpp takes "
          "it for the separator and ignores it",
          "w missing-item-type /tracks/0/items/0 3:1 no \"_type\": read as a media summary item",
          "w ignored-token /tracks/0/items/0 3:17 token \"{\" after a comment, where \",\" or \"}\" is due: jsoncpp "
          "takes it for the separator and ignores it"}},
    };
    const std::string lookup = Orv::Testing::LookupMessage(::Json::Value(1));
    for (const Case& c : cases) {
        std::vector<JsonDiagnostic> diagnostics;
        JsonDocumentChecker::Options options;
        options.strictJson = c.strict;
        ASSERT_TRUE(JsonDocumentChecker().Check(c.text, c.kind, diagnostics, options));
        std::vector<std::string> lines, expected;
        for (const JsonDiagnostic& d : diagnostics) {
            lines.push_back(std::string(ToString(d.severity)).substr(0, 1) + " " + d.code + " " + d.pointer + " " +
                            std::to_string(d.line) + ":" + std::to_string(d.column) + " " + d.message);
        }
        for (std::string line : c.expected) {
            const std::size_t at = line.find("%L");
            expected.push_back(at == std::string::npos ? line : line.replace(at, 2, lookup));
        }
        EXPECT_EQ(lines, expected) << c.text;
    }
}

// With strictJson, every n_ file of JSONTestSuite is refused at the JSON
// stage (by jsoncpp or by RFC 8259) and no y_ file is.
TEST(JsonDocumentCheckerTest, StrictJsonClassifiesJsonTestSuite) {
    const std::filesystem::path corpus = ORV_JSON_TEST_SUITE_DIR;
    if (!std::filesystem::is_directory(corpus)) {
        GTEST_SKIP() << "no " << corpus;
    }
    std::size_t files = 0;
    for (const auto& entry : std::filesystem::directory_iterator(corpus)) {
        const std::string name = entry.path().filename().string();
        std::stringstream text;
        text << std::ifstream(entry.path(), std::ios::binary).rdbuf();
        std::vector<JsonDiagnostic> diagnostics;
        JsonDocumentChecker::Options strict;
        strict.strictJson = true;
        ASSERT_TRUE(JsonDocumentChecker().Check(text.str(), DocumentKind::Timeline, diagnostics, strict));
        const bool refused = std::any_of(diagnostics.begin(), diagnostics.end(), [](const JsonDiagnostic& d) {
            return d.code == "json-syntax" || d.code == "json-nesting" || d.code == "not-strict-json";
        });
        if (name[0] != 'i') {
            EXPECT_EQ(refused, name[0] == 'n') << name;
            ++files;
        }
    }
    EXPECT_GT(files, 200u);
}

}  // namespace
