// The memory that writing a large timeline takes: the process's resident
// memory once the model is built, and its peak while the document is
// written to a file through WriteJsonFile (a buffer at a time) and, for
// comparison, into a Stringer held in memory. One JSON line per way.
//
// Usage: orv-timeline-json-write-memory [DIRECTORY [ITEMS_PER_TRACK]]
//   DIRECTORY        where the document is written (default /tmp), then removed
//   ITEMS_PER_TRACK  on each of 40 tracks (default 20000: about 200 MB of JSON)


#include <Orv/TimelineEngineModel/Serialization/Json/JsonFile.h>
#include <Orv/TimelineEngineModel/Serialization/Json/TimelineToJsonConverter.h>

#include <TimelineGenerator.h>

#include <sys/stat.h>
#include <unistd.h>

#include <cstdio>
#include <fstream>
#include <stdexcept>
#include <string>

namespace {
using namespace Orv::TimelineEngineModel;
using namespace Orv::TimelineEngineModel::Serialization::Json;

// A field of /proc/self/status in kB: VmRSS (resident now) or VmHWM (the
// peak since the last reset).
long StatusKb(const std::string& field) {
    std::ifstream status("/proc/self/status");
    for (std::string line; std::getline(status, line);) {
        if (line.compare(0, field.size() + 1, field + ":") == 0) {
            return std::stol(line.substr(field.size() + 1));
        }
    }
    throw std::runtime_error("no " + field + " in /proc/self/status");
}

// Brings VmHWM down to the resident memory of now.
void ResetPeak() {
    std::ofstream("/proc/self/clear_refs") << "5";
}

template <typename Write>
void Measure(const char* way, long modelKb, Write&& write) {
    ResetPeak();
    const long before = StatusKb("VmRSS");
    const std::size_t bytes = write();
    const long peak = StatusKb("VmHWM");
    std::printf("{\"way\": \"%s\", \"document_mb\": %.1f, \"model_rss_mb\": %.1f, \"rss_before_mb\": %.1f, "
                "\"peak_rss_mb\": %.1f, \"peak_above_before_mb\": %.1f}\n",
                way, bytes / 1e6, modelKb / 1024.0, before / 1024.0, peak / 1024.0, (peak - before) / 1024.0);
    std::fflush(stdout);
}
}  // namespace

int main(int argc, char** argv) {
    try {
        const std::string path = std::string(argc > 1 ? argv[1] : "/tmp") + "/orv-write-memory-" +
                                 std::to_string(getpid()) + ".json";
        Orv::Testing::TimelineShape shape;
        shape.tracks = 40;
        shape.itemsPerTrack = argc > 2 ? std::stoul(argv[2]) : 20000;
        shape.mediaInfos = 1000;
        const long baseKb = StatusKb("VmRSS");
        const Timeline timeline = Orv::Testing::GenerateTimeline(1, shape);
        const long modelKb = StatusKb("VmRSS") - baseKb;
        Measure("file", modelKb, [&] {
            if (const Result written = WriteJsonFile(timeline, path); !written) {
                throw std::runtime_error(written.ErrorMessage());
            }
            struct stat info {};
            stat(path.c_str(), &info);
            unlink(path.c_str());
            return static_cast<std::size_t>(info.st_size);
        });
        Measure("memory", modelKb, [&] {
            Orv::Common::Serialization::Json::Stringer stringer;
            if (const Result written = TimelineToJsonConverter().To(timeline, stringer); !written) {
                throw std::runtime_error(written.ErrorMessage());
            }
            return stringer.TakeString().size();
        });
    } catch (const std::exception& error) {
        std::fprintf(stderr, "orv-timeline-json-write-memory: %s\n", error.what());
        return 1;
    }
    return 0;
}
