#include <Orv/Common/Serialization/Json/Stringer.h>

#include <gtest/gtest.h>
#include <json/reader.h>
#include <json/value.h>

#include <cstdint>
#include <cstdlib>
#include <functional>
#include <memory>
#include <random>
#include <sstream>
#include <stdexcept>
#include <string>
#include <utility>
#include <vector>

namespace {

using Orv::Common::Serialization::Json::Stringer;

// Parses `text` with jsoncpp; fails the test when it is not JSON.
::Json::Value Parse(const std::string& text) {
    const std::unique_ptr<::Json::CharReader> reader(::Json::CharReaderBuilder().newCharReader());
    ::Json::Value root;
    std::string errors;
    EXPECT_TRUE(reader->parse(text.data(), text.data() + text.size(), &root, &errors)) << errors << "\n" << text;
    return root;
}

// The message of the `Exception` that `call` throws, "" if it throws none.
template <typename Exception>
std::string MessageOf(const std::function<void()>& call) {
    try {
        call();
    } catch (const Exception& e) {
        return e.what();
    }
    return "";
}

Stringer Make(bool pretty, std::size_t limit = 0) {
    Stringer s = pretty ? Stringer::PrettyStringer() : Stringer();
    s.OutputLimit(limit);
    return s;
}

// Runs a script of Stringer calls separated by spaces: { } [ ] open and
// close, "k:name" a key, "s:text" a string, "d:number" a double, null, true,
// false, and anything else an int32_t.
void Play(Stringer& s, const std::string& script) {
    std::istringstream calls(script);
    for (std::string call; calls >> call;) {
        const std::string arg = call.size() > 1 && call[1] == ':' ? call.substr(2) : "";
        if (call == "{" || call == "}" || call == "[" || call == "]") {
            call == "{" ? s.Object() : call == "}" ? s.CloseObject() : call == "[" ? s.Array() : s.CloseArray();
        } else if (call == "null" || call == "true" || call == "false") {
            call == "null" ? s.NullValue() : s.Value(call == "true");
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
    return s.ToString();
}

// `call` on `s` throws an `Exception` with `message` and changes neither the text nor the depth.
template <typename Exception>
void ExpectRefused(Stringer& s, const std::function<void()>& call, const std::string& message) {
    const std::string before = s.ToString();
    const std::size_t depth = s.Depth();
    EXPECT_EQ(MessageOf<Exception>(call), message);
    EXPECT_EQ(s.ToString(), before);
    EXPECT_EQ(s.Depth(), depth);
}

TEST(StringerTest, LaysOutCompactAndPrettyText) {
    const char* const cases[][3] = {
        {"{ k:a s:1 k:b [ s:x { } ] k:o { k:k null } }", R"({"a":"1","b":["x",{}],"o":{"k":null}})",
         "{\n  \"a\": \"1\",\n  \"b\": [\n    \"x\",\n    {}\n  ],\n  \"o\": {\n    \"k\": null\n  }\n}"},
        {"{ }", "{}", "{}"},
        {"[ true false -2147483648 2147483647 d:1.5 null [ ] ]", "[true,false,-2147483648,2147483647,1.5,null,[]]",
         "[\n  true,\n  false,\n  -2147483648,\n  2147483647,\n  1.5,\n  null,\n  []\n]"},
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
    const struct {
        std::string input;
        std::string escaped;  // without the quotes
    } cases[] = {
        {"\"", R"(\")"},       {"\\", R"(\\)"},    {"\b", R"(\b)"},    {"\f", R"(\f)"},
        {"\n", R"(\n)"},       {"\r", R"(\r)"},    {"\t", R"(\t)"},    {"\x01", R"(\u0001)"},
        {"\x1f", R"(\u001f)"}, {"\x7f", "\x7f"},   {"\x80", "\x80"},   {"\xff", "\xff"},
        {"h\xc3\xa9!", "h\xc3\xa9!"}, {"a\"b\\c\nd", R"(a\"b\\c\nd)"}, {"", ""}, {"plain /", "plain /"},
        {std::string("cut\0here", 8), "cut"},
    };
    for (const auto& c : cases) {
        Stringer value;
        value.Array().Value(c.input).CloseArray();
        EXPECT_EQ(value.ToString(), "[\"" + c.escaped + "\"]") << c.escaped;
        Stringer key;
        key.Object().Key(c.input).NullValue().CloseObject();
        EXPECT_EQ(key.ToString(), "{\"" + c.escaped + "\":null}") << c.escaped;
    }
}

TEST(StringerTest, EveryByteRoundTripsThroughJsoncpp) {
    std::vector<std::string> inputs;
    for (int byte = 1; byte < 256; ++byte) {
        inputs.emplace_back(1, static_cast<char>(byte));
    }
    std::mt19937 random(20240611);
    inputs.emplace_back(4096, '\0');
    for (char& c : inputs.back()) {
        c = static_cast<char>(std::uniform_int_distribution<int>(1, 255)(random));
    }
    for (const auto& input : inputs) {
        Stringer s;
        s.Value(input);
        const ::Json::Value parsed = Parse("[" + s.ToString() + "]");
        EXPECT_EQ(parsed[0].asString(), input) << "first byte " << static_cast<int>(static_cast<unsigned char>(input[0]));
    }
}

TEST(StringerTest, WritesTheShortestTextThatReadsBackExactly) {
    const char* const cases[][2] = {{"0.1", "0.1"},       {"250.0", "250"},     {"-0.0", "-0"},
                                    {"1e300", "1e+300"}, {"5e-324", "5e-324"}, {"0.33333333333333331", "0.3333333333333333"}};
    for (const auto& [input, text] : cases) {
        EXPECT_EQ(Written(std::string("d:") + input), text);
        EXPECT_EQ(Parse(text).asDouble(), std::strtod(input, nullptr)) << text;
    }
}

TEST(StringerTest, RefusesMisuseWithoutWriting) {
    const char* const secondTop = "Stringer: a second top-level value";
    const char* const keyOutside = "Stringer: Key() outside an object";
    const char* const keyDue = "Stringer: a value where a key is due";
    const char* const closeObject = "Stringer: CloseObject() without an open object";
    const char* const closeArray = "Stringer: CloseArray() without an open array";
    const char* const nonFinite = "Stringer: a non-finite number has no JSON form";
    const char* const cases[][3] = {  // setup, refused call, message
        {"1", "2", secondTop},          {"{ }", "{", secondTop},        {"", "k:k", keyOutside},
        {"[", "k:k", keyOutside},       {"{ k:a 1", "2", keyDue},       {"{", "[", keyDue},
        {"", "}", closeObject},         {"{ k:a [", "}", closeObject},  {"[ ]", "]", closeArray},
        {"[ {", "]", closeArray},       {"[ 1", "d:inf", nonFinite},    {"[", "d:-inf", nonFinite},
        {"{ k:n", "d:nan", nonFinite},  {"{ k:a", "k:b", "Stringer: Key() while a key already awaits its value"},
    };
    for (const auto& [setup, call, message] : cases) {
        SCOPED_TRACE(std::string(setup) + " then " + call);
        Stringer s;
        Play(s, setup);
        ExpectRefused<std::logic_error>(s, [&] { Play(s, call); }, message);
    }
    Stringer s;
    s.Array();
    ExpectRefused<std::invalid_argument>(s, [&] { s.Value(static_cast<const char*>(nullptr)); },
                                         "Stringer: a null string pointer");
    Play(s, "{");
    ExpectRefused<std::invalid_argument>(s, [&] { s.Key(static_cast<const char*>(nullptr)); },
                                         "Stringer: a null string pointer");
    // A refused call changes no state: the document carries on as before it.
    Play(s, "k:a");
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
        for (const auto& [setup, last] : cases) {
            SCOPED_TRACE(std::string(setup) + " then " + last + (pretty ? " pretty" : ""));
            const std::string full = Written(std::string(setup) + " " + last, pretty);
            EXPECT_EQ(Written(std::string(setup) + " " + last, pretty, full.size()), full);
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
    // Closes go through even when the text is already past the limit.
    Stringer s;
    Play(s, "[ [ [");
    s.OutputLimit(3);
    EXPECT_THROW(s.Value(1), std::length_error);
    EXPECT_EQ(s.CloseArray().CloseArray().CloseArray().ToString(), "[[[]]]");
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
    EXPECT_EQ(s.Depth(), 0u);

    // An opening call that throws leaves no scope behind to close anything.
    Stringer top;
    EXPECT_EQ(MessageOf<std::logic_error>([&] { auto scope = top.ObjectScope("k"); }), "Stringer: Key() outside an object");
    EXPECT_EQ(top.ToString(), "");

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
    Stringer copy = original;
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

TEST(StringerTest, CharacterArrayOverloadsWriteLikeThePointerForms) {
    static constexpr char key[] = "key";
    static constexpr char plain[] = "plain";
    static constexpr char escaped[] = "q\"\x01\xc3\xa9";
    static constexpr char cut[] = "ab\0cd";
    // Members, then array elements, then a value where a key is due.
    const auto write = [](bool arrays, bool pretty, std::size_t limit) {
        Stringer s = Make(pretty, limit);
        const auto k = [&] { arrays ? s.Key<sizeof key>(key) : s.Key(static_cast<const char*>(key)); };
        const auto v = [&](const auto& text) {
            arrays ? s.Value<sizeof text>(text) : s.Value(static_cast<const char*>(text));
        };
        const std::string error = MessageOf<std::exception>([&] {
            s.Object();
            k(); v(plain); k(); v(escaped); k(); v(cut);
            s.Key("list").Array();
            v(plain); v(escaped); v(cut);
            s.CloseArray();
            v(plain);
        });
        return s.ToString() + " | " + error;
    };
    EXPECT_EQ(write(true, false, 0),
              "{\"key\":\"plain\",\"key\":\"q\\\"\\u0001\xc3\xa9\",\"key\":\"ab\","
              "\"list\":[\"plain\",\"q\\\"\\u0001\xc3\xa9\",\"ab\"] | Stringer: a value where a key is due");
    for (const bool pretty : {false, true}) {
        for (const std::size_t limit : {0, 20, 33, 60, 1000}) {
            SCOPED_TRACE(::testing::Message() << "pretty " << pretty << " limit " << limit);
            EXPECT_EQ(write(true, pretty, limit), write(false, pretty, limit));
        }
    }
}

}  // namespace
