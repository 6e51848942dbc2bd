#include "Contenders.h"
#include "DomBuilder.h"

#include <Orv/TimelineEngineModel/FxAudioTransitionItem.h>
#include <Orv/TimelineEngineModel/FxVideoTransitionItem.h>
#include <Orv/TimelineEngineModel/MediaSummaryItem.h>

#include <json/reader.h>
#include <json/writer.h>

#include <memory>
#include <stdexcept>
#include <string>

namespace Orv::Bench {

namespace {
using namespace Orv::TimelineEngineModel;
using Common::Serialization::Json::JsonObject;

struct JsonCppDom {
    static JsonObject Object() { return JsonObject(Json::objectValue); }
    static JsonObject Array() { return JsonObject(Json::arrayValue); }
    static void Append(JsonObject& array, JsonObject&& element) { array.append(std::move(element)); }
};
}  // namespace

JsonObject JsonCppBuild(const Timeline& timeline) {
    return DomBuilder<JsonObject, JsonCppDom>::Timeline(timeline);
}

std::string JsonCppWrite(const JsonObject& value) {
    static const Json::StreamWriterBuilder builder = [] {
        Json::StreamWriterBuilder compact;
        compact["indentation"] = "";
        return compact;
    }();
    return Json::writeString(builder, value);
}

JsonObject JsonCppParse(const std::string& text) {
    static const std::unique_ptr<Json::CharReader> reader(Json::CharReaderBuilder().newCharReader());
    JsonObject value;
    std::string errors;
    if (!reader->parse(text.data(), text.data() + text.size(), &value, &errors)) {
        throw std::invalid_argument("jsoncpp refused the document: " + errors);
    }
    return value;
}

}  // namespace Orv::Bench
