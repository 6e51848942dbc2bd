#pragma once

// A reader looks up a fixed list of keys in each object, one by one in a fixed
// order. jsoncpp keeps an object's members in a sorted tree, so each lookup is
// a tree search of several key comparisons, most of a reader's time on a
// large document. Members finds all of a list's keys in one ordered walk over
// the members instead, before anything is read; the reading then goes
// through the keys in their usual order, so what is assigned, and where a
// failure stops, is unchanged.

#include <Orv/Common/Serialization/Json/JsonObject.h>

#include "../Format/KeySet.h"

#include <cstddef>
#include <cstring>
#include <string_view>

namespace Orv::TimelineEngineModel::Serialization::Json::Detail {

using Orv::Common::Serialization::Json::JsonObject;

// The members of `object` under the keys of a KeySet. A null object has
// none; an object that is neither an object nor null raises, here, the
// logic error that its first lookup by key would raise.
template <std::size_t Count>
class Members {
public:
    Members(const JsonObject& object, const KeySet<Count>& keys) : object(object), keys(keys) {
        if (object.isNull()) {
            return;
        }
        if (!object.isObject()) {
            static_cast<void>(object[keys.names[0]]);  // throws jsoncpp's logic error
            return;
        }
        Collect();
    }

    // The value under `key`, one of the set's names, or nullptr when the
    // object has no such member.
    const JsonObject* Find(const char* key, std::size_t length) const {
        const std::size_t index = keys.IndexOf(key, length);
        return index < Count ? values[index] : nullptr;
    }

    // The same, only when the value is a JSON string.
    const JsonObject* FindString(const char* key, std::size_t length) const {
        const JsonObject* value = Find(key, length);
        return value != nullptr && value->isString() ? value : nullptr;
    }

private:
    // Both sequences are in member order, so one merge pass pairs them.
    void Collect() {
        std::size_t next = 0;  // position in keys.inMemberOrder
        const auto end = object.end();
        for (auto member = object.begin(); member != end && next < Count; ++member) {
            const char* nameEnd = nullptr;
            const char* name = member.memberName(&nameEnd);
            const auto nameLength = static_cast<std::size_t>(nameEnd - name);
            while (next < Count && Less(next, name, nameLength)) {
                ++next;  // this key is absent
            }
            if (next < Count && Equals(next, name, nameLength)) {
                values[keys.inMemberOrder[next]] = &*member;
                ++next;
            }
        }
    }

    bool Less(std::size_t position, const char* name, std::size_t nameLength) const {
        const std::size_t key = keys.inMemberOrder[position];
        const std::size_t common = keys.lengths[key] < nameLength ? keys.lengths[key] : nameLength;
        const int order = std::memcmp(keys.names[key], name, common);
        return order < 0 || (order == 0 && keys.lengths[key] < nameLength);
    }

    bool Equals(std::size_t position, const char* name, std::size_t nameLength) const {
        const std::size_t key = keys.inMemberOrder[position];
        return keys.lengths[key] == nameLength && std::memcmp(keys.names[key], name, nameLength) == 0;
    }

    const JsonObject& object;
    const KeySet<Count>& keys;
    const JsonObject* values[Count] = {};
};

}  // namespace Orv::TimelineEngineModel::Serialization::Json::Detail
