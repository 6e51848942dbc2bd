#pragma once

// Pieces of the checker's messages.

#include <Orv/Common/Serialization/Json/JsonObject.h>

#include "Utf8Validation.h"

#include <cstdio>
#include <string>
#include <string_view>

namespace Orv::TimelineEngineModel::Serialization::Json::Detail {

using Orv::Common::Serialization::Json::JsonObject;

// A text from the document as a message shows it: in double quotes, with
// quotes, backslashes and control characters escaped as in JSON and bytes
// that are not UTF-8 as \xHH, so that a message is always printable UTF-8.
// A text longer than 64 bytes shows its first 48 and "...".
inline std::string Quote(std::string_view text) {
    constexpr std::size_t longest = 64;
    constexpr std::size_t shown = 48;
    const bool cut = text.size() > longest;
    const std::string_view part = cut ? text.substr(0, shown) : text;
    std::string quoted = "\"";
    std::size_t i = 0;
    while (i < part.size()) {
        const std::size_t invalid = FirstInvalidUtf8(part.substr(i));
        const std::size_t validEnd = invalid == std::string_view::npos ? part.size() : i + invalid;
        for (; i < validEnd; ++i) {
            const auto byte = static_cast<unsigned char>(part[i]);
            char escape[8];
            if (byte == '"' || byte == '\\') {
                quoted += '\\';
                quoted += part[i];
            } else if (byte < 0x20) {
                std::snprintf(escape, sizeof escape, "\\u%04x", byte);
                quoted += escape;
            } else {
                quoted += part[i];
            }
        }
        if (i < part.size()) {
            char escape[8];
            std::snprintf(escape, sizeof escape, "\\x%02x", static_cast<unsigned char>(part[i]));
            quoted += escape;
            ++i;
        }
    }
    return quoted + (cut ? "...\"" : "\"");
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
