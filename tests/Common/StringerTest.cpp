#include <Orv/Common/Serialization/Json/Stringer.h>

#include <gtest/gtest.h>
#include <json/reader.h>
#include <json/value.h>

#include <cmath>
#include <cstdint>
#include <functional>
#include <limits>
#include <memory>
#include <random>
#include <sstream>
#include <stdexcept>
#include <string>
#include <vector>

namespace {

using Orv::Common::Serialization::Json::Stringer;
using Build = std::function<void(Stringer&)>;

// Parses `text` with jsoncpp; fails the test when it is not JSON.
::Json::Value Parse(const std::string& text) {
    ::Json::CharReaderBuilder builder;
    builder["collectComments"] = false;
    const std::unique_ptr<::Json::CharReader> reader(builder.newCharReader());
    ::Json::Value root;
    std::string errors;
    EXPECT_TRUE(reader->parse(text.data(), text.data() + text.size(), &root, &errors)) << errors << "\n" << text;
    return root;
}

// Runs `call` and returns the message of the `Exception` it throws ("" if none).
template <typename Exception>
std::string MessageOf(const std::function<void()>& call) {
    try {
        call();
    } catch (const Exception& e) {
        return e.what();
    }
    return "";
}

struct LayoutCase {
    const char* name;
    Build build;
    const char* compact;
    const char* pretty;
};

TEST(StringerTest, LaysOutCompactAndPrettyText) {
    const LayoutCase cases[] = {
        {"member pair",
         [](Stringer& s) { s.Object().Key("mediaAssetId").Value("A1").Key("limitDuration").Value("250").CloseObject(); },
         R"({"mediaAssetId":"A1","limitDuration":"250"})", "{\n  \"mediaAssetId\": \"A1\",\n  \"limitDuration\": \"250\"\n}"},
        {"nested",
         [](Stringer& s) {
             s.Object().Key("a").Value("1").Key("b").Array().Value("x").Object().CloseObject().CloseArray().CloseObject();
         },
         R"({"a":"1","b":["x",{}]})", "{\n  \"a\": \"1\",\n  \"b\": [\n    \"x\",\n    {}\n  ]\n}"},
        {"empty object", [](Stringer& s) { s.Object().CloseObject(); }, "{}", "{}"},
        {"empty array", [](Stringer& s) { s.Array().CloseArray(); }, "[]", "[]"},
        {"scalars in array",
         [](Stringer& s) {
             s.Array().Value(true).Value(false).Value(int32_t{-7}).Value(1.5).NullValue().Array().CloseArray().CloseArray();
         },
         "[true,false,-7,1.5,null,[]]", "[\n  true,\n  false,\n  -7,\n  1.5,\n  null,\n  []\n]"},
        {"object in object",
         [](Stringer& s) { s.Object().Key("o").Object().Key("k").NullValue().CloseObject().CloseObject(); },
         R"({"o":{"k":null}})", "{\n  \"o\": {\n    \"k\": null\n  }\n}"},
        {"top-level string", [](Stringer& s) { s.Value(std::string("t")); }, R"("t")", R"("t")"},
        {"top-level number", [](Stringer& s) { s.Value(int32_t{42}); }, "42", "42"},
    };
    for (const auto& c : cases) {
        Stringer compact;
        c.build(compact);
        EXPECT_EQ(compact.ToString(), c.compact) << c.name;
        EXPECT_EQ(compact.Depth(), 0u) << c.name;
        Parse(compact.ToString());
        Stringer pretty = Stringer::PrettyStringer();
        c.build(pretty);
        EXPECT_EQ(pretty.ToString(), c.pretty) << c.name;
        Parse(pretty.ToString());
    }
}

TEST(StringerTest, EscapesKeysAndValues) {
    const struct {
        std::string input;
        std::string escaped;  // without the quotes
    } cases[] = {
        {"\"", R"(\")"},      {"\\", R"(\\)"},      {"\b", R"(\b)"},      {"\f", R"(\f)"},
        {"\n", R"(\n)"},      {"\r", R"(\r)"},      {"\t", R"(\t)"},      {"\x01", R"(\u0001)"},
        {"\x1f", R"(\u001f)"}, {"\x7f", "\x7f"},     {"\x80", "\x80"},     {"\xff", "\xff"},
        {"h\xc3\xa9!", "h\xc3\xa9!"}, {"a\"b\\c\nd", R"(a\"b\\c\nd)"}, {"", ""},
        {std::string("cut\0here", 8), "cut"},
    };
    for (const auto& c : cases) {
        Stringer value;
        value.Value(c.input);
        EXPECT_EQ(value.ToString(), "\"" + c.escaped + "\"") << c.escaped;
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
    std::uniform_int_distribution<int> bytes(1, 255);
    std::string noise;
    for (int i = 0; i < 4096; ++i) {
        noise += static_cast<char>(bytes(random));
    }
    inputs.push_back(noise);
    for (const auto& input : inputs) {
        Stringer s;
        s.Value(input);
        std::string document = "[";
        document += s.ToString();
        document += ']';
        const ::Json::Value parsed = Parse(document);
        ASSERT_TRUE(parsed.isArray() && parsed.size() == 1u && parsed[0].isString());
        EXPECT_EQ(parsed[0].asString(), input) << "first byte " << static_cast<int>(static_cast<unsigned char>(input[0]));
    }
}

TEST(StringerTest, WritesNumbers) {
    const struct {
        double value;
        const char* text;
    } doubles[] = {{0.1, "0.1"},     {1.5, "1.5"},     {250.0, "250"},     {-0.0, "-0"},
                   {1e300, "1e+300"}, {5e-324, "5e-324"}, {1.0 / 3.0, "0.3333333333333333"}};
    for (const auto& d : doubles) {
        Stringer s;
        s.Value(d.value);
        EXPECT_EQ(s.ToString(), d.text);
        EXPECT_EQ(Parse(s.ToString()).asDouble(), d.value) << d.text;
    }
    Stringer ints;
    ints.Array().Value(std::numeric_limits<int32_t>::min()).Value(std::numeric_limits<int32_t>::max()).Value(0).CloseArray();
    EXPECT_EQ(ints.ToString(), "[-2147483648,2147483647,0]");
}

TEST(StringerTest, RefusesNonFiniteNumbers) {
    for (const double value : {std::numeric_limits<double>::infinity(), -std::numeric_limits<double>::infinity(),
                               std::numeric_limits<double>::quiet_NaN()}) {
        Stringer s;
        s.Array();
        EXPECT_EQ(MessageOf<std::invalid_argument>([&] { s.Value(value); }),
                  "Stringer: a non-finite number has no JSON form");
        s.Value(1).CloseArray();
        EXPECT_EQ(s.ToString(), "[1]");
    }
}

TEST(StringerTest, RefusesMisuseWithoutWriting) {
    const struct {
        const char* name;
        Build setup;
        Build misuse;
        const char* message;
    } cases[] = {
        {"second top-level value", [](Stringer& s) { s.Value(1); }, [](Stringer& s) { s.Value(2); },
         "Stringer: a second top-level value"},
        {"second top-level object", [](Stringer& s) { s.Object().CloseObject(); }, [](Stringer& s) { s.Object(); },
         "Stringer: a second top-level value"},
        {"key at top level", [](Stringer&) {}, [](Stringer& s) { s.Key("k"); }, "Stringer: Key() outside an object"},
        {"key in array", [](Stringer& s) { s.Array(); }, [](Stringer& s) { s.Key("k"); },
         "Stringer: Key() outside an object"},
        {"key after key", [](Stringer& s) { s.Object().Key("a"); }, [](Stringer& s) { s.Key("b"); },
         "Stringer: Key() while a key already awaits its value"},
        {"value without key", [](Stringer& s) { s.Object().Key("a").Value(1); }, [](Stringer& s) { s.Value(2); },
         "Stringer: a value where a key is due"},
        {"array without key", [](Stringer& s) { s.Object(); }, [](Stringer& s) { s.Array(); },
         "Stringer: a value where a key is due"},
        {"close object with nothing open", [](Stringer&) {}, [](Stringer& s) { s.CloseObject(); },
         "Stringer: CloseObject() without an open object"},
        {"close object in array", [](Stringer& s) { s.Object().Key("a").Array(); }, [](Stringer& s) { s.CloseObject(); },
         "Stringer: CloseObject() without an open object"},
        {"close array with nothing open", [](Stringer& s) { s.Array().CloseArray(); }, [](Stringer& s) { s.CloseArray(); },
         "Stringer: CloseArray() without an open array"},
        {"close array in object", [](Stringer& s) { s.Array().Object(); }, [](Stringer& s) { s.CloseArray(); },
         "Stringer: CloseArray() without an open array"},
        {"null value pointer", [](Stringer& s) { s.Array(); },
         [](Stringer& s) { s.Value(static_cast<const char*>(nullptr)); }, "Stringer: a null string pointer"},
        {"null key pointer", [](Stringer& s) { s.Object(); },
         [](Stringer& s) { s.Key(static_cast<const char*>(nullptr)); }, "Stringer: a null string pointer"},
    };
    for (const auto& c : cases) {
        Stringer s;
        c.setup(s);
        const std::string before = s.ToString();
        const std::size_t depth = s.Depth();
        EXPECT_EQ(MessageOf<std::logic_error>([&] { c.misuse(s); }), c.message) << c.name;
        EXPECT_EQ(s.ToString(), before) << c.name;
        EXPECT_EQ(s.Depth(), depth) << c.name;
    }
    // A refused call changes no state: the document carries on as before it.
    Stringer s;
    s.Object().Key("a");
    EXPECT_THROW(s.Key("b"), std::logic_error);
    s.Value(1).Key("c").Value(2).CloseObject();
    EXPECT_EQ(s.ToString(), R"({"a":1,"c":2})");
}

TEST(StringerTest, RefusesTheCallThatPassesTheLimit) {
    // The last call of each document must be accepted at a limit equal to the
    // document's length and refused one byte below it.
    const struct {
        const char* name;
        Build setup;
        Build last;
    } cases[] = {
        {"first key", [](Stringer& s) { s.Object(); }, [](Stringer& s) { s.Key("k\n"); }},
        {"second key", [](Stringer& s) { s.Object().Key("a").Value(1); }, [](Stringer& s) { s.Key("b"); }},
        {"string", [](Stringer& s) { s.Array().Value("x"); }, [](Stringer& s) { s.Value("q\"\x01"); }},
        {"int", [](Stringer& s) { s.Array().Value("x"); }, [](Stringer& s) { s.Value(12345); }},
        {"double", [](Stringer& s) { s.Object().Key("d"); }, [](Stringer& s) { s.Value(0.25); }},
        {"bool", [](Stringer& s) { s.Array().Value(1); }, [](Stringer& s) { s.Value(false); }},
        {"null", [](Stringer& s) { s.Array().Value(1); }, [](Stringer& s) { s.NullValue(); }},
        {"object", [](Stringer& s) { s.Array().Value(1); }, [](Stringer& s) { s.Object(); }},
        {"array", [](Stringer& s) { s.Object().Key("a"); }, [](Stringer& s) { s.Array(); }},
        {"top-level", [](Stringer&) {}, [](Stringer& s) { s.Value("top"); }},
    };
    for (const bool pretty : {false, true}) {
        for (const auto& c : cases) {
            Stringer full = pretty ? Stringer::PrettyStringer() : Stringer();
            c.setup(full);
            c.last(full);
            const std::size_t length = full.ToString().size();

            Stringer exact = pretty ? Stringer::PrettyStringer() : Stringer();
            exact.OutputLimit(length);
            c.setup(exact);
            c.last(exact);
            EXPECT_EQ(exact.ToString(), full.ToString()) << c.name;

            Stringer refused = pretty ? Stringer::PrettyStringer() : Stringer();
            refused.OutputLimit(length - 1);
            c.setup(refused);
            const std::string before = refused.ToString();
            const std::size_t depth = refused.Depth();
            EXPECT_EQ(MessageOf<std::length_error>([&] { c.last(refused); }),
                      "Stringer: output limit of " + std::to_string(length - 1) + " bytes reached")
                << c.name << (pretty ? " pretty" : "");
            EXPECT_EQ(refused.ToString(), before) << c.name;
            EXPECT_EQ(refused.Depth(), depth) << c.name;
        }
    }
}

TEST(StringerTest, ClosesPastTheLimitAndDropsADanglingKey) {
    const struct {
        bool pretty;
        Build build;  // ends with a value refused for the limit, a key awaiting it
        const char* closed;
    } cases[] = {
        {false, [](Stringer& s) { s.Array().Object().Key("a").Value(1).Key("b"); }, R"([{"a":1}])"},
        {false, [](Stringer& s) { s.Array().Object().Key("b"); }, "[{}]"},
        {true, [](Stringer& s) { s.Array().Object().Key("a").Value(1).Key("b"); }, "[\n  {\n    \"a\": 1\n  }\n]"},
        {true, [](Stringer& s) { s.Array().Object().Key("b"); }, "[\n  {}\n]"},
    };
    for (const auto& c : cases) {
        Stringer s = c.pretty ? Stringer::PrettyStringer() : Stringer();
        c.build(s);
        s.OutputLimit(s.ToString().size() + 3);
        EXPECT_THROW(s.Value("long"), std::length_error);
        s.CloseObject().CloseArray();
        EXPECT_EQ(s.ToString(), c.closed);
        EXPECT_TRUE(Parse(s.ToString()).isArray());
    }
    // Closes go through even when the text is already past the limit.
    Stringer s;
    s.Array().Array().Array();
    s.OutputLimit(3);
    EXPECT_THROW(s.Value(1), std::length_error);
    s.CloseArray().CloseArray().CloseArray();
    EXPECT_EQ(s.ToString(), "[[[]]]");
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
    EXPECT_EQ(MessageOf<std::logic_error>([&] { auto scope = top.ObjectScope("k"); }),
              "Stringer: Key() outside an object");
    EXPECT_EQ(top.ToString(), "");

    // A moved-from scope closes nothing: the container opened after the
    // moved-to scope has closed stays open.
    Stringer movedObject;
    movedObject.Array();
    {
        auto first = movedObject.ObjectScope();
        { Stringer::InternalObjectScope second(std::move(first)); }
        movedObject.Object();
    }
    EXPECT_EQ(movedObject.ToString(), "[{},{");
    Stringer movedArray;
    movedArray.Array();
    {
        auto first = movedArray.ArrayScope();
        { Stringer::InternalArrayScope second(std::move(first)); }
        movedArray.Array();
    }
    EXPECT_EQ(movedArray.ToString(), "[[],[");

    // A close the Stringer refuses stays inside the destructor.
    Stringer unbalanced;
    unbalanced.Array();
    {
        auto object = unbalanced.ObjectScope();
        unbalanced.CloseObject().Array();
    }
    EXPECT_EQ(unbalanced.ToString(), "[{},[");
    EXPECT_EQ(unbalanced.Depth(), 2u);
}

TEST(StringerTest, ContinuesAndHandsOverStreams) {
    std::stringstream start;
    start << "prefix:";
    Stringer s(std::move(start));
    s.OutputLimit(64);
    s.Object().Key("k").Value(1).CloseObject();
    EXPECT_EQ(s.ToString(), R"(prefix:{"k":1})");

    std::stringstream taken = s.TakeStream();
    EXPECT_EQ(taken.str(), R"(prefix:{"k":1})");
    taken << "!";
    EXPECT_EQ(taken.str(), R"(prefix:{"k":1}!)");
    EXPECT_EQ(s.ToString(), "");
    EXPECT_EQ(s.Depth(), 0u);
    EXPECT_EQ(s.OutputLimit(), 64u);

    // The taken Stringer starts a new document, keeping its layout.
    Stringer pretty = Stringer::PrettyStringer();
    pretty.Array().Value(1);
    (void)pretty.TakeStream();
    pretty.Array().Value(2).CloseArray();
    EXPECT_EQ(pretty.ToString(), "[\n  2\n]");
}

TEST(StringerTest, CopiesAreIndependent) {
    Stringer original;
    original.Array().Value(1);
    Stringer copy = original;
    copy.Value(2).CloseArray();
    original.CloseArray();
    EXPECT_EQ(original.ToString(), "[1]");
    EXPECT_EQ(copy.ToString(), "[1,2]");
}

}  // namespace

namespace {

// Writes one member (or element) through the character-array overloads or
// through the pointer overloads; both must give the same text and errors.
std::string WriteThrough(bool arrayForm, bool pretty, std::size_t limit, bool inArray) {
    static constexpr char key[] = "key";
    static constexpr char plain[] = "plain";
    static constexpr char escaped[] = "q\"\x01\xc3\xa9";
    static constexpr char cut[] = "ab\0cd";
    Stringer stringer = pretty ? Stringer::PrettyStringer() : Stringer();
    stringer.OutputLimit(limit);
    std::string outcome;
    try {
        stringer.Object();
        if (inArray) {
            stringer.Key("list").Array();
        }
        for (int i = 0; i < 3; ++i) {
            if (!inArray) {
                arrayForm ? stringer.Key<sizeof key>(key) : stringer.Key(static_cast<const char*>(key));
            }
            const char* values[] = {plain, escaped, cut};
            if (arrayForm) {
                i == 0 ? stringer.Value<sizeof plain>(plain)
                       : i == 1 ? stringer.Value<sizeof escaped>(escaped) : stringer.Value<sizeof cut>(cut);
            } else {
                stringer.Value(values[i]);
            }
        }
        // A value where a key is due: refused the same way by both forms.
        if (!inArray) {
            arrayForm ? stringer.Value<sizeof plain>(plain) : stringer.Value(static_cast<const char*>(plain));
        }
    } catch (const std::exception& error) {
        outcome = error.what();
    }
    return stringer.ToString() + " | " + outcome;
}

}  // namespace

TEST(StringerTest, CharacterArrayOverloadsWriteLikeThePointerForms) {
    // Exact text once, then every layout and limit against the pointer forms.
    EXPECT_EQ(WriteThrough(true, false, 0, false),
              "{\"key\":\"plain\",\"key\":\"q\\\"\\u0001\xc3\xa9\",\"key\":\"ab\" | "
              "Stringer: a value where a key is due");
    EXPECT_EQ(WriteThrough(true, false, 0, true), "{\"list\":[\"plain\",\"q\\\"\\u0001\xc3\xa9\",\"ab\" | ");
    for (const bool pretty : {false, true}) {
        for (const bool inArray : {false, true}) {
            for (const std::size_t limit : {std::size_t{0}, std::size_t{20}, std::size_t{33}, std::size_t{1000}}) {
                SCOPED_TRACE(::testing::Message() << "pretty " << pretty << " array " << inArray << " limit " << limit);
                EXPECT_EQ(WriteThrough(true, pretty, limit, inArray), WriteThrough(false, pretty, limit, inArray));
            }
        }
    }
}
