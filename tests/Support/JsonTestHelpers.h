#pragma once

// Small helpers shared by the converter tests: parse text with jsoncpp, run a
// writer and take its text, and learn the exact messages of the Stringer and
// of jsoncpp by provoking them, so the tests compare against the real texts
// without copying them.

#include <Orv/Common/Serialization/Json/Stringer.h>
#include <Orv/Common/Serialization/Result.h>

#include <gtest/gtest.h>
#include <json/reader.h>
#include <json/value.h>

#include <cstddef>
#include <cstdint>
#include <functional>
#include <memory>
#include <stdexcept>
#include <string>
#include <vector>

namespace Orv::Testing {

using Orv::Common::Serialization::Result;
using Orv::Common::Serialization::Json::Stringer;

// Parses `text` with jsoncpp; fails the current test when it is not JSON.
inline ::Json::Value Parse(const std::string& text) {
    ::Json::CharReaderBuilder builder;
    const std::unique_ptr<::Json::CharReader> reader(builder.newCharReader());
    ::Json::Value root;
    std::string errors;
    EXPECT_TRUE(reader->parse(text.data(), text.data() + text.size(), &root, &errors)) << errors << "\n" << text;
    return root;
}

// What one writer call left behind.
struct Written {
    Result result;
    std::string text;
};

// Runs `converter.To(value, stringer)` on a fresh Stringer with the given
// output limit (0: none) and returns the result and the text.
template <typename Converter, typename T>
Written Write(const Converter& converter, const T& value, std::size_t limit = 0) {
    Stringer stringer;
    stringer.OutputLimit(limit);
    Result result = converter.To(value, stringer);
    return {result, stringer.ToString()};
}

// Writes `value` once without a limit, then again with the output limit set
// to end right after the first occurrence of `lastAccepted` in that text, so
// that the next Stringer call that adds text is refused. `limit` receives it.
template <typename Converter, typename T>
Written WriteCutAfter(const Converter& converter, const T& value, const std::string& lastAccepted,
                      std::size_t& limit) {
    const std::string full = Write(converter, value).text;
    const std::size_t at = full.find(lastAccepted);
    EXPECT_NE(at, std::string::npos) << lastAccepted << " not in " << full;
    limit = at == std::string::npos ? 1 : at + lastAccepted.size();
    return Write(converter, value, limit);
}

// The text of the exception of type `Exception` that `call` throws; fails the
// current test and returns "" when it throws nothing.
template <typename Exception = std::exception>
std::string MessageOf(const std::function<void()>& call) {
    try {
        call();
    } catch (const Exception& error) {
        return error.what();
    }
    ADD_FAILURE() << "no exception was thrown";
    return "";
}

// The Stringer's message for a call refused by an output limit of `limit` bytes.
inline std::string LimitMessage(std::size_t limit) {
    return MessageOf<std::length_error>([&] {
        Stringer stringer;
        stringer.OutputLimit(limit);
        stringer.Value(std::string(limit + 1, 'x'));
    });
}

// The Stringer's message for an Object() where a key is due.
inline std::string ValueWhereKeyIsDueMessage() {
    return MessageOf<std::logic_error>([] {
        Stringer stringer;
        stringer.Object();
        stringer.Object();
    });
}

// jsoncpp's message for looking a key up in `value` (neither object nor null).
inline std::string LookupMessage(const ::Json::Value& value) {
    return MessageOf([&] { static_cast<void>(value["key"]); });
}

// How the readers take the text of a 64-bit integer member: std::stoll in
// base 10. Shared by every reader that has such a member.
struct IntegerTextCase {
    enum Outcome { Value, InvalidArgument, OutOfRange };
    std::string text;
    Outcome outcome;
    int64_t value;  // when outcome is Value
};

inline const std::vector<IntegerTextCase>& IntegerTexts() {
    using C = IntegerTextCase;
    static const std::vector<C> cases = {
        {"5", C::Value, 5},
        {"+5", C::Value, 5},
        {" 7", C::Value, 7},
        {"\t\n 8", C::Value, 8},
        {"-100", C::Value, -100},
        {" -7", C::Value, -7},
        {"007", C::Value, 7},
        {"12abc", C::Value, 12},
        {"1e3", C::Value, 1},
        {"0x10", C::Value, 0},
        {"0x1F", C::Value, 0},
        {"4 2", C::Value, 4},
        {"-9223372036854775808", C::Value, INT64_MIN},
        {"9223372036854775807", C::Value, INT64_MAX},
        {"9223372036854775808", C::OutOfRange, 0},
        {"-9223372036854775809", C::OutOfRange, 0},
        {"99999999999999999999999", C::OutOfRange, 0},
        {"", C::InvalidArgument, 0},
        {"abc", C::InvalidArgument, 0},
        {" ", C::InvalidArgument, 0},
        {"+", C::InvalidArgument, 0},
        {"- 1", C::InvalidArgument, 0},
        {"x5", C::InvalidArgument, 0},
    };
    return cases;
}

// Checks a reference variant's call on one integer text: the member is set to
// the case's value (read back by `get`), or the call lets the right exception
// through with the text "stoll".
template <typename Call, typename Get>
void ExpectReferenceRead(const IntegerTextCase& c, Call&& call, Get&& get) {
    SCOPED_TRACE("text \"" + c.text + "\"");
    switch (c.outcome) {
        case IntegerTextCase::Value:
            EXPECT_TRUE(call());
            EXPECT_EQ(get(), c.value);
            break;
        case IntegerTextCase::InvalidArgument:
            EXPECT_EQ(MessageOf<std::invalid_argument>([&] { call(); }), "stoll");
            break;
        case IntegerTextCase::OutOfRange:
            EXPECT_EQ(MessageOf<std::out_of_range>([&] { call(); }), "stoll");
            break;
    }
}

// The same for a pointer variant, which reports the failure in its Result.
template <typename Call, typename Get>
void ExpectPointerRead(const IntegerTextCase& c, Call&& call, Get&& get) {
    SCOPED_TRACE("text \"" + c.text + "\"");
    const Result result = call();
    if (c.outcome == IntegerTextCase::Value) {
        EXPECT_TRUE(result) << result.ErrorMessage();
        EXPECT_EQ(get(), c.value);
    } else {
        EXPECT_FALSE(result);
        EXPECT_STREQ(result.ErrorMessage(), "stoll");
    }
}

// Values of every JSON type but string: the readers skip them silently.
inline std::vector<::Json::Value> NonStringValues() {
    ::Json::Value object(::Json::objectValue);
    object["k"] = "5";
    ::Json::Value array(::Json::arrayValue);
    array.append("5");
    return {::Json::Value(), ::Json::Value(5), ::Json::Value(-1.5), ::Json::Value(true), object, array};
}

}  // namespace Orv::Testing
