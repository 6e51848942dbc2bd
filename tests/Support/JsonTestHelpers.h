#pragma once

// Helpers shared by the converter tests: parse text with jsoncpp, run a writer
// and check its text in every form, check a reader's outcome, and learn the
// exact messages of the Stringer and of jsoncpp by provoking them, so the
// tests compare against the real texts without copying them.

#include <Orv/Common/Serialization/Json/Stringer.h>
#include <Orv/Common/Serialization/Result.h>
#include <Orv/TimelineEngineModel/Serialization/Json/TrackItemToJsonConverter.h>

#include <gtest/gtest.h>
#include <json/reader.h>
#include <json/value.h>

#include <cstddef>
#include <cstdint>
#include <functional>
#include <memory>
#include <stdexcept>
#include <string>
#include <utility>
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

// Checks that Append writes the members of `json` into an open object and
// leaves it open.
template <typename Converter, typename T>
void ExpectAppends(const Converter& converter, const T& value, const std::string& json) {
    Stringer members;
    members.Object();
    converter.Append(members, value);
    EXPECT_EQ(members.Depth(), 1u);
    EXPECT_EQ(members.CloseObject().ToString(), json);
}

// Checks that both To overloads and Append write `value` as exactly `json`,
// and that the rvalue To leaves its argument as it was.
template <typename Converter, typename T>
void ExpectWrites(const Converter& converter, const T& value, const std::string& json) {
    const Written lvalue = Write(converter, value);
    EXPECT_TRUE(lvalue.result) << lvalue.result.ErrorMessage();
    EXPECT_EQ(lvalue.text, json);

    T copy = value;
    Stringer stringer;
    const Result rvalue = converter.To(std::move(copy), stringer);
    EXPECT_TRUE(rvalue) << rvalue.ErrorMessage();
    EXPECT_EQ(stringer.ToString(), json);
    EXPECT_TRUE(copy == value);  // not moved from
    ExpectAppends(converter, value, json);
}

// Writes `value` once without a limit, then again with the output limit set
// to end right after the first occurrence of `lastAccepted` in that text, so
// that the next Stringer call that adds text is refused. Checks that this
// write reports the limit and leaves `json`: what was written, with everything
// opened closed again. Returns the limit.
template <typename Converter, typename T>
std::size_t ExpectCutAfter(const Converter& converter, const T& value, const std::string& lastAccepted,
                           const std::string& json) {
    SCOPED_TRACE("cut after " + lastAccepted);
    const std::string full = Write(converter, value).text;
    const std::size_t at = full.find(lastAccepted);
    EXPECT_NE(at, std::string::npos) << lastAccepted << " not in " << full;
    const std::size_t limit = at == std::string::npos ? 1 : at + lastAccepted.size();
    const Written written = Write(converter, value, limit);
    EXPECT_FALSE(written.result);
    EXPECT_EQ(written.result.ErrorMessage(), LimitMessage(limit));
    EXPECT_EQ(written.text, json);
    return limit;
}

// Checks that a writer asked for a value where a key is due fails with the
// Stringer's message and writes nothing.
template <typename Converter, typename T>
void ExpectRefusedWhereKeyIsDue(const Converter& converter, const T& value) {
    Stringer stringer;
    stringer.Object();
    const Result result = converter.To(value, stringer);
    EXPECT_FALSE(result);
    EXPECT_EQ(result.ErrorMessage(), ValueWhereKeyIsDueMessage());
    EXPECT_EQ(stringer.ToString(), "{");
}

// The item writer's message for an entry without item.
inline std::string EmptyEntryMessage() {
    return MessageOf<std::invalid_argument>([] {
        Stringer stringer;
        stringer.Object();
        Orv::TimelineEngineModel::Serialization::Json::TrackItemToJsonConverter().Append(stringer, nullptr);
    });
}

// Checks a pointer-variant Result: success when `message` is empty, else
// failure with exactly that message.
inline void ExpectOutcome(const Result& result, const std::string& message) {
    EXPECT_EQ(static_cast<bool>(result), message.empty()) << result.ErrorMessage();
    EXPECT_EQ(result.ErrorMessage(), message);
}

// The text of whatever a reference-variant read throws (those let every
// failure through), or "" when it succeeds.
template <typename Call>
std::string ThrownBy(Call&& call) {
    try {
        EXPECT_TRUE(call());
    } catch (const std::exception& error) {
        return error.what();
    }
    return "";
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
        {"5", C::Value, 5},          {"+5", C::Value, 5},        {" 7", C::Value, 7},   {"\t\n 8", C::Value, 8},
        {"-100", C::Value, -100},    {" -7", C::Value, -7},      {"007", C::Value, 7},  {"12abc", C::Value, 12},
        {"1e3", C::Value, 1},        {"0x10", C::Value, 0},      {"0x1F", C::Value, 0}, {"4 2", C::Value, 4},
        {"-9223372036854775808", C::Value, INT64_MIN},           {"9223372036854775807", C::Value, INT64_MAX},
        {"9223372036854775808", C::OutOfRange, 0},               {"-9223372036854775809", C::OutOfRange, 0},
        {"99999999999999999999999", C::OutOfRange, 0},
        {"", C::InvalidArgument, 0}, {"abc", C::InvalidArgument, 0}, {" ", C::InvalidArgument, 0},
        {"+", C::InvalidArgument, 0}, {"- 1", C::InvalidArgument, 0}, {"x5", C::InvalidArgument, 0},
    };
    return cases;
}

// Checks a reference variant's call on one integer text: the member is set to
// the case's value (read back by `get`), or the call lets the right exception
// through with the text "stoll".
template <typename Call, typename Get>
void ExpectReferenceRead(const IntegerTextCase& c, Call&& call, Get&& get) {
    SCOPED_TRACE("text \"" + c.text + "\"");
    if (c.outcome == IntegerTextCase::Value) {
        EXPECT_TRUE(call());
        EXPECT_EQ(get(), c.value);
    } else if (c.outcome == IntegerTextCase::InvalidArgument) {
        EXPECT_EQ(MessageOf<std::invalid_argument>([&] { call(); }), "stoll");
    } else {
        EXPECT_EQ(MessageOf<std::out_of_range>([&] { call(); }), "stoll");
    }
}

// The same for a pointer variant, which reports the failure in its Result.
template <typename Call, typename Get>
void ExpectPointerRead(const IntegerTextCase& c, Call&& call, Get&& get) {
    SCOPED_TRACE("text \"" + c.text + "\"");
    ExpectOutcome(call(), c.outcome == IntegerTextCase::Value ? "" : "stoll");
    if (c.outcome == IntegerTextCase::Value) {
        EXPECT_EQ(get(), c.value);
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

// Inputs that are neither object nor null: the readers fail on them with
// jsoncpp's lookup message.
inline std::vector<::Json::Value> NonObjectValues() {
    return {::Json::Value(::Json::arrayValue), ::Json::Value("text"), ::Json::Value(5), ::Json::Value(1.5),
            ::Json::Value(false)};
}

}  // namespace Orv::Testing
