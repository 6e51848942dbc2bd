#include "TextPositions.h"

#include <algorithm>

namespace Orv::TimelineEngineModel::Serialization::Json::Detail {

TextPositions::TextPositions(std::string_view text) : lineStarts{0} {
    for (std::size_t i = 0; i < text.size(); ++i) {
        if (text[i] == '\r' && i + 1 < text.size() && text[i + 1] == '\n') {
            ++i;
        }
        if (text[i] == '\r' || text[i] == '\n') {
            lineStarts.push_back(i + 1);
        }
    }
}

TextPositions::Position TextPositions::At(std::size_t offset) const {
    const auto next = std::upper_bound(lineStarts.begin(), lineStarts.end(), offset);
    const auto line = static_cast<std::size_t>(next - lineStarts.begin());
    return {line, offset - lineStarts[line - 1] + 1};
}

}  // namespace Orv::TimelineEngineModel::Serialization::Json::Detail
