// The format tables against what lies outside the library's routes: the
// model's equality, the JSON Schema and the format page list every member
// of every table; and one model whose every member holds a value other than
// its default goes through every route, against a text written by hand.

#include "Support/JsonTestHelpers.h"

#include <Orv/Common/Serialization/Json/Stringer.h>
#include <Orv/TimelineEngineModel/Serialization/Json/JsonDocumentChecker.h>
#include <Orv/TimelineEngineModel/Serialization/Json/JsonTextToTimelineConverter.h>
#include <Orv/TimelineEngineModel/Serialization/Json/JsonToTimelineConverter.h>
#include <Orv/TimelineEngineModel/Serialization/Json/MemberTexts.h>
#include <Orv/TimelineEngineModel/Serialization/Json/TimelineToJsonConverter.h>

#include "Format/ObjectFormats.h"

#include <gtest/gtest.h>

#include <fstream>
#include <regex>
#include <sstream>
#include <string>
#include <vector>

namespace {

using namespace Orv::TimelineEngineModel;
using namespace Orv::TimelineEngineModel::Serialization::Json;
namespace Detail = Orv::TimelineEngineModel::Serialization::Json::Detail;
using Orv::BusinessEntityModel::BaseTypes::Identifier;
using Orv::Common::Serialization::Json::Stringer;

// A value other than the codec's default.
Detail::Identifier Sample(Detail::IdentifierCodec) { return Detail::Identifier("x"); }
std::string Sample(Detail::TextCodec) { return "x"; }
std::int64_t Sample(Detail::IntegerCodec) { return 7; }
EffectType Sample(Detail::EffectTypeCodec) { return EffectType::Mix; }

// Calls check(key, object with that member changed) for each member of
// Object's table that the model lets be set, an inlined value's included.
template <typename Object, typename Check>
void ForEachChangedMember(const Object& base, Check&& check) {
    Detail::ForEachMember(Detail::FormatOf<Object>::table, [&](const auto& member) {
        using Codec = typename std::decay_t<decltype(member)>::CodecType;
        Object changed = base;
        if constexpr (Detail::IsInlineCodec<Codec>) {
            ForEachChangedMember(member.get(base), [&](const std::string& key, const auto& value) {
                member.set(changed, value);
                check(key, changed);
            });
        } else if constexpr (Detail::IsListCodec<Codec>) {
            member.get(changed).emplace_back();
            check(std::string(member.key), changed);
        } else if constexpr (!std::is_same_v<Codec, Detail::KindCodec> &&
                             !std::is_same_v<Codec, Detail::TrackTypeCodec>) {
            member.set(changed, Sample(Codec()));
            check(std::string(member.key), changed);
        }
    });
}

TEST(FormatTablesTest, TheModelComparesEveryMemberOfTheTables) {
    std::vector<std::string> compared;
    const auto expectUnequal = [&](const auto& base) {
        ForEachChangedMember(base, [&](const std::string& key, const auto& changed) {
            EXPECT_FALSE(base == changed) << key;
            compared.push_back(key);
        });
    };
    expectUnequal(Timeline());
    expectUnequal(Track());
    expectUnequal(MediaSummaryItem());
    expectUnequal(FxAudioTransitionItem());
    expectUnequal(FxVideoTransitionItem());
    expectUnequal(MediaInfo());
    expectUnequal(TransitionEffect());
    EXPECT_EQ(compared.size(), 5u + 2 + 12 + 5 + 5 + 4 + 4);  // the members that the model lets be set
}

std::string ReadDoc(const std::string& name) {
    std::ifstream file(std::string(ORV_DOCS_DIR) + "/" + name);
    std::stringstream text;
    text << file.rdbuf();
    return text.str();
}

// The keys of a table in written order (an inlined value's in its place),
// and whether each is always written.
template <typename Object>
std::vector<std::string> KeysOf(bool markAlways) {
    std::vector<std::string> keys;
    Detail::ForEachMember(Detail::FormatOf<Object>::table, [&](const auto& member) {
        using Member = std::decay_t<decltype(member)>;
        if constexpr (Detail::IsInlineCodec<typename Member::CodecType>) {
            for (const std::string& key : KeysOf<TransitionEffect>(markAlways)) {
                keys.push_back(key);
            }
        } else {
            keys.push_back(std::string(member.key) + (markAlways && Member::omit == Detail::Omit::Never ? "!" : ""));
        }
    });
    return keys;
}

// The key tables of docs/json-format.md, in their order, each key marked
// "!" where it is written always.
std::vector<std::vector<std::string>> FormatPageTables() {
    std::vector<std::vector<std::string>> tables;
    std::istringstream page(ReadDoc("json-format.md"));
    const std::regex row(R"re(^\| \d+ \| `"([^"]+)"` \| .* \| (.*) \|$)re");
    std::string line;
    bool inTable = false;
    while (std::getline(page, line)) {
        if (line == "| # | Key | Value | Written when |") {
            tables.emplace_back();
            inTable = true;
        }
        std::smatch match;
        if (inTable && std::regex_match(line, match, row)) {
            tables.back().push_back(match[1].str() + (match[2].str().rfind("always", 0) == 0 ? "!" : ""));
        } else if (line.empty()) {
            inTable = false;
        }
    }
    return tables;
}

TEST(FormatTablesTest, TheFormatPageAndTheSchemaListTheTablesMembers) {
    const std::vector<std::vector<std::string>> expected = {
        KeysOf<Timeline>(true),  KeysOf<Track>(true),     KeysOf<MediaSummaryItem>(true),
        KeysOf<FxAudioTransitionItem>(true), KeysOf<MediaInfo>(true), KeysOf<TransitionEffect>(true)};
    EXPECT_EQ(FormatPageTables(), expected);

    const Json::Value schema = Orv::Testing::Parse(ReadDoc("timeline.schema.json"));
    // A document's own "$schema" member is the schema's, not the format's.
    const auto properties = [&](const char* definition) {
        std::vector<std::string> keys;
        for (const Json::Value* object : {&schema["$defs"][definition], &schema["$defs"]["effectMembers"]}) {
            for (const std::string& key : (*object)["properties"].getMemberNames()) {
                if (key != "$schema") {
                    keys.push_back(key);
                }
            }
            if (std::string(definition) != "transitionItem") {
                break;
            }
        }
        std::sort(keys.begin(), keys.end());
        return keys;
    };
    const auto sorted = [](std::vector<std::string> keys) {
        std::sort(keys.begin(), keys.end());
        return keys;
    };
    EXPECT_EQ(properties("timeline"), sorted(KeysOf<Timeline>(false)));
    EXPECT_EQ(properties("track"), sorted(KeysOf<Track>(false)));
    EXPECT_EQ(properties("mediaSummaryItem"), sorted(KeysOf<MediaSummaryItem>(false)));
    EXPECT_EQ(properties("transitionItem"), sorted(KeysOf<FxVideoTransitionItem>(false)));
    EXPECT_EQ(properties("mediaInfo"), sorted(KeysOf<MediaInfo>(false)));
    EXPECT_EQ(properties("effectMembers"), sorted(KeysOf<TransitionEffect>(false)));
}

// Every member of every object set to a value other than its default, written
// by hand, and the text it must give, written by hand too.
Timeline EveryMemberSet() {
    MediaSummaryItem summary(Identifier("i1"));
    summary.VideoIn(1);
    summary.VideoDuration(2);
    summary.AudioIn(3);
    summary.AudioDuration(4);
    summary.MediaAssetId(Identifier("m1"));
    summary.MediaVideoIn(5);
    summary.MediaVideoDuration(6);
    summary.MediaAudioIn(7);
    summary.MediaAudioDuration(8);
    summary.AudioLevel(-9);
    summary.MonitoringChannel(10);
    TransitionEffect effect;
    effect.TransitionEffectType(EffectType::Cut);
    effect.Offset(-11);
    effect.Duration(12);
    effect.Config("c");
    FxAudioTransitionItem audio(Identifier("a1"));
    audio.FxTransition(effect);
    effect.TransitionEffectType(EffectType::Mix);
    FxVideoTransitionItem video(Identifier("v1"));
    video.FxTransition(effect);
    Track track(Identifier("t1"));
    track.TrackItems() = {std::make_shared<MediaSummaryItem>(summary), std::make_shared<FxAudioTransitionItem>(audio),
                          std::make_shared<FxVideoTransitionItem>(video)};
    MediaInfo info;
    info.MediaAssetId(Identifier("m1"));
    info.LimitIn(13);
    info.LimitDuration(14);
    info.Channels("L,R");
    Timeline timeline(Identifier("tl"));
    timeline.TransactionId(Identifier("tx"));
    timeline.Duration(15);
    timeline.Tracks() = {track};
    timeline.MediaInfos() = {info};
    return timeline;
}

constexpr char EveryMemberText[] =
    R"({"id":"tl","transactionId":"tx","duration":"15","tracks":[{"id":"t1","type":"SUMMARY","items":[)"
    R"({"_type":"MediaSummaryItem","id":"i1","videoIn":"1","videoDuration":"2","audioIn":"3","audioDuration":"4",)"
    R"("mediaAssetId":"m1","mediaVideoIn":"5","mediaVideoDuration":"6","mediaAudioIn":"7","mediaAudioDuration":"8",)"
    R"("audioLevel":"-9","monitoringChannel":"10"},)"
    R"({"_type":"FxAudioTransitionItem","id":"a1","fxType":"Cut","offset":"-11","duration":"12","config":"c"},)"
    R"({"_type":"FxVideoTransitionItem","id":"v1","fxType":"Mix","offset":"-11","duration":"12","config":"c"}]}],)"
    R"("mediaInfos":[{"mediaAssetId":"m1","limitIn":"13","limitDuration":"14","channels":"L,R"}]})";

TEST(FormatTablesTest, EveryMemberGoesThroughEveryRoute) {
    const Timeline timeline = EveryMemberSet();
    Stringer stringer;
    ASSERT_TRUE(TimelineToJsonConverter().To(timeline, stringer));
    EXPECT_EQ(stringer.ToString(), EveryMemberText);

    std::unique_ptr<Timeline> read;
    ASSERT_TRUE(JsonToTimelineConverter().To(Orv::Testing::Parse(EveryMemberText), read));
    EXPECT_EQ(*read, timeline);

    JsonTextToTimelineConverter::Report report;
    std::unique_ptr<Timeline> fast;
    ASSERT_TRUE(JsonTextToTimelineConverter().To(std::string(EveryMemberText), fast, report));
    EXPECT_EQ(report.path, JsonTextToTimelineConverter::Report::Path::Fast);
    EXPECT_FALSE(report.anomaly);
    EXPECT_EQ(*fast, timeline);

    std::vector<JsonDiagnostic> diagnostics;
    ASSERT_TRUE(JsonDocumentChecker().Check(EveryMemberText, DocumentKind::Timeline, diagnostics));
    EXPECT_TRUE(diagnostics.empty());

    std::vector<std::string> texts;
    for (const auto& member : MemberTextsOf(*timeline.Tracks()[0].TrackItems()[1])) {
        texts.push_back(std::string(member.key) + "=" + member.text);
    }
    EXPECT_EQ(texts, (std::vector<std::string>{"_type=FxAudioTransitionItem", "id=a1", "fxType=Cut", "offset=-11",
                                               "duration=12", "config=c"}));
}

}  // namespace
