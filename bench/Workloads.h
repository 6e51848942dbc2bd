#pragma once

#include <Orv/Common/Serialization/Json/JsonObject.h>
#include <Orv/TimelineEngineModel/Timeline.h>

#include <string>
#include <vector>

namespace Orv::Bench {

// One document of the suite: the timeline, the text our writer makes of it,
// and that text parsed by jsoncpp (the readers' input).
struct Workload {
    std::string name;
    TimelineEngineModel::Timeline timeline;
    std::string json;
    Common::Serialization::Json::JsonObject parsed;
    // The escape-heavy texts hold bytes that are not UTF-8, which nlohmann
    // refuses to parse.
    bool validUtf8 = true;
};

// small (~1 KB), medium (~50 KB), large (8 tracks x 8,000 items, 1,000 media
// infos, ~16 MB), escape (medium-sized, with texts full of quotes,
// backslashes, control characters and non-ASCII bytes) and uuid (the large
// one with 36-character UUID identifiers, ~18 MB) and generated (what the
// tool's `generate --tracks 50 --items-per-track 2000` writes, ~14 MB); fixed
// seeds, made on first use.
const std::vector<Workload>& Workloads();

// The timeline of the workload named `name` alone, built without the rest of
// the suite (std::invalid_argument for an unknown name).
TimelineEngineModel::Timeline WorkloadTimeline(const std::string& name);

// Our writer's text for `timeline` (the reference every writer is held to).
std::string WriteWithOurs(const TimelineEngineModel::Timeline& timeline);

}  // namespace Orv::Bench
