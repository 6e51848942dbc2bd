#include "Workloads.h"

#include <Orv/TimelineEngineModel/Serialization/Json/TimelineToJsonConverter.h>

#include <TimelineGenerator.h>

#include <json/reader.h>

#include <memory>
#include <stdexcept>

namespace Orv::Bench {

namespace {
using Orv::Testing::TimelineShape;

TimelineShape Shape(std::size_t tracks, std::size_t itemsPerTrack, std::size_t mediaInfos, bool awkward) {
    TimelineShape shape;
    shape.tracks = tracks;
    shape.itemsPerTrack = itemsPerTrack;
    shape.mediaInfos = mediaInfos;
    shape.awkwardTexts = awkward;
    return shape;
}

Common::Serialization::Json::JsonObject Parse(const std::string& text) {
    Json::CharReaderBuilder builder;
    const std::unique_ptr<Json::CharReader> reader(builder.newCharReader());
    Common::Serialization::Json::JsonObject value;
    std::string errors;
    if (!reader->parse(text.data(), text.data() + text.size(), &value, &errors)) {
        throw std::runtime_error("jsoncpp refused a written document: " + errors);
    }
    return value;
}

Workload Make(const char* name, std::uint64_t seed, const TimelineShape& shape) {
    Workload workload;
    workload.name = name;
    workload.timeline = Orv::Testing::GenerateTimeline(seed, shape);
    workload.json = WriteWithOurs(workload.timeline);
    workload.parsed = Parse(workload.json);
    workload.validUtf8 = !shape.awkwardTexts;
    return workload;
}
}  // namespace

std::string WriteWithOurs(const TimelineEngineModel::Timeline& timeline) {
    Common::Serialization::Json::Stringer stringer;
    const auto result = TimelineEngineModel::Serialization::Json::TimelineToJsonConverter().To(timeline, stringer);
    if (!result) {
        throw std::runtime_error(std::string("our writer failed: ") + result.ErrorMessage());
    }
    return stringer.ToString();
}

const std::vector<Workload>& Workloads() {
    static const std::vector<Workload> workloads = [] {
        std::vector<Workload> list;
        list.push_back(Make("small", 11, Shape(1, 3, 1, false)));
        list.push_back(Make("medium", 12, Shape(2, 90, 20, false)));
        list.push_back(Make("large", 13, Shape(8, 8000, 1000, false)));
        // Every text awkward and up to 64 bytes long; fewer items keep the
        // document about the size of the medium one.
        TimelineShape escape = Shape(2, 72, 20, true);
        escape.awkwardShare = 1.0;
        escape.awkwardLength = 64;
        list.push_back(Make("escape", 14, escape));
        return list;
    }();
    return workloads;
}

}  // namespace Orv::Bench
