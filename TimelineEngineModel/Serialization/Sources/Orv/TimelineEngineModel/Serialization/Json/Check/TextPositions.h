#pragma once

#include <cstddef>
#include <string_view>
#include <vector>

namespace Orv::TimelineEngineModel::Serialization::Json::Detail {

// Line and column of a byte offset, counted as jsoncpp counts them in its
// messages: a line ends at "\n", "\r\n" or a lone "\r"; both start at 1 and
// the column counts bytes.
class TextPositions {
public:
    struct Position {
        std::size_t line;
        std::size_t column;
    };

    explicit TextPositions(std::string_view text);

    Position At(std::size_t offset) const;

private:
    std::vector<std::size_t> lineStarts;
};

}  // namespace Orv::TimelineEngineModel::Serialization::Json::Detail
