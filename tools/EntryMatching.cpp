#include "EntryMatching.h"

#include <algorithm>
#include <unordered_map>
#include <utility>

namespace OrvTool {

namespace {

// How often an id occurs in each list (2 standing for "more than once"),
// and where it last occurs.
struct IdUse {
    unsigned char inA = 0;
    unsigned char inB = 0;
    std::size_t indexB = 0;
};

using IdUses = std::unordered_map<std::string_view, IdUse>;

IdUses CountIds(const std::vector<std::string_view>& idsA, const std::vector<std::string_view>& idsB) {
    IdUses uses;
    uses.reserve(idsA.size() + idsB.size());
    for (const std::string_view id : idsA) {
        if (!id.empty()) {
            IdUse& use = uses[id];
            use.inA = static_cast<unsigned char>(std::min(use.inA + 1, 2));
        }
    }
    for (std::size_t j = 0; j < idsB.size(); ++j) {
        if (!idsB[j].empty()) {
            IdUse& use = uses[idsB[j]];
            use.inB = static_cast<unsigned char>(std::min(use.inB + 1, 2));
            use.indexB = j;
        }
    }
    return uses;
}

bool IsKey(const IdUses& uses, std::string_view id) {
    if (id.empty()) {
        return false;
    }
    const IdUse& use = uses.find(id)->second;
    return use.inA <= 1 && use.inB <= 1;
}

// Marks, among `values`, a longest strictly increasing subsequence
// (patience sorting with back links).
std::vector<bool> LongestIncreasing(const std::vector<std::size_t>& values) {
    std::vector<std::size_t> tails;  // per chain length, the position ending the best chain
    std::vector<std::size_t> previous(values.size(), kUnpaired);
    for (std::size_t k = 0; k < values.size(); ++k) {
        const auto place = std::lower_bound(tails.begin(), tails.end(), values[k],
                                            [&](std::size_t tail, std::size_t value) { return values[tail] < value; });
        if (place != tails.begin()) {
            previous[k] = *(place - 1);
        }
        if (place == tails.end()) {
            tails.push_back(k);
        } else {
            *place = k;
        }
    }
    std::vector<bool> chain(values.size(), false);
    for (std::size_t k = tails.empty() ? kUnpaired : tails.back(); k != kUnpaired; k = previous[k]) {
        chain[k] = true;
    }
    return chain;
}

// The entries of one list without a key, each with its stretch: the number
// of chain entries before it.
std::vector<std::pair<std::size_t, std::size_t>> Unkeyed(const std::vector<std::string_view>& ids,
                                                         const IdUses& uses, const std::vector<bool>& inChain) {
    std::vector<std::pair<std::size_t, std::size_t>> entries;
    std::size_t stretch = 0;
    for (std::size_t i = 0; i < ids.size(); ++i) {
        if (inChain[i]) {
            ++stretch;
        } else if (!IsKey(uses, ids[i])) {
            entries.emplace_back(stretch, i);
        }
    }
    return entries;
}

}  // namespace

EntryMatching MatchEntries(const std::vector<std::string_view>& idsA, const std::vector<std::string_view>& idsB) {
    EntryMatching matching;
    matching.partnerInB.assign(idsA.size(), kUnpaired);
    matching.partnerInA.assign(idsB.size(), kUnpaired);
    matching.moved.assign(idsA.size(), false);
    const IdUses uses = CountIds(idsA, idsB);

    // The pairs by key, in A's order, and the chain that keeps its order.
    std::vector<std::size_t> keyedA;
    std::vector<std::size_t> keyedB;
    for (std::size_t i = 0; i < idsA.size(); ++i) {
        if (IsKey(uses, idsA[i])) {
            const IdUse& use = uses.find(idsA[i])->second;
            if (use.inB == 1) {
                keyedA.push_back(i);
                keyedB.push_back(use.indexB);
            }
        }
    }
    const std::vector<bool> chain = LongestIncreasing(keyedB);
    std::vector<bool> chainA(idsA.size(), false);
    std::vector<bool> chainB(idsB.size(), false);
    for (std::size_t k = 0; k < keyedA.size(); ++k) {
        matching.partnerInB[keyedA[k]] = keyedB[k];
        matching.partnerInA[keyedB[k]] = keyedA[k];
        matching.moved[keyedA[k]] = !chain[k];
        chainA[keyedA[k]] = chain[k];
        chainB[keyedB[k]] = chain[k];
    }

    // The others, by position within their stretch.
    const auto restA = Unkeyed(idsA, uses, chainA);
    const auto restB = Unkeyed(idsB, uses, chainB);
    for (std::size_t p = 0, q = 0; p < restA.size() && q < restB.size();) {
        if (restA[p].first != restB[q].first) {
            ++(restA[p].first < restB[q].first ? p : q);
            continue;
        }
        matching.partnerInB[restA[p].second] = restB[q].second;
        matching.partnerInA[restB[q].second] = restA[p].second;
        ++p;
        ++q;
    }
    return matching;
}

}  // namespace OrvTool
