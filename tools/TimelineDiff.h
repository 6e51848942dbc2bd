#pragma once

// Member-by-member comparison of two timelines, for `diff`.

#include <Orv/TimelineEngineModel/Timeline.h>

#include <cstddef>
#include <string>
#include <vector>

namespace OrvTool {

// One line per difference, at most `limit` of them, in A's order:
//   tracks[0] (id "v1") items[3] (id "fx-3"): duration: A has "10", B has "25"
//   tracks[0] (id "v1") items[0] (id "clip-1"): removed
//   tracks[0] (id "v1") items[7] (id "clip-9"): inserted
//   tracks[1] (id "a1") items[4] (id "clip-2"): moved to items[0]
// Tracks, the items of two paired tracks, and media infos (by their
// "mediaAssetId") are paired as MatchEntries pairs them; a place gives A's
// index, an inserted entry's is its index in B. An inserted entry is listed
// where it stands in B: after the partner of the paired entry before it,
// and after A's removed entries there. `total`, when given, receives the number of differences found (the
// search stops counting at a large bound). Time and memory grow with the
// documents' size, times log n for the order of n paired entries.
std::vector<std::string> DiffTimelines(const Orv::TimelineEngineModel::Timeline& a,
                                       const Orv::TimelineEngineModel::Timeline& b, std::size_t limit,
                                       std::size_t* total = nullptr);

}  // namespace OrvTool
