#include "Contenders.h"
#include "ModelReading.h"
#include "DomBuilder.h"

#include <Orv/TimelineEngineModel/FxAudioTransitionItem.h>
#include <Orv/TimelineEngineModel/FxVideoTransitionItem.h>
#include <Orv/TimelineEngineModel/MediaSummaryItem.h>

#include <nlohmann/json.hpp>

#include <memory>
#include <stdexcept>
#include <string>

namespace Orv::Bench {

namespace {
using namespace Orv::TimelineEngineModel;
using Orv::BusinessEntityModel::BaseTypes::Identifier;
using Ordered = nlohmann::ordered_json;

struct NlohmannDom {
    static Ordered Object() { return Ordered::object(); }
    static Ordered Array() { return Ordered::array(); }
    static void Append(Ordered& array, Ordered&& element) { array.push_back(std::move(element)); }
};

// ---- reading -------------------------------------------------------------

using Json = nlohmann::json;

const std::string* FindString(const Json& object, const char* key) {
    const auto found = object.find(key);
    if (found == object.end() || !found->is_string()) {
        return nullptr;
    }
    return &found->get_ref<const std::string&>();
}

template <typename Setter>
void ReadInteger(const Json& object, const char* key, Setter&& setter) {
    if (const std::string* text = FindString(object, key)) {
        setter(ParseInteger(text->data(), text->size()));
    }
}

template <typename Setter>
void ReadText(const Json& object, const char* key, Setter&& setter) {
    if (const std::string* text = FindString(object, key)) {
        setter(*text);
    }
}

struct NlohmannFields {
    const Json& object;
    template <typename Setter>
    void Integer(const char* key, Setter&& setter) const {
        ReadInteger(object, key, setter);
    }
    template <typename Setter>
    void Text(const char* key, Setter&& setter) const {
        ReadText(object, key, setter);
    }
};

std::shared_ptr<TrackItem> ReadItem(const Json& object) {
    const std::string* type = FindString(object, "_type");
    return ReadItemFields(NlohmannFields{object}, type != nullptr ? std::string_view(*type) : std::string_view());
}
}  // namespace

std::string NlohmannBuildDump(const Timeline& timeline) {
    const Ordered root = DomBuilder<Ordered, NlohmannDom>::Timeline(timeline);
    // The escape-heavy texts are not UTF-8; "replace" lets nlohmann write them
    // (as U+FFFD) instead of throwing, at the cost of its validation pass.
    return root.dump(-1, ' ', false, Ordered::error_handler_t::replace);
}

Timeline NlohmannRead(const std::string& text) {
    const Json root = Json::parse(text);
    if (!root.is_object()) {
        throw std::invalid_argument("not an object");
    }
    Timeline timeline;
    ReadText(root, "id", [&](const std::string& t) { timeline.Id(Identifier(t)); });
    ReadText(root, "transactionId", [&](const std::string& t) { timeline.TransactionId(Identifier(t)); });
    ReadInteger(root, "duration", [&](std::int64_t v) { timeline.Duration(v); });
    const auto tracks = root.find("tracks");
    if (tracks != root.end() && tracks->is_array()) {
        timeline.Tracks().reserve(tracks->size());
        for (const Json& element : *tracks) {
            Track track;
            ReadText(element, "id", [&](const std::string& t) { track.Id(Identifier(t)); });
            const auto items = element.find("items");
            if (items != element.end() && items->is_array()) {
                track.TrackItems().reserve(items->size());
                for (const Json& item : *items) {
                    track.TrackItems().push_back(ReadItem(item));
                }
            }
            timeline.Tracks().push_back(std::move(track));
        }
    }
    const auto infos = root.find("mediaInfos");
    if (infos != root.end() && infos->is_array()) {
        timeline.MediaInfos().reserve(infos->size());
        for (const Json& element : *infos) {
            MediaInfo info;
            ReadText(element, "mediaAssetId", [&](const std::string& t) { info.MediaAssetId(Identifier(t)); });
            ReadInteger(element, "limitIn", [&](std::int64_t v) { info.LimitIn(v); });
            ReadInteger(element, "limitDuration", [&](std::int64_t v) { info.LimitDuration(v); });
            ReadText(element, "channels", [&](const std::string& t) { info.Channels(t); });
            timeline.MediaInfos().push_back(std::move(info));
        }
    }
    return timeline;
}

}  // namespace Orv::Bench
