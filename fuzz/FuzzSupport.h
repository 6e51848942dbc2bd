#pragma once

// Shared by the fuzz targets: parsing, writing and reading (a whole document
// with Write<TimelineToJsonConverter> and Read<JsonToTimelineConverter>), a
// plain reading of the readers' rules, and checks that abort on a broken
// property, so that libFuzzer keeps the input.

#include <Orv/TimelineEngineModel/Serialization/Json/JsonToMediaInfoConverter.h>
#include <Orv/TimelineEngineModel/Serialization/Json/JsonToTimelineConverter.h>
#include <Orv/TimelineEngineModel/Serialization/Json/JsonToTrackConverter.h>
#include <Orv/TimelineEngineModel/Serialization/Json/JsonToTrackItemConverter.h>
#include <Orv/TimelineEngineModel/Serialization/Json/JsonToTransitionEffectConverter.h>
#include <Orv/TimelineEngineModel/Serialization/Json/MediaInfoToJsonConverter.h>
#include <Orv/TimelineEngineModel/Serialization/Json/TimelineToJsonConverter.h>
#include <Orv/TimelineEngineModel/Serialization/Json/TrackItemToJsonConverter.h>
#include <Orv/TimelineEngineModel/Serialization/Json/TrackToJsonConverter.h>
#include <Orv/TimelineEngineModel/Serialization/Json/TransitionEffectToJsonConverter.h>

#include <cstdint>
#include <memory>
#include <string>
#include <type_traits>

namespace Orv::Fuzz {

using namespace Orv::TimelineEngineModel;
using namespace Orv::TimelineEngineModel::Serialization::Json;
using Orv::BusinessEntityModel::BaseTypes::Identifier;
using Orv::Common::Serialization::Result;
using Orv::Common::Serialization::Json::JsonObject;
using Orv::Common::Serialization::Json::Stringer;

// Unless `holds`: prints what broke and the texts involved, and aborts.
void Require(bool holds, const char* what, const std::string& first = {}, const std::string& second = {});

inline void RequireEqual(const std::string& first, const std::string& second, const char* what) {
    Require(first == second, what, first, second);
}

// jsoncpp, default or strict. Nesting beyond its limit is a failed parse;
// `root` may hold a partial value after one.
bool Parse(const std::string& text, bool strict, JsonObject& root);

// A pointer variant's target: the media info and effect readers fill it.
template <typename T>
std::unique_ptr<T> NewTarget() {
    if constexpr (std::is_same_v<T, MediaInfo> || std::is_same_v<T, TransitionEffect>) {
        return std::make_unique<T>();
    }
    return nullptr;
}

// The write must succeed and close every scope.
template <typename Writer, typename T>
std::string Write(const T& entity, bool pretty = false) {
    Stringer stringer = pretty ? Stringer::PrettyStringer() : Stringer();
    const Result result = Writer().To(entity, stringer);
    Require(result && stringer.Depth() == 0, "a write failed or left a scope open", result.ErrorMessage(),
            stringer.ToString());
    return stringer.ToString();
}

// A text that does not parse is a failed Result.
template <typename Reader, typename T>
Result Read(const std::string& text, std::unique_ptr<T>& target, bool strict = true) {
    JsonObject root;
    target = NewTarget<T>();
    return Parse(text, strict, root) ? Reader().To(root, target) : Result("not JSON");
}

// A reader fails only as documented: std::stoll refusing an integer text, or
// jsoncpp refusing a lookup in a value that is neither an object nor null.
void CheckReaderFailure(const Result& result);

// The plain reading of a media info, transition effect or track item object,
// straight from the readers' rules: each key looked up in the fixed order,
// taken only when it is a JSON string, integers through std::stoll, members
// assigned as they are read; a track item of the kind "_type" names, then its
// members, then "id". Gives "" or the failure's what().
std::string ReadPlainly(const JsonObject& object, std::unique_ptr<MediaInfo>& info);
std::string ReadPlainly(const JsonObject& object, std::unique_ptr<TransitionEffect>& effect);
std::string ReadPlainly(const JsonObject& object, std::unique_ptr<TrackItem>& item);

// The integer members of a media summary item in reading order;
// "mediaAssetId" comes after the fourth.
struct SummaryInteger {
    const char* key;
    void (MediaSummaryItem::*set)(int64_t) noexcept;
};
extern const SummaryInteger SummaryIntegers[10];

}  // namespace Orv::Fuzz
