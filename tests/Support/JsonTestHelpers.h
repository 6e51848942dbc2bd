#pragma once

// Runs every writer and reader through all of its routes from one table row:
// a Model (any of the five converted types) and its JSON text. jsoncpp's
// messages are learned by provoking them, so that the tests compare against
// the real texts of the installed version.

#include "Support/ModelBuilders.h"

#include <Orv/Common/Serialization/Json/Stringer.h>
#include <Orv/Common/Serialization/Result.h>
#include <Orv/TimelineEngineModel/Serialization/Json/JsonToMediaInfoConverter.h>
#include <Orv/TimelineEngineModel/Serialization/Json/JsonToTimelineConverter.h>
#include <Orv/TimelineEngineModel/Serialization/Json/JsonToTrackConverter.h>
#include <Orv/TimelineEngineModel/Serialization/Json/JsonToTrackItemConverter.h>
#include <Orv/TimelineEngineModel/Serialization/Json/JsonToTransitionEffectConverter.h>
#include <Orv/TimelineEngineModel/Serialization/Json/MediaInfoToJsonConverter.h>
#include <Orv/TimelineEngineModel/Serialization/Json/TimelineToJsonConverter.h>
#include <Orv/TimelineEngineModel/Serialization/Json/TrackItemToJsonConverter.h>
#include <Orv/TimelineEngineModel/Serialization/Json/TrackToJsonConverter.h>
#include <Orv/TimelineEngineModel/Serialization/Json/TransitionEffectToJsonConverter.h>

#include <gtest/gtest.h>
#include <json/reader.h>
#include <json/value.h>

#include <cstddef>
#include <memory>
#include <stdexcept>
#include <string>
#include <type_traits>
#include <utility>
#include <variant>
#include <vector>

