#pragma once

// Pairs the entries of two lists (tracks, the items of a track, media infos)
// for `diff`, by their ids where the ids tell them apart and by position
// elsewhere.

#include <cstddef>
#include <string_view>
#include <vector>

namespace OrvTool {

// An entry with no partner in the other list.
constexpr std::size_t kUnpaired = static_cast<std::size_t>(-1);

struct EntryMatching {
    std::vector<std::size_t> partnerInB;  // per entry of A: its partner, or kUnpaired (removed)
    std::vector<std::size_t> partnerInA;  // per entry of B: its partner, or kUnpaired (inserted)
    std::vector<bool> moved;              // per entry of A: paired, out of the order the others keep
};

// An id is a key when it is not empty and occurs at most once in each list;
// entries with the same key are partners. Of those pairs, a longest chain in
// the same order in both lists stays in place; the other pairs are moved.
// That chain cuts both lists into stretches; within each stretch, the
// entries without a key (no id, or an id repeated within its list) are
// paired in the order they come, the first of A with the first of B, and are
// never moved. So lists without ids are compared by position, and equal
// lists pair every entry with the one at its own index.
// Time O(n log n) and memory O(n) in the number of entries; the views must
// outlive the call only.
EntryMatching MatchEntries(const std::vector<std::string_view>& idsA, const std::vector<std::string_view>& idsB);

}  // namespace OrvTool
