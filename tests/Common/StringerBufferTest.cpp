#include <Orv/Common/Serialization/Json/Stringer.h>

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdio>
#include <memory>
#include <stdexcept>
#include <string>

namespace {

using Orv::Common::Serialization::Json::Stringer;
namespace Detail = Orv::Common::Serialization::Json::Detail;

// The escaping rules applied byte by byte: the reference for the word scanners.
std::string EscapedByHand(const std::string& text) {
    const std::string shortForms = "\"\"\\\\\bb\ff\nn\rr\tt";  // each byte, then its letter
    std::string out = "\"";
    for (std::size_t i = 0; i < text.size() && text[i] != '\0'; ++i) {  // a text ends at a NUL
        const std::size_t found = shortForms.find(text[i]);
        char code[8] = {text[i]};
        if (found % 2 == 0) {  // npos is odd
            std::snprintf(code, sizeof code, "\\%c", shortForms[found + 1]);
        } else if (static_cast<unsigned char>(text[i]) < 0x20) {
            std::snprintf(code, sizeof code, "\\u%04x", static_cast<unsigned char>(text[i]));
        }
        out += code;
    }
    return out + "\"";
}

// Every byte value at every place of every text up to 40 bytes long, among
// plain bytes of both halves (some one borrow away from a special byte), at
// alignments 0 to 7 in turn: the scanners stop exactly where a byte-at-a-time
// scan stops and read nothing past the text, which ends where its block ends.
TEST(StringerBufferTest, WordScannersStopWhereTheByteScanStops) {
    const char plain[] = {'a', '\x80', '\xff', ' ', '#', ']', '~', '\x7f'};
    for (std::size_t length = 0; length <= 40; ++length) {
        for (std::size_t place = 0; place < std::max<std::size_t>(length, 1); ++place) {
            for (std::size_t byte = 0; byte < 256; ++byte) {
                const std::size_t align = (place + byte) % 8;
                const std::unique_ptr<char[]> block(new char[align + length]);
                char* const text = block.get() + align;
                for (std::size_t i = 0; i < length; ++i) {
                    text[i] = i == place ? static_cast<char>(byte) : plain[(i + length) % 8];
                }
                std::size_t expected = 0;
                while (expected < length && !Detail::needsEscape[static_cast<unsigned char>(text[expected])]) {
                    ++expected;
                }
                char copy[48];
                ASSERT_EQ(Detail::CopyPlain(copy, text, length), expected) << length << " " << place << " " << byte;
                ASSERT_EQ(std::string(copy, expected), std::string(text, expected)) << length << " " << place;
                ASSERT_EQ(Detail::PlainPrefix(text, length), expected) << length << " " << place << " " << byte;
            }
        }
    }
}

// The same texts written each of the three ways: inline (compact), measured
// first (under an output limit) and escaped in one pass (pretty); as keys
// inline and under a limit.
TEST(StringerBufferTest, EveryWayWritesTheBytesTheRulesGive) {
    for (std::size_t length = 1; length <= 40; ++length) {
        for (int byte = 0; byte < 256; ++byte) {
            Stringer compact, limited, pretty = Stringer::PrettyStringer(), keys, limitedKeys;
            limited.OutputLimit(1u << 20);
            limitedKeys.OutputLimit(1u << 20);
            std::string expected = "[", expectedPretty = "[", expectedKeys = "{";
            for (std::size_t place = 0; place < length; ++place) {
                std::string text(length, 'x');
                text[place] = static_cast<char>(byte);
                for (Stringer* s : {&compact, &limited, &pretty}) {
                    (place == 0 ? s->Array() : *s).Value(text);
                }
                const std::string escaped = EscapedByHand(text);
                expected += (place == 0 ? "" : ",") + escaped;
                expectedPretty += (place == 0 ? "\n  " : ",\n  ") + escaped;
                for (Stringer* s : {&keys, &limitedKeys}) {
                    (place == 0 ? s->Object() : *s).Key(text).Value(place);
                }
                expectedKeys += (place == 0 ? "" : ",") + escaped + ":" + std::to_string(place);
            }
            EXPECT_EQ(compact.CloseArray().ToString(), expected + "]") << length << " " << byte;
            EXPECT_EQ(limited.CloseArray().ToString(), expected + "]") << length << " " << byte;
            EXPECT_EQ(pretty.CloseArray().ToString(), expectedPretty + "\n]") << length << " " << byte;
            EXPECT_EQ(keys.CloseObject().ToString(), expectedKeys + "}") << length << " " << byte;
            EXPECT_EQ(limitedKeys.CloseObject().ToString(), expectedKeys + "}") << length << " " << byte;
        }
    }
}

// Documents from a few bytes to a few hundred KiB, with texts of every length
// up to 300: every growth step keeps the text byte for byte, a reservation
// made after some text changes nothing of it, and TakeString() hands the text
// over and leaves the Stringer empty and reusable with its settings.
TEST(StringerBufferTest, GrowsReservesAndHandsOverTheTextExactly) {
    const struct {
        const char* name;
        std::size_t reserve;
        std::size_t limit;
    } cases[] = {{"growing", 0, 0}, {"reserved", 1u << 20, 0}, {"limited", 1u << 20, 1u << 21}};
    for (const auto& c : cases) {
        Stringer s;
        s.OutputLimit(c.limit);
        for (std::size_t count : {1u, 7u, 60u, 700u, 2000u}) {
            std::string expected = "{";
            s.Object().Reserve(c.reserve);
            for (std::size_t i = 0; i < count; ++i) {
                const std::string text(i % 300, static_cast<char>('a' + i % 26));
                s.Key(std::to_string(i)).Value(text);
                expected += (i == 0 ? "\"" : ",\"") + std::to_string(i) + "\":\"" + text + "\"";
            }
            const std::string taken = s.CloseObject().TakeString();
            EXPECT_EQ(taken, expected + "}") << c.name << " " << count;
            EXPECT_EQ(s.ToString() + std::to_string(s.OutputLimit()), std::to_string(c.limit)) << c.name;
        }
    }
    Stringer pretty = Stringer::PrettyStringer();
    EXPECT_EQ(pretty.Array().Value("a").CloseArray().TakeString(), "[\n  \"a\"\n]");
    EXPECT_EQ(pretty.Array().Value("b").CloseArray().TakeString(), "[\n  \"b\"\n]");
    // A reservation that cannot be made changes nothing; one past the output
    // limit reserves only what the limit leaves.
    Stringer s;
    EXPECT_THROW(s.Array().Value("a").Reserve(std::string().max_size()), std::length_error);
    EXPECT_EQ(s.Value("b").CloseArray().ToString(), R"(["a","b"])");
    s.OutputLimit(100);
    s.TakeString();
    s.Reserve(std::string().max_size());
    EXPECT_LT(s.Array().CloseArray().TakeString().capacity(), 1024u * 1024u);
}

}  // namespace
