#pragma once

// Helpers shared by the fuzz targets: parsing with jsoncpp, writing with the
// converters, and reporting a broken property (which aborts, so that libFuzzer
// keeps the input as a crash).

#include <Orv/Common/Serialization/Json/JsonObject.h>
#include <Orv/Common/Serialization/Json/Stringer.h>
#include <Orv/Common/Serialization/Result.h>
#include <Orv/TimelineEngineModel/Timeline.h>
#include <Orv/TimelineEngineModel/TransitionEffect.h>

#include <string>

namespace Orv::Fuzz {

using Orv::Common::Serialization::Result;
using Orv::Common::Serialization::Json::JsonObject;
using Orv::Common::Serialization::Json::Stringer;

// Prints what broke, with up to two texts involved, and aborts.
[[noreturn]] void Fail(const char* what, const std::string& first = {}, const std::string& second = {});

// Parses `text` with jsoncpp's default settings or with its strict mode.
// Always from a std::string, so the bytes end in a NUL (jsoncpp reads past the
// end of a text that ends in a carriage return when it builds an error).
// jsoncpp throws on nesting beyond its stack limit: that is reported as a
// failed parse. `root` may hold a partial value after a failure.
bool Parse(const std::string& text, bool strict, JsonObject& root);

// Writes `entity` with `Writer` into a new Stringer; fails the run unless the
// write succeeds.
template <typename Writer, typename Entity>
std::string WriteOrFail(const Entity& entity, bool pretty = false) {
    Stringer stringer = pretty ? Stringer::PrettyStringer() : Stringer();
    const Result result = Writer().To(entity, stringer);
    if (!result) {
        Fail("a writer failed on a model that it must be able to write", result.ErrorMessage());
    }
    if (stringer.Depth() != 0) {
        Fail("a writer left an object or array open", stringer.ToString());
    }
    return stringer.ToString();
}

// True when every track entry holds an item (the writers refuse an empty entry).
bool HasNoEmptyEntry(const TimelineEngineModel::Track& track);
bool HasNoEmptyEntry(const TimelineEngineModel::Timeline& timeline);
inline bool HasNoEmptyEntry(const TimelineEngineModel::MediaInfo&) {
    return true;
}
inline bool HasNoEmptyEntry(const TimelineEngineModel::TransitionEffect&) {
    return true;
}

// A reader's failure must be one that the readers document: an integer text
// that std::stoll refuses, or jsoncpp refusing a lookup in a value that is
// neither an object nor null.
void CheckReaderFailure(const Result& result);

}  // namespace Orv::Fuzz
