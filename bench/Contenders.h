#pragma once

// The other libraries, each driven by hand the way a careful user would: the
// same document, the same members in the same order, the same omissions.

#include <Orv/Common/Serialization/Json/JsonObject.h>
#include <Orv/TimelineEngineModel/Timeline.h>

#include <cstddef>
#include <cstdint>
#include <string>

namespace Orv::Bench {

using TimelineEngineModel::Timeline;

// ---- RapidJSON -----------------------------------------------------------

// One document through a fresh Writer<StringBuffer>; its text.
std::string RapidJsonText(const Timeline& timeline);
// The same, keeping only the length (the buffer is freed as in real use).
std::size_t RapidJsonWrite(const Timeline& timeline);
// DOM parse, then a hand-written conversion into the model.
Timeline RapidJsonRead(const std::string& text);

// ---- jsoncpp -------------------------------------------------------------

// The timeline built as a Json::Value tree.
Common::Serialization::Json::JsonObject JsonCppBuild(const Timeline& timeline);
// StreamWriterBuilder with indentation "" (compact).
std::string JsonCppWrite(const Common::Serialization::Json::JsonObject& value);
// CharReader from a default CharReaderBuilder.
Common::Serialization::Json::JsonObject JsonCppParse(const std::string& text);

// ---- nlohmann-json -------------------------------------------------------

// An ordered_json built member by member, then dumped compactly.
std::string NlohmannBuildDump(const Timeline& timeline);
// nlohmann::json::parse, then a hand-written conversion into the model.
Timeline NlohmannRead(const std::string& text);

// ---- shared by the hand-written conversions ------------------------------

// Decimal text to int64_t as std::stoll reads it (white space, sign, digits
// up to the first other character; "stoll" errors), on a text with a length.
std::int64_t ParseInteger(const char* text, std::size_t length);

}  // namespace Orv::Bench
