#pragma once

#include <Orv/Common/Serialization/Json/JsonObject.h>

#include <utility>
#include <vector>

namespace Orv::TimelineEngineModel::Serialization::Json::Detail {

using Orv::Common::Serialization::Json::JsonObject;

// Appends one element to `list` per element of the array under `key`, each
// read into a default-constructed Element by the reference variant of a
// NestedReader made for this call. Anything but an array under `key` is
// skipped. An exception stops the reading: the elements appended before stay,
// the one being read is not appended.
template <typename NestedReader, typename Element>
void ReadObjectArray(const JsonObject& object, const char* key, std::vector<Element>& list) {
    const JsonObject& array = object[key];
    if (!array.isArray()) {
        return;
    }
    const NestedReader reader;
    list.reserve(list.size() + array.size());
    for (const JsonObject& element : array) {
        Element entry;
        static_cast<void>(reader.To(element, entry));  // the reference variant throws on failure
        list.push_back(std::move(entry));
    }
}

}  // namespace Orv::TimelineEngineModel::Serialization::Json::Detail
