// The checker against the reader it describes: random faults in generated
// documents, each remembered with its pointer; then what the reader makes of
// the faulty text, member by member, against what it makes of the clean one.
// Where the text reader takes its fast path, its anomaly flag must tell
// whether the checker finds anything.

#include "Support/JsonTestHelpers.h"
#include "TimelineGenerator.h"

#include <Orv/TimelineEngineModel/MediaSummaryItem.h>
#include <Orv/TimelineEngineModel/Serialization/Json/JsonDocumentChecker.h>
#include <Orv/TimelineEngineModel/Serialization/Json/JsonTextToTimelineConverter.h>
#include <Orv/TimelineEngineModel/Serialization/Json/JsonToTimelineConverter.h>
#include <Orv/TimelineEngineModel/Serialization/Json/TimelineToJsonConverter.h>

#include <gtest/gtest.h>

#include <algorithm>
#include <map>
#include <random>
#include <set>

namespace {

using namespace Orv::TimelineEngineModel;
using namespace Orv::TimelineEngineModel::Serialization::Json;
using Orv::Testing::Parse;
using Strings = std::vector<std::string>;
using Members = std::set<std::pair<std::string, std::string>>;  // pointer, text

// Replaces [begin, end) by `text`; claims [claimBegin, claimEnd], the member
// or element it changes (one edit per claim); may cause diagnostics at
// `pointers`, errors when `fails`. An edit of "_type" claims its item and may
// cause warnings anywhere in it ("ITEM/*"): the kind decides what is read.
struct Edit {
    std::string kind;  // edits are drawn kind by kind, evenly
    std::size_t begin, end;
    std::string text;
    std::size_t claimBegin, claimEnd;
    Strings pointers;
    bool fails;
};

const std::set<std::string> integerKeys = {"duration", "videoIn", "videoDuration", "audioIn", "audioDuration",
                                           "mediaVideoIn", "mediaVideoDuration", "mediaAudioIn", "mediaAudioDuration",
                                           "audioLevel", "monitoringChannel", "limitIn", "limitDuration", "offset"};

void Candidates(const std::string& text, const ::Json::Value& value, const std::string& at, std::mt19937_64& random,
                std::vector<Edit>& out) {
    const auto begin = static_cast<std::size_t>(value.getOffsetStart()), end = value.getOffsetLimit() + 0ul;
    const auto pick = [&](const Strings& options) { return options[random() % options.size()]; };
    const auto replace = [&](const std::string& kind, const std::string& by, bool fails = false) {
        out.push_back({kind, begin, end, by, begin, end, {at}, fails});
    };
    const std::string inner = value.isString() ? text.substr(begin + 1, end - begin - 2) : "";
    const std::string key = at.substr(at.rfind('/') + 1);
    if (value.isObject()) {
        const std::string extra = pick({"zq", "videoIn", "fxType"});  // unknown, or of one item kind
        out.push_back({"unknown key", begin + 1, begin + 1, "\"" + extra + "\":\"1\"" + (value.empty() ? "" : ","),
                       begin + 1, begin + 1, {at + "/" + extra}, false});
        for (const std::string& name : value.getMemberNames()) {
            const ::Json::Value& member = value[name];
            const std::size_t valueBegin = member.getOffsetStart(), keyBegin = valueBegin - name.size() - 3;
            const std::size_t first = out.size(), memberEnd = member.getOffsetLimit();
            std::string misspelt = name;
            misspelt.erase(random() % name.size(), 1);
            out.push_back({"duplicate", keyBegin, keyBegin, "\"" + name + "\":" + pick({"5", "\"5\""}) + ",", keyBegin, 0, {}, false});
            out.push_back({"misspelt", keyBegin, valueBegin - 1, "\"" + misspelt + "\"", keyBegin, 0,
                           {at + "/" + misspelt, at}, false});
            if (name == "_type") {
                const std::size_t comma = text[memberEnd] == ',' ? 1 : 0;
                out.push_back({"no _type", keyBegin, memberEnd + comma, "", keyBegin, 0, {at}, false});
            }
            Candidates(text, member, at + "/" + name, random, out);
            for (std::size_t i = first; i < out.size(); ++i) {  // the member's edits claim all of it
                out[i].claimBegin = name == "_type" ? begin : std::min(out[i].claimBegin, keyBegin);
                out[i].claimEnd = name == "_type" ? end : std::max(out[i].claimEnd, memberEnd);
                out[i].pointers.push_back(name == "_type" ? at + "/*" : at + "/" + name);
            }
        }
    } else if (value.isArray()) {
        replace("list", pick({"\"x\"", "{}", "null", "7"}));
        for (::Json::ArrayIndex i = 0; i < value.size(); ++i) {
            const std::size_t elementBegin = value[i].getOffsetStart(), elementEnd = value[i].getOffsetLimit();
            const bool bad = random() % 2 == 0;
            out.push_back({"element", elementBegin, elementEnd, bad ? pick({"7", "\"s\"", "[]", "true"}) : "null",
                           elementBegin, elementEnd, {at + "/" + std::to_string(i)}, bad});
            Candidates(text, value[i], at + "/" + std::to_string(i), random, out);
        }
    } else if (integerKeys.count(key) != 0) {
        replace("integer", pick({"\"" + inner + "abc\"", "\" " + inner + "\"", "\"0" + inner + "\"", "1.5", "null"}));
        replace("bad integer", pick({"\"99999999999999999999\"", "\"x1\"", "\"\""}), true);
    } else if (key == "_type" || key == "fxType" || key == "type") {
        replace(key, pick({"\"MediaSumaryItem\"", "\"FxVideoTransitonItem\"", "\"cut\"", "\"Unknown\"", "[]"}));
    } else {
        replace("text", pick({"\"" + inner + "\\u0000x\"", std::string("\"\0", 2) + inner + "\"",
                              "\"" + inner + "\xff\"", "\"\xc3" + inner + "\"", "{}", "false"}));
    }
}

// The faulty text; `faults` gets each edit's pointers, mapped to `fails`.
std::string Perturbed(const std::string& clean, std::mt19937_64& random, std::map<std::string, bool>& faults) {
    std::vector<Edit> candidates, chosen;
    Candidates(clean, Parse(clean), "", random, candidates);
    std::map<std::string, std::vector<const Edit*>> byKind;
    for (const Edit& edit : candidates) {
        byKind[edit.kind].push_back(&edit);
    }
    for (std::size_t attempt = 0, count = 1 + random() % 4; attempt < 50 && chosen.size() < count; ++attempt) {
        const auto& edits = std::next(byKind.begin(), static_cast<long>(random() % byKind.size()))->second;
        const Edit& edit = *edits[random() % edits.size()];
        if (std::none_of(chosen.begin(), chosen.end(), [&](const Edit& other) {
                return edit.claimBegin <= other.claimEnd && other.claimBegin <= edit.claimEnd;
            })) {
            chosen.push_back(edit);
        }
    }
    std::sort(chosen.begin(), chosen.end(), [](const Edit& a, const Edit& b) { return a.begin > b.begin; });
    std::string text = clean;
    for (const Edit& edit : chosen) {
        text.replace(edit.begin, edit.end - edit.begin, edit.text);
        for (const std::string& pointer : edit.pointers) {
            faults[pointer] = edit.fails;
        }
    }
    return text;
}

// Every member of a timeline as the writer writes it (an entry without an
// item as a default one).
void Flatten(const ::Json::Value& value, const std::string& at, Members& out) {
    if (!value.isObject() && !value.isArray()) {
        out.emplace(at, value.asString());
    }
    for (auto member = value.begin(); member != value.end(); ++member) {
        Flatten(*member, at + "/" + (value.isArray() ? std::to_string(member.index()) : member.name()), out);
    }
}

std::string TextOf(const Timeline& timeline) {
    Orv::Common::Serialization::Json::Stringer stringer;
    EXPECT_TRUE(TimelineToJsonConverter().To(timeline, stringer));
    return stringer.ToString();
}

Members Written(Timeline& timeline) {
    for (Track& track : timeline.Tracks()) {
        for (auto& item : track.TrackItems()) {
            item = item ? item : std::make_shared<MediaSummaryItem>();
        }
    }
    Members members;
    Flatten(Parse(TextOf(timeline)), "", members);
    return members;
}

// What a diagnostic accounts for: its pointer (an item's "_type": the whole
// item), the key it suggests, the entry it says is dropped or loses its
// effect, and what it leaves unread.
Strings Accounts(const JsonDiagnostic& d) {
    const std::string parent = d.pointer.substr(0, d.pointer.rfind('/'));
    const std::size_t suggested = d.message.find("did you mean \"") + 14, unread = d.message.find("left unread: ");
    const std::string suggestion = d.message.substr(suggested, d.message.find('"', suggested) - suggested);
    Strings roots = {d.pointer, parent + "/" + suggestion};
    const bool wholeEntry = d.message.find("dropped") != std::string::npos ||
                            d.message.find("default effect") != std::string::npos;
    if (wholeEntry || d.pointer.substr(parent.size()) == "/_type" || suggestion == "_type") {
        roots.push_back(parent);
    }
    for (std::size_t at = unread + 13; unread != std::string::npos && at < d.message.size();) {
        const std::size_t next = std::min(d.message.find(", ", at), d.message.size());
        const std::string name = d.message.substr(at, next - at);
        const std::size_t to = name.find(" to "), slash = name.rfind('/', to);
        for (int i = to == std::string::npos ? 0 : std::stoi(name.substr(slash + 1));  // "/list/3 to /list/7"
             to != std::string::npos && i <= std::stoi(name.substr(name.rfind('/') + 1)); ++i) {
            roots.push_back(name.substr(0, slash + 1) + std::to_string(i));
        }
        roots.push_back(name[0] == '/' ? name : parent + "/" + name);
        at = next + 2;
    }
    return roots;
}

TEST(CheckerAgreementTest, DiagnosticsAccountForEveryDifferenceAndLieOnlyAtFaults) {
    for (std::uint64_t seed = 1; seed <= 300; ++seed) {
        SCOPED_TRACE("seed " + std::to_string(seed));
        std::mt19937_64 random(seed);
        Orv::Testing::TimelineShape shape;
        shape.itemsPerTrack = 6;
        shape.extremeIntegers = seed % 2 == 0;
        const std::string clean = TextOf(Orv::Testing::GenerateTimeline(seed, shape));
        std::map<std::string, bool> faults;
        const std::string text = Perturbed(clean, random, faults);
        std::vector<JsonDiagnostic> none, diagnostics;
        ASSERT_TRUE(JsonDocumentChecker().Check(clean, DocumentKind::Timeline, none));
        ASSERT_TRUE(JsonDocumentChecker().Check(text, DocumentKind::Timeline, diagnostics));
        EXPECT_TRUE(none.empty());
        for (const std::string* document : {&clean, &text}) {  // the fast reader's flag tells the same
            std::unique_ptr<Timeline> fast;
            JsonTextToTimelineConverter::Report report;
            static_cast<void>(JsonTextToTimelineConverter().To(*document, fast, report));
            const bool found = !(document == &clean ? none : diagnostics).empty();
            EXPECT_TRUE(report.path != JsonTextToTimelineConverter::Report::Path::Fast || report.anomaly == found);
        }

        std::unique_ptr<Timeline> expected, read;
        ASSERT_TRUE(JsonToTimelineConverter().To(Parse(clean), expected));
        const Orv::Common::Serialization::Result result = JsonToTimelineConverter().To(Parse(text), read);
        Strings roots;
        std::string timelineFailure;  // an error outside the items ends the timeline's read
        for (const JsonDiagnostic& d : diagnostics) {
            const std::size_t items = d.pointer.find("/items/");
            const std::string item = d.pointer.substr(0, d.pointer.find('/', items + 7)) + "/*";
            ASSERT_TRUE(faults.count(d.pointer) != 0 || (items != std::string::npos && faults.count(item) != 0))
                << d.pointer << ": " << d.message << "\n" << text;
            EXPECT_EQ(d.severity == JsonDiagnostic::Severity::Error, faults[d.pointer]) << d.message;
            if (d.severity == JsonDiagnostic::Severity::Error && items == std::string::npos) {
                timelineFailure = d.message;
            }
            const Strings accounted = Accounts(d);
            roots.insert(roots.end(), accounted.begin(), accounted.end());
        }
        EXPECT_EQ(!result, !timelineFailure.empty()) << text;
        EXPECT_TRUE(result || timelineFailure.find("fails with \"" + std::string(result.ErrorMessage()) + "\"") !=
                                  std::string::npos);
        std::vector<std::pair<std::string, std::string>> differences;
        const Members a = Written(*expected), b = Written(*read);
        std::set_symmetric_difference(a.begin(), a.end(), b.begin(), b.end(), std::back_inserter(differences));
        for (const auto& difference : differences) {
            const std::string& pointer = difference.first;
            EXPECT_TRUE(std::any_of(roots.begin(), roots.end(), [&](const std::string& root) {
                return pointer.compare(0, root.size(), root) == 0 && (pointer.size() == root.size() || pointer[root.size()] == '/');
            })) << pointer << " differs, unaccounted for, in\n" << text;
        }
    }
}

}  // namespace

namespace {

// Documents that once split the fast reader's flag from the checker.
TEST(CheckerAgreementTest, TheAnomalyFlagTellsWhetherTheCheckerFindsAnything) {
    const struct {
        std::string text;
        bool found;
    } cases[] = {
        {R"({"$schema":"timeline.schema.json","id":"a"})", false},
        {R"({"$schema":"+7","$schema":"+7"})", true},
        {R"({"tracks":[{"$schema":"s"}]})", true},
    };
    for (const auto& c : cases) {
        std::vector<JsonDiagnostic> diagnostics;
        ASSERT_TRUE(JsonDocumentChecker().Check(c.text, DocumentKind::Timeline, diagnostics));
        std::unique_ptr<Timeline> timeline;
        JsonTextToTimelineConverter::Report report;
        ASSERT_TRUE(JsonTextToTimelineConverter().To(c.text, timeline, report));
        EXPECT_EQ(report.path, JsonTextToTimelineConverter::Report::Path::Fast) << c.text;
        EXPECT_EQ(!diagnostics.empty(), c.found) << c.text;
        EXPECT_EQ(report.anomaly, c.found) << c.text;
    }
}

}  // namespace
