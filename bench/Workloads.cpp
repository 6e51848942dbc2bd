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

struct Recipe {
    const char* name;
    std::uint64_t seed;
    TimelineShape shape;
    bool validUtf8;
};

const std::vector<Recipe>& Recipes() {
    static const std::vector<Recipe> recipes = [] {
        // Every text awkward and up to 64 bytes long; fewer items keep the
        // document about the size of the medium one.
        TimelineShape escape = Shape(2, 72, 20, true);
        escape.awkwardShare = 1.0;
        escape.awkwardLength = 64;
        TimelineShape uuid = Shape(8, 8000, 1000, false);
        uuid.uuidIdentifiers = true;
        return std::vector<Recipe>{{"small", 11, Shape(1, 3, 1, false), true},
                                   {"medium", 12, Shape(2, 90, 20, false), true},
                                   {"large", 13, Shape(8, 8000, 1000, false), true},
                                   {"escape", 14, escape, false},
                                   {"uuid", 15, uuid, true},
                                   // What `orv-timeline-json generate --tracks 50 --items-per-track 2000` writes.
                                   {"generated", 1, Shape(50, 2000, 5, false), true}};
    }();
    return recipes;
}

Workload Make(const Recipe& recipe) {
    Workload workload;
    workload.name = recipe.name;
    workload.timeline = Orv::Testing::GenerateTimeline(recipe.seed, recipe.shape);
    workload.json = WriteWithOurs(workload.timeline);
    workload.json.shrink_to_fit();  // no spare capacity: as most texts come to a reader
    workload.parsed = Parse(workload.json);
    workload.validUtf8 = recipe.validUtf8;
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
        for (const Recipe& recipe : Recipes()) {
            list.push_back(Make(recipe));
        }
        return list;
    }();
    return workloads;
}

TimelineEngineModel::Timeline WorkloadTimeline(const std::string& name) {
    for (const Recipe& recipe : Recipes()) {
        if (name == recipe.name) {
            return Orv::Testing::GenerateTimeline(recipe.seed, recipe.shape);
        }
    }
    throw std::invalid_argument("no document named " + name);
}

}  // namespace Orv::Bench
