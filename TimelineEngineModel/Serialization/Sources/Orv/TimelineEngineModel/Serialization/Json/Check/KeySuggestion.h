#pragma once

#include <algorithm>
#include <cctype>
#include <cstddef>
#include <string_view>
#include <vector>

namespace Orv::TimelineEngineModel::Serialization::Json::Detail {

// The text among `candidates` that `text` was most likely meant to be, or
// the empty text: the candidate at the smallest edit distance (Levenshtein, letters
// compared without case; the first of equals), when that distance is at most
// 1, or 2 for a candidate of 8 characters or more.
template <typename Candidates>
std::string_view SuggestionFor(std::string_view text, const Candidates& candidates) {
    const auto fold = [](char c) { return static_cast<char>(std::tolower(static_cast<unsigned char>(c))); };
    const auto distance = [&](std::string_view candidate) {
        std::vector<std::size_t> row(candidate.size() + 1);
        for (std::size_t j = 0; j < row.size(); ++j) {
            row[j] = j;
        }
        for (std::size_t i = 1; i <= text.size(); ++i) {
            std::size_t diagonal = row[0];
            row[0] = i;
            for (std::size_t j = 1; j <= candidate.size(); ++j) {
                const std::size_t above = row[j];
                const std::size_t substitution = diagonal + (fold(text[i - 1]) == fold(candidate[j - 1]) ? 0 : 1);
                row[j] = std::min({above + 1, row[j - 1] + 1, substitution});
                diagonal = above;
            }
        }
        return row.back();
    };
    std::string_view best;
    std::size_t bestDistance = 0;
    for (const std::string_view name : candidates) {
        // The distance is at least the difference in length, so a text far
        // longer than every candidate costs nothing.
        if (text.size() > name.size() + 2 || name.size() > text.size() + 2) {
            continue;
        }
        const std::size_t d = distance(name);
        const bool close = d <= 1 || (d == 2 && name.size() >= 8);
        if (close && (best.empty() || d < bestDistance)) {
            best = name;
            bestDistance = d;
        }
    }
    return best;
}

}  // namespace Orv::TimelineEngineModel::Serialization::Json::Detail
