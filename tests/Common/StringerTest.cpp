// Parse and ThrownBy come from the converter tests' helpers.
#include "Support/JsonTestHelpers.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <cstdlib>
#include <functional>
#include <random>
#include <sstream>
#include <stdexcept>
#include <limits>
#include <string>
#include <utility>
#include <vector>

namespace {

using Orv::Testing::Parse;
using Orv::Testing::ThrownBy;
using Orv::Common::Serialization::Json::Stringer;

Stringer Make(bool pretty, std::size_t limit = 0) {
    Stringer s = pretty ? Stringer::PrettyStringer() : Stringer();
    s.OutputLimit(limit);
    return s;
}

// Runs a script of Stringer calls separated by spaces: { } [ ] open and
// close, "k:name" a key, "s:text" a string, "d:number" a double, null, true,
// false, null-key and null-string (null pointers), anything else an int32_t.
void Play(Stringer& s, const std::string& script) {
    std::istringstream calls(script);
    for (std::string call; calls >> call;) {
        const std::string arg = call.size() > 1 && call[1] == ':' ? call.substr(2) : "";
        if (call == "{" || call == "}" || call == "[" || call == "]") {
            call == "{" ? s.Object() : call == "}" ? s.CloseObject() : call == "[" ? s.Array() : s.CloseArray();
        } else if (call == "null" || call == "true" || call == "false") {
            call == "null" ? s.NullValue() : s.Value(call == "true");
        } else if (call == "null-key" || call == "null-string") {
            call == "null-key" ? s.Key(static_cast<const char*>(nullptr)) : s.Value(static_cast<const char*>(nullptr));
        } else if (call[0] == 'k' || call[0] == 's' || call[0] == 'd') {
            call[0] == 'k' ? s.Key(arg) : call[0] == 's' ? s.Value(arg) : s.Value(std::strtod(arg.c_str(), nullptr));
        } else {
            s.Value(static_cast<int32_t>(std::stol(call)));
        }
    }
}

std::string Written(const std::string& script, bool pretty = false, std::size_t limit = 0) {
    Stringer s = Make(pretty, limit);
    Play(s, script);
    EXPECT_EQ(s.View(), s.ToString());
    return s.ToString();
}

// `call` on `s` throws an `Exception` with `message` and changes neither the text nor the depth.
template <typename Exception>
void ExpectRefused(Stringer& s, const std::function<void()>& call, const std::string& message) {
    const std::string before = s.ToString();
    const std::size_t depth = s.Depth();
    EXPECT_EQ(ThrownBy<Exception>(call), message);
    EXPECT_EQ(s.ToString(), before);
    EXPECT_EQ(s.Depth(), depth);
}

TEST(StringerTest, LaysOutCompactAndPrettyText) {
    const char* const cases[][3] = {
        {"{ k:a s:1 k:b [ s:x { } ] k:o { k:k null } }", R"({"a":"1","b":["x",{}],"o":{"k":null}})",
         "{\n  \"a\": \"1\",\n  \"b\": [\n    \"x\",\n    {}\n  ],\n  \"o\": {\n    \"k\": null\n  }\n}"},
        {"{ }", "{}", "{}"},
        {"[ true false -2147483648 2147483647 null [ ] ]", "[true,false,-2147483648,2147483647,null,[]]",
         "[\n  true,\n  false,\n  -2147483648,\n  2147483647,\n  null,\n  []\n]"},
        // Doubles: the shortest text that reads back exactly.
        {"[ d:0.1 d:250.0 d:-0.0 d:1e300 d:5e-324 d:0.33333333333333331 ]", "[0.1,250,-0,1e+300,5e-324,0.3333333333333333]",
         "[\n  0.1,\n  250,\n  -0,\n  1e+300,\n  5e-324,\n  0.3333333333333333\n]"},
        {"s:t", R"("t")", R"("t")"},
        {"42", "42", "42"},
    };
    for (const auto& [script, compact, pretty] : cases) {
        EXPECT_EQ(Written(script), compact);
        EXPECT_EQ(Written(script, true), pretty);
        Parse(pretty);
    }
}

TEST(StringerTest, EscapesKeysAndValues) {
    const std::pair<std::string, std::string> cases[] = {  // the text, and its escaped form without quotes
        {"\"", R"(\")"},       {"\\", R"(\\)"},    {"\b", R"(\b)"},    {"\f", R"(\f)"},
        {"\n", R"(\n)"},       {"\r", R"(\r)"},    {"\t", R"(\t)"},    {"\x01", R"(\u0001)"},
        {"\x1f", R"(\u001f)"}, {"\x7f", "\x7f"},   {"\x80", "\x80"},   {"\xff", "\xff"},
        {"h\xc3\xa9!", "h\xc3\xa9!"}, {"a\"b\\c\nd", R"(a\"b\\c\nd)"}, {"", ""}, {"plain /", "plain /"},
        {std::string("cut\0here", 8), "cut"},
    };
    for (const auto& [input, escaped] : cases) {
        Stringer value, key;
        EXPECT_EQ(value.Array().Value(input).CloseArray().ToString(), "[\"" + escaped + "\"]") << escaped;
        EXPECT_EQ(key.Object().Key(input).NullValue().CloseObject().ToString(), "{\"" + escaped + "\":null}") << escaped;
    }
    // Every byte but NUL, alone and in a long random text, reads back unchanged.
    std::vector<std::string> inputs(1, std::string(4096, '\0'));
    std::mt19937 random(20240611);
    for (char& c : inputs[0]) {
        c = static_cast<char>(std::uniform_int_distribution<int>(1, 255)(random));
    }
    for (int byte = 1; byte < 256; ++byte) {
        inputs.emplace_back(1, static_cast<char>(byte));
    }
    for (const auto& input : inputs) {
        Stringer s;
        EXPECT_EQ(Parse("[" + s.Value(input).ToString() + "]")[0].asString(), input)
            << "first byte " << static_cast<int>(static_cast<unsigned char>(input[0]));
    }
}

TEST(StringerTest, RefusesMisuseWithoutWriting) {
    const char* const secondTop = "Stringer: a second top-level value";
    const char* const keyOutside = "Stringer: Key() outside an object";
    const char* const keyDue = "Stringer: a value where a key is due";
    const char* const closeObject = "Stringer: CloseObject() without an open object";
    const char* const closeArray = "Stringer: CloseArray() without an open array";
    const char* const nonFinite = "Stringer: a non-finite number has no JSON form";
    const char* const nullPointer = "Stringer: a null string pointer";
    const char* const cases[][3] = {
        {"1", "2", secondTop},          {"{ }", "{", secondTop},        {"", "k:k", keyOutside},
        {"[", "k:k", keyOutside},       {"{ k:a 1", "2", keyDue},       {"{", "[", keyDue},
        {"", "}", closeObject},         {"{ k:a [", "}", closeObject},  {"[ ]", "]", closeArray},
        {"[ {", "]", closeArray},       {"[ 1", "d:inf", nonFinite},    {"[", "d:-inf", nonFinite},
        {"{ k:n", "d:nan", nonFinite},  {"[", "null-string", nullPointer}, {"{", "null-key", nullPointer},
        {"{ k:a", "k:b", "Stringer: Key() while a key already awaits its value"},
    };
    for (const auto& c : cases) {  // setup, refused call, message
        SCOPED_TRACE(std::string(c[0]) + " then " + c[1]);
        Stringer s;
        Play(s, c[0]);
        ExpectRefused<std::logic_error>(s, [&] { Play(s, c[1]); }, c[2]);
    }
    Stringer s;
    // A refused call changes no state: the document carries on as before it.
    Play(s, "[ { k:a");
    EXPECT_THROW(s.Key("b"), std::logic_error);
    Play(s, "1 k:c 2 } ]");
    EXPECT_EQ(s.ToString(), R"([{"a":1,"c":2}])");
}

TEST(StringerTest, RefusesTheCallThatPassesTheLimit) {
    // The last call of each document is accepted at a limit equal to the
    // document's length and refused one byte below it.
    const char* const cases[][2] = {
        {"{", "k:k\""}, {"{ k:a 1", "k:b"}, {"[ s:x", "s:q\"\x01"}, {"[ s:x", "12345"}, {"{ k:d", "d:0.25"},
        {"[ 1", "false"}, {"[ 1", "null"},   {"[ 1", "{"},              {"{ k:a", "["},     {"", "s:top"},
    };
    for (const bool pretty : {false, true}) {
        for (const auto& c : cases) {
            const std::string setup = c[0], last = c[1];
            SCOPED_TRACE(setup + " then " + last + (pretty ? " pretty" : ""));
            const std::string full = Written(setup + " " + last, pretty);
            EXPECT_EQ(Written(setup + " " + last, pretty, full.size()), full);
            Stringer refused = Make(pretty, full.size() - 1);
            Play(refused, setup);
            ExpectRefused<std::length_error>(refused, [&] { Play(refused, last); },
                                             "Stringer: output limit of " + std::to_string(full.size() - 1) + " bytes reached");
        }
    }
}

TEST(StringerTest, ClosesPastTheLimitAndDropsADanglingKey) {
    const char* const cases[][3] = {  // ends with a key whose value the limit refuses
        {"[ { k:a 1 k:b", R"([{"a":1}])", "[\n  {\n    \"a\": 1\n  }\n]"},
        {"[ { k:b", "[{}]", "[\n  {}\n]"},
    };
    for (const auto& [script, compact, pretty] : cases) {
        for (const bool layout : {false, true}) {
            Stringer s = Make(layout);
            Play(s, script);
            s.OutputLimit(s.ToString().size() + 3);
            EXPECT_THROW(s.Value("long"), std::length_error);
            EXPECT_EQ(s.CloseObject().CloseArray().ToString(), layout ? pretty : compact);
        }
    }
}

TEST(StringerTest, EveryIntegerTypeIsANumber) {
    Stringer s;
    s.Array().Value(std::numeric_limits<int64_t>::min()).Value(std::numeric_limits<uint64_t>::max());
    s.Value(static_cast<short>(-3)).Value(static_cast<uint8_t>(200)).Value(5L).Value(7U).CloseArray();
    EXPECT_EQ(s.ToString(), "[-9223372036854775808,18446744073709551615,-3,200,5,7]");
}

TEST(StringerTest, ScopesCloseWhatTheyOpened) {
    Stringer s;
    EXPECT_THROW(
        {
            auto array = s.ArrayScope();
            auto object = s.ObjectScope();
            auto inner = s.ArrayScope("list");
            s.Value(1);
            auto element = s.ObjectScope();
            auto keyed = s.ObjectScope("o");
            throw std::runtime_error("abandoned");
        },
        std::runtime_error);
    EXPECT_EQ(s.ToString(), R"([{"list":[1,{"o":{}}]}])");

    // A moved-from scope closes nothing; a close the Stringer refuses stays in the destructor.
    Stringer moved, refused;
    moved.Array();
    refused.Array();
    {
        auto first = moved.ObjectScope();
        { Stringer::InternalObjectScope second(std::move(first)); }
        auto firstArray = moved.ArrayScope();
        { Stringer::InternalArrayScope second(std::move(firstArray)); }
        moved.Object();
        auto object = refused.ObjectScope();
        auto array = refused.ArrayScope("a");
        refused.CloseArray().CloseObject().CloseArray();
    }
    EXPECT_EQ(moved.ToString(), "[{},[],{");
    EXPECT_EQ(refused.ToString(), R"([{"a":[]}])");
}

TEST(StringerTest, CopiesMovesAndStreams) {
    Stringer original = Make(true, 64);
    original.Array().Value(1);
    Stringer copy = original;  // an independent document
    copy.Value(2).CloseArray();
    Stringer moved(std::move(original));  // takes the text and the open levels, leaves the settings
    Stringer assigned;
    assigned = std::move(moved);
    for (const Stringer* from : {&original, &moved}) {
        EXPECT_EQ(from->ToString(), "");
        EXPECT_EQ(from->Depth(), 0u);
        EXPECT_EQ(from->OutputLimit(), 64u);
    }
    assigned.Value(3).CloseArray();
    EXPECT_EQ(copy.ToString(), "[\n  1,\n  2\n]");
    EXPECT_EQ(assigned.ToString(), "[\n  1,\n  3\n]");

    // A taken stream carries on after the text; the Stringer starts a new
    // document with its settings, and may itself continue a stream.
    std::stringstream taken = assigned.TakeStream();
    taken << "!";
    EXPECT_EQ(taken.str(), "[\n  1,\n  3\n]!");
    EXPECT_EQ(assigned.OutputLimit(), 64u);
    assigned.Array().Value(2).CloseArray();
    EXPECT_EQ(assigned.ToString(), "[\n  2\n]");
    Stringer continued(std::move(taken));
    continued.Object().Key("k").Value(1).CloseObject();
    EXPECT_EQ(continued.ToString(), "[\n  1,\n  3\n]!{\"k\":1}");
}

// The common case is written inline (compact, no limit, nothing to escape);
// a limit, however large, sends every call the checked way.
TEST(StringerTest, InlineAndCheckedWritesGiveTheSameBytes) {
    static constexpr char key[] = "key";
    static constexpr char plain[] = "plain";
    static constexpr char escaped[] = "q\"\x01\xc3\xa9";
    static constexpr char cut[] = "ab\0cd";
    // Members, then array elements, then a value where a key is due.
    const auto write = [](bool strings, bool pretty, std::size_t limit) {
        Stringer s = Make(pretty, limit);
        const auto k = [&] { strings ? s.Key(std::string(key)) : s.Key(key); };
        const auto v = [&](const char* text) { strings ? s.Value(std::string(text, 5)) : s.Value(text); };
        const std::string error = ThrownBy([&] {
            s.Object();
            k(); v(plain); k(); v(escaped); k(); v(cut);
            s.Key("list").Array();
            v(plain); v(escaped); v(cut);
            s.CloseArray();
            v(plain);
        });
        return s.ToString() + " | " + error;
    };
    EXPECT_EQ(write(false, false, 0),
              "{\"key\":\"plain\",\"key\":\"q\\\"\\u0001\xc3\xa9\",\"key\":\"ab\","
              "\"list\":[\"plain\",\"q\\\"\\u0001\xc3\xa9\",\"ab\"] | Stringer: a value where a key is due");
    EXPECT_EQ(write(false, false, 1 << 20), write(false, false, 0));
    for (const bool pretty : {false, true}) {
        for (const std::size_t limit : {0, 20, 33, 60, 1000}) {
            SCOPED_TRACE(::testing::Message() << "pretty " << pretty << " limit " << limit);
            EXPECT_EQ(write(true, pretty, limit), write(false, pretty, limit));
        }
    }
}

}  // namespace