namespace Orv::Testing {

using Orv::Common::Serialization::Result;
using Orv::Common::Serialization::Json::Stringer;
using namespace Orv::TimelineEngineModel::Serialization::Json;

// A value of any converted type, a track item of any kind the model has.
using Model = std::variant<MediaInfo, TransitionEffect, MediaSummaryItem, FxAudioTransitionItem, FxVideoTransitionItem,
                           Track, Timeline>;

inline MediaInfoToJsonConverter WriterOf(const MediaInfo&) { return {}; }
inline TransitionEffectToJsonConverter WriterOf(const TransitionEffect&) { return {}; }
inline TrackItemToJsonConverter WriterOf(const TrackItem&) { return {}; }
inline TrackToJsonConverter WriterOf(const Track&) { return {}; }
inline TimelineToJsonConverter WriterOf(const Timeline&) { return {}; }
inline JsonToMediaInfoConverter ReaderOf(const MediaInfo&) { return {}; }
inline JsonToTransitionEffectConverter ReaderOf(const TransitionEffect&) { return {}; }
inline JsonToTrackItemConverter ReaderOf(const TrackItem&) { return {}; }
inline JsonToTrackConverter ReaderOf(const Track&) { return {}; }
inline JsonToTimelineConverter ReaderOf(const Timeline&) { return {}; }

template <typename T>
constexpr bool IsItem = std::is_base_of_v<TrackItem, T>;
template <typename T>
constexpr bool FilledInPlace = std::is_same_v<T, MediaInfo> || std::is_same_v<T, TransitionEffect>;

// Parses `text` with jsoncpp; fails the current test when it is not JSON.
inline ::Json::Value Parse(const std::string& text) {
    const std::unique_ptr<::Json::CharReader> reader(::Json::CharReaderBuilder().newCharReader());
    ::Json::Value root;
    std::string errors;
    EXPECT_TRUE(reader->parse(text.data(), text.data() + text.size(), &root, &errors)) << errors << "\n" << text;
    return root;
}

// The text of the `Exception` that `call` throws, "" when it returns.
template <typename Exception = std::exception, typename Call>
std::string ThrownBy(Call&& call) {
    try {
        call();
    } catch (const Exception& error) {
        return error.what();
    }
    return "";
}

// A Result: success when `message` is "", else failure with exactly that text.
inline void ExpectOutcome(const Result& result, const std::string& message) {
    EXPECT_EQ(static_cast<bool>(result), message.empty()) << result.ErrorMessage();
    EXPECT_EQ(result.ErrorMessage(), message);
}

// What a writer reports for an entry without an item.
inline const char* const EmptyEntryMessage = "track item entry holds no item";

// jsoncpp's message for looking a key up in `value` (neither object nor null).
inline std::string LookupMessage(const ::Json::Value& value) {
    return ThrownBy([&] { static_cast<void>(value["key"]); });
}

// Writes `model` through every route of its writer, each on a fresh Stringer
// with output limit `limit` (0: none): To with a constant argument, To with a
// moved one (which must stay unchanged), and Append into an open object,
// which must leave that object open. Each route gives `json` and fails with
// `message` ("" for success). A successful write also goes twice into an
// array, and is refused, writing nothing, where a key is due.
inline void ExpectWrites(const Model& model, const std::string& json, const std::string& message = "",
                         std::size_t limit = 0) {
    std::visit(
        [&](const auto& value) {
            using T = std::decay_t<decltype(value)>;
            const auto writer = WriterOf(value);
            Stringer constant, moved, open;
            for (Stringer* stringer : {&constant, &moved, &open}) {
                stringer->OutputLimit(limit);
            }
            ExpectOutcome(writer.To(value, constant), message);
            EXPECT_EQ(constant.ToString(), json);
            T copy = value;
            ExpectOutcome(writer.To(std::move(copy), moved), message);
            EXPECT_EQ(moved.ToString(), json);
            EXPECT_TRUE(copy == value);
            open.Object();
            if constexpr (IsItem<T>) {
                EXPECT_EQ(ThrownBy([&] { writer.Append(open, std::make_shared<T>(value)); }), message);
            } else {
                EXPECT_EQ(ThrownBy([&] { writer.Append(open, value); }), message);
            }
            EXPECT_EQ(open.Depth(), 1u);
            EXPECT_EQ(open.CloseObject().ToString(), json);
            if (message.empty()) {
                Stringer array, keyDue;
                array.Array();
                EXPECT_TRUE(writer.To(value, array) && writer.To(value, array));
                EXPECT_EQ(array.CloseArray().ToString(), "[" + json + "," + json + "]");
                keyDue.Object();
                const Result refused = writer.To(value, keyDue);
                EXPECT_EQ(keyDue.ToString(), "{");
                ExpectOutcome(refused, ThrownBy<std::logic_error>([&] { keyDue.Object(); }));  // the Stringer's own
            }
        },
        model);
}

// The same with the output limit set to end right after the first
// `lastAccepted` in the text that `model` writes without a limit, so that
// the next call that adds text is refused: `json` is what was written, with
// everything opened closed again.
inline void ExpectCutAfter(const Model& model, const std::string& lastAccepted, const std::string& json) {
    SCOPED_TRACE("cut after " + lastAccepted);
    Stringer full;
    std::visit([&](const auto& value) { static_cast<void>(WriterOf(value).To(value, full)); }, model);
    const std::size_t at = full.ToString().find(lastAccepted);
    ASSERT_NE(at, std::string::npos) << full.ToString();
    const std::size_t limit = at + lastAccepted.size();
    ExpectWrites(model, json, "Stringer: output limit of " + std::to_string(limit) + " bytes reached", limit);
}

// What a reader's pointer holds before a read: an empty media info or
// transition effect (filled in place), or an old item, track or timeline
// that holds a CountedItem (replaced by a new one).
template <typename T>
auto HeldBefore(int& live) {
    if constexpr (IsItem<T>) {
        return std::unique_ptr<TrackItem>(std::make_unique<CountedItem>(live));
    } else if constexpr (std::is_same_v<T, Track>) {
        return std::make_unique<Track>(MakeTrack("old", {std::make_shared<CountedItem>(live)}));
    } else if constexpr (std::is_same_v<T, Timeline>) {
        auto timeline = std::make_unique<Timeline>(MakeTimeline("old", "tx", 9, {}, {MediaInfo()}));
        timeline->Tracks().push_back(MakeTrack("old", {std::make_shared<CountedItem>(live)}));
        return timeline;
    } else {
        return std::make_unique<T>();
    }
}

// Reads `json` through every route of the reader of `expected`'s type: the
// pointer form with a constant and a moved input (see HeldBefore), and the
// reference form (which lets failures through) into a new value; a track
// item has no reference form. Each gives `expected` and fails with
// `message` ("" for success).
inline void ExpectReads(const ::Json::Value& json, const Model& expected, const std::string& message = "") {
    std::visit(
        [&](const auto& want) {
            using T = std::decay_t<decltype(want)>;
            const auto reader = ReaderOf(want);
            for (const bool moved : {false, true}) {
                int live = 0;
                auto pointer = HeldBefore<T>(live);
                const void* const held = pointer.get();
                ExpectOutcome(moved ? reader.To(::Json::Value(json), pointer) : reader.To(json, pointer), message);
                ASSERT_NE(pointer, nullptr);
                EXPECT_TRUE(*pointer == want);
                EXPECT_EQ(live, 0);
                EXPECT_EQ(pointer.get() == held, FilledInPlace<T>);
            }
            if constexpr (!IsItem<T>) {
                T target;
                EXPECT_EQ(ThrownBy([&] { static_cast<void>(reader.To(json, target)); }), message);
                EXPECT_EQ(target, want);
            }
        },
        expected);
}

// Reads `json` over `before` through the routes that fill an existing value:
// the reference form (and the pointer form of a media info or transition
// effect); for a track item Append, which reads neither "_type" nor "id".
// Each gives `expected` and fails with `message`.
inline void ExpectReadsOver(const Model& before, const ::Json::Value& json, const Model& expected,
                            const std::string& message = "") {
    std::visit(
        [&](const auto& value) {
            using T = std::decay_t<decltype(value)>;
            const auto reader = ReaderOf(value);
            T target = value;
            if constexpr (IsItem<T>) {
                EXPECT_EQ(ThrownBy([&] { static_cast<void>(reader.Append(json, target)); }), message);
            } else {
                EXPECT_EQ(ThrownBy([&] { static_cast<void>(reader.To(json, target)); }), message);
            }
            EXPECT_TRUE(target == std::get<T>(expected));
            if constexpr (FilledInPlace<T>) {
                auto pointer = std::make_unique<T>(value);
                ExpectOutcome(reader.To(json, pointer), message);
                EXPECT_EQ(*pointer, std::get<T>(expected));
            }
        },
        before);
}

}  // namespace Orv::Testing
