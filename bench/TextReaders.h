#pragma once

#include <Orv/TimelineEngineModel/Timeline.h>

#include <string>
#include <vector>

namespace Orv::Bench {

// A reader that goes from the JSON text straight to the model, with no
// jsoncpp value in between. Each one is benchmarked as Read/<name>/<document>
// on every document and checked at start-up to give the model our jsoncpp
// reader gives.
struct TextReader {
    const char* name;
    TimelineEngineModel::Timeline (*read)(const std::string& text);
};

// The text readers to measure; see TextReaders.cpp.
const std::vector<TextReader>& TextReaders();

}  // namespace Orv::Bench
