#pragma once

// Pieces of the checker's messages.

#include <Orv/Common/Serialization/Json/JsonObject.h>

#include <Orv/TimelineEngineModel/Serialization/Json/JsonDiagnostic.h>

#include <string>
#include <string_view>

namespace Orv::TimelineEngineModel::Serialization::Json::Detail {

using Orv::Common::Serialization::Json::JsonObject;

// A text from the document as a message shows it (QuotedText): printable
// UTF-8 in double quotes, shortened past 64 bytes.
inline std::string Quote(std::string_view text) {
    return QuotedText(text);
}

// "null", "a JSON number", ...: what a value is, for "X where a text is due".
inline const char* JsonTypeName(const JsonObject& value) {
    switch (value.type()) {
        case ::Json::nullValue: return "null";
        case ::Json::intValue:
        case ::Json::uintValue:
        case ::Json::realValue: return "a JSON number";
        case ::Json::stringValue: return "a JSON string";
        case ::Json::booleanValue: return "a JSON boolean";
        case ::Json::arrayValue: return "a JSON array";
        case ::Json::objectValue: return "a JSON object";
    }
    return "a JSON value";
}

}  // namespace Orv::TimelineEngineModel::Serialization::Json::Detail
