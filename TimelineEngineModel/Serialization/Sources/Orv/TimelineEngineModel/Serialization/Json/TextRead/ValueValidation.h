#pragma once

// What the text reader checks of every value, whether it reads it or not:
// that jsoncpp would accept it and decode it the same way. Format-free: the
// document's own members are read by FastTimelineReader.

#include "FastTimelineReader.h"

#include <simdjson.h>

#include <cstddef>
#include <string_view>

namespace Orv::TimelineEngineModel::Serialization::Json::Detail {

namespace od = simdjson::ondemand;

// A key or a string value, decoded by the parser, that jsoncpp decodes the
// same way and can hold. The parser refuses escapes that jsoncpp does not
// decode alike: a surrogate escape without its pair (jsoncpp joins a high one
// with whatever escape follows, and writes a lone low one as three bytes of
// invalid UTF-8).
inline bool DecodeKey(od::field& field, std::string_view& key) {
    return field.unescaped_key().get(key) == simdjson::SUCCESS && FastTimelineReader::JsoncppHolds(key.size(), true);
}

inline bool DecodeText(od::value& value, std::string_view& text) {
    return value.get_string().get(text) == simdjson::SUCCESS && FastTimelineReader::JsoncppHolds(text.size(), false);
}

// The type of a value, or no type at all (0) for what is no JSON value.
inline od::json_type TypeOf(od::value& value) {
    od::json_type type{};
    return value.type().get(type) == simdjson::SUCCESS ? type : od::json_type{};
}

// False for anything but an object; the caller checks for null then.
inline bool StartObject(od::value& value, od::object& object) {
    return TypeOf(value) == od::json_type::object && value.get_object().get(object) == simdjson::SUCCESS;
}

inline bool IsNull(od::value& value) {
    bool isNull = false;
    return value.is_null().get(isNull) == simdjson::SUCCESS && isNull;
}

// Checks a value the reader does not use, as jsoncpp would have to accept
// it: every key and string with its escapes, every number, every atom, every
// container to its end, no deeper than FastTimelineReader::MaxDepth.
inline bool Validate(od::value value, int depth) {
    if (depth > FastTimelineReader::MaxDepth) {
        return false;
    }
    switch (TypeOf(value)) {
        case od::json_type::object: {
            od::object object;
            if (value.get_object().get(object) != simdjson::SUCCESS) {
                return false;
            }
            for (auto member : object) {
                od::field field;
                std::string_view key;
                if (std::move(member).get(field) != simdjson::SUCCESS || !DecodeKey(field, key) ||
                    !Validate(field.value(), depth + 1)) {
                    return false;
                }
            }
            return true;
        }
        case od::json_type::array: {
            od::array array;
            if (value.get_array().get(array) != simdjson::SUCCESS) {
                return false;
            }
            for (auto element : array) {
                od::value item;
                if (std::move(element).get(item) != simdjson::SUCCESS || !Validate(item, depth + 1)) {
                    return false;
                }
            }
            return true;
        }
        case od::json_type::string: {
            std::string_view text;
            return DecodeText(value, text);
        }
        case od::json_type::number: {
            od::number number;
            return value.get_number().get(number) == simdjson::SUCCESS;
        }
        case od::json_type::boolean: {
            bool flag = false;
            return value.get_bool().get(flag) == simdjson::SUCCESS;
        }
        case od::json_type::null:
            return IsNull(value);
        default:
            return false;
    }
}

}  // namespace Orv::TimelineEngineModel::Serialization::Json::Detail
