#pragma once

// Member-by-member comparison of two timelines, for `diff`.

#include <Orv/TimelineEngineModel/Timeline.h>

#include <cstddef>
#include <string>
#include <vector>

namespace OrvTool {

// One line per difference, in document order, at most `limit` of them:
//   tracks[0] (id "v1") items[3] (id "fx-3"): duration: A has "10", B has "25"
// Lists of different lengths give one line for the lengths and are then
// compared over their common part. `total`, when given, receives the number
// of differences found (the search stops counting at a large bound).
std::vector<std::string> DiffTimelines(const Orv::TimelineEngineModel::Timeline& a,
                                       const Orv::TimelineEngineModel::Timeline& b, std::size_t limit,
                                       std::size_t* total = nullptr);

}  // namespace OrvTool
