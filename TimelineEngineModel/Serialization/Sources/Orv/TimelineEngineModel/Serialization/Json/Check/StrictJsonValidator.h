#pragma once

#include <cstddef>
#include <optional>
#include <string>
#include <string_view>

namespace Orv::TimelineEngineModel::Serialization::Json::Detail {

// Holds a text to RFC 8259: one JSON value, nothing but white space around
// it, strings of valid UTF-8 with control characters escaped, no comments,
// no trailing commas, no byte order mark.
class StrictJsonValidator {
public:
    struct Violation {
        std::size_t offset;  // of the first byte that breaks the grammar
        std::string reason;
    };

    static std::optional<Violation> Validate(std::string_view text);
};

}  // namespace Orv::TimelineEngineModel::Serialization::Json::Detail
