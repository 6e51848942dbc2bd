#pragma once

#include <Orv/Common/Serialization/Json/JsonObject.h>

#include "../Format/KeySet.h"

#include <cstddef>
#include <string_view>

namespace Orv::TimelineEngineModel::Serialization::Json::Detail {

using Orv::Common::Serialization::Json::JsonObject;

// The members of `object` under the keys of a KeySet, found in one walk
// over its members before anything is read: jsoncpp keeps an object's
// members in a sorted tree, so a lookup by key per member read would search
// the tree each time. A null object has none; one that is neither an object
// nor null raises, here, the logic error that its first lookup by key would.
template <std::size_t Count>
class Members {
public:
    Members(const JsonObject& object, const KeySet<Count>& keys) : keys(keys) {
        if (!object.isNull() && !object.isObject()) {
            static_cast<void>(object[std::string(keys.names[0])]);  // throws jsoncpp's logic error
        }
        const auto end = object.end();
        for (auto member = object.begin(); member != end && object.isObject(); ++member) {
            const char* nameEnd = nullptr;
            const char* name = member.memberName(&nameEnd);
            const std::size_t index = keys.Lookup(std::string_view(name, static_cast<std::size_t>(nameEnd - name)));
            if (index < Count) {
                values[index] = &*member;
            }
        }
    }

    // The value under `key`, one of the set's names, or nullptr when the
    // object has no such member.
    const JsonObject* Find(std::string_view key) const {
        const std::size_t index = keys.Lookup(key);
        return index < Count ? values[index] : nullptr;
    }

    // The same, only when the value is a JSON string.
    const JsonObject* FindString(std::string_view key) const {
        const JsonObject* value = Find(key);
        return value != nullptr && value->isString() ? value : nullptr;
    }

private:
    const KeySet<Count>& keys;
    const JsonObject* values[Count] = {};
};

}  // namespace Orv::TimelineEngineModel::Serialization::Json::Detail
