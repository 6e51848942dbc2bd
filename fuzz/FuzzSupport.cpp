#include "FuzzSupport.h"

#include <json/json.h>

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <memory>

namespace Orv::Fuzz {

void Fail(const char* what, const std::string& first, const std::string& second) {
    std::fprintf(stderr, "FUZZ PROPERTY BROKEN: %s\n", what);
    if (!first.empty()) {
        std::fprintf(stderr, "--- first (%zu bytes):\n%s\n", first.size(), first.c_str());
    }
    if (!second.empty()) {
        std::fprintf(stderr, "--- second (%zu bytes):\n%s\n", second.size(), second.c_str());
    }
    std::abort();
}

namespace {
// One reader per mode for the whole run: building one costs more than most
// parses. The fuzz targets run on one thread.
Json::CharReader& Reader(bool strict) {
    static const auto make = [](bool strictMode) {
        Json::CharReaderBuilder builder;
        if (strictMode) {
            Json::CharReaderBuilder::strictMode(&builder.settings_);
        }
        return std::unique_ptr<Json::CharReader>(builder.newCharReader());
    };
    static const std::unique_ptr<Json::CharReader> defaultReader = make(false);
    static const std::unique_ptr<Json::CharReader> strictReader = make(true);
    return strict ? *strictReader : *defaultReader;
}
}  // namespace

bool Parse(const std::string& text, bool strict, JsonObject& root) {
    std::string errors;
    try {
        return Reader(strict).parse(text.c_str(), text.c_str() + text.size(), &root, &errors);
    } catch (const Json::Exception&) {
        return false;
    }
}

bool HasNoEmptyEntry(const TimelineEngineModel::Track& track) {
    for (const auto& item : track.TrackItems()) {
        if (!item) {
            return false;
        }
    }
    return true;
}

bool HasNoEmptyEntry(const TimelineEngineModel::Timeline& timeline) {
    for (const auto& track : timeline.Tracks()) {
        if (!HasNoEmptyEntry(track)) {
            return false;
        }
    }
    return true;
}

void CheckReaderFailure(const Result& result) {
    if (result) {
        return;
    }
    const char* message = result.ErrorMessage();
    if (std::strcmp(message, "stoll") == 0 || std::strncmp(message, "in Json::Value::", 16) == 0) {
        return;
    }
    Fail("a reader failed with an unexpected message", message);
}

}  // namespace Orv::Fuzz
