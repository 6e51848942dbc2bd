#pragma once

#include <Orv/TimelineEngineModel/Timeline.h>

namespace Orv::Bench {

// A deep copy of `timeline`: every track item a new object (an item that
// several tracks share becomes one object per entry, as a reader makes it)
// and every identifier and text a new string. What building the model costs
// with nothing to parse: the floor no reader into this model can beat.
TimelineEngineModel::Timeline CopyModel(const TimelineEngineModel::Timeline& timeline);

}  // namespace Orv::Bench
