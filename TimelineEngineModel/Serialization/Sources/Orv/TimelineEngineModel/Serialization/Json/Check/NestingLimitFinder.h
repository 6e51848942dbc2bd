#pragma once

#include <cstddef>
#include <string_view>

namespace Orv::TimelineEngineModel::Serialization::Json::Detail {

// Where jsoncpp gives up on a text nested too deeply. jsoncpp throws, with no
// position, when it starts to read a value inside `limit` open arrays and
// objects; the text before that point is valid, since jsoncpp stops at the
// first syntax error without throwing.
class NestingLimitFinder {
public:
    // jsoncpp's default "stackLimit".
    static constexpr std::size_t JsoncppLimit = 1000;

    // The offset of the token of the first value read at nesting depth
    // `limit`, or the text's size when there is none.
    static std::size_t Find(std::string_view text, std::size_t limit = JsoncppLimit);
};

}  // namespace Orv::TimelineEngineModel::Serialization::Json::Detail
