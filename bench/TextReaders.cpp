#include "TextReaders.h"

#include <Orv/TimelineEngineModel/Serialization/Json/JsonTextToTimelineConverter.h>

#include <memory>
#include <stdexcept>
#include <utility>

namespace Orv::Bench {

// The library's text reader, called as a user calls it: the text in a
// std::string, the timeline out through the Converter interface (the text is
// copied into a padded buffer inside unless its capacity has room to spare).
const std::vector<TextReader>& TextReaders() {
    static const std::vector<TextReader> readers = {
        {"TextToModel", [](const std::string& text) {
             std::unique_ptr<TimelineEngineModel::Timeline> timeline;
             const Common::Serialization::Result result =
                 TimelineEngineModel::Serialization::Json::JsonTextToTimelineConverter().To(text, timeline);
             if (!result) {
                 throw std::runtime_error(result.ErrorMessage());
             }
             return std::move(*timeline);
         }},
    };
    return readers;
}

}  // namespace Orv::Bench
