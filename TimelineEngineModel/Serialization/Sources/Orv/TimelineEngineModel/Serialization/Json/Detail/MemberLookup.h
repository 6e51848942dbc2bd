#pragma once

// A reader looks up a fixed list of keys in each object, one by one in a fixed
// order. jsoncpp keeps an object's members in a sorted tree, so each lookup is
// a tree search of several key comparisons, most of a reader's time on a
// large document. Members finds all of a list's keys in one ordered walk over
// the members instead, before anything is read; the reading then goes
// through the keys in their usual order, so what is assigned, and where a
// failure stops, is unchanged.

#include <Orv/Common/Serialization/Json/JsonObject.h>

#include <cstddef>
#include <cstring>

namespace Orv::TimelineEngineModel::Serialization::Json::Detail {

using Orv::Common::Serialization::Json::JsonObject;

constexpr std::size_t KeyLength(const char* key) {
    std::size_t length = 0;
    while (key[length] != '\0') {
        ++length;
    }
    return length;
}

// jsoncpp's member order: bytes compared as unsigned, then the shorter first.
constexpr bool MemberNameLess(const char* a, std::size_t aLength, const char* b, std::size_t bLength) {
    const std::size_t common = aLength < bLength ? aLength : bLength;
    for (std::size_t i = 0; i < common; ++i) {
        const auto x = static_cast<unsigned char>(a[i]);
        const auto y = static_cast<unsigned char>(b[i]);
        if (x != y) {
            return x < y;
        }
    }
    return aLength < bLength;
}

// A reader's keys in reading order, with their lengths and their order
// among an object's members, all worked out at compile time.
template <std::size_t Count>
struct KeySet {
    const char* names[Count] = {};
    std::size_t lengths[Count] = {};
    std::size_t inMemberOrder[Count] = {};  // indices into names
};

template <std::size_t Count>
constexpr KeySet<Count> MakeKeySet(const char* const (&names)[Count]) {
    KeySet<Count> set;
    for (std::size_t i = 0; i < Count; ++i) {
        set.names[i] = names[i];
        set.lengths[i] = KeyLength(names[i]);
        set.inMemberOrder[i] = i;
    }
    for (std::size_t i = 1; i < Count; ++i) {  // insertion sort: a dozen keys at most
        for (std::size_t j = i; j > 0; --j) {
            const std::size_t a = set.inMemberOrder[j - 1];
            const std::size_t b = set.inMemberOrder[j];
            if (!MemberNameLess(set.names[b], set.lengths[b], set.names[a], set.lengths[a])) {
                break;
            }
            set.inMemberOrder[j - 1] = b;
            set.inMemberOrder[j] = a;
        }
    }
    return set;
}

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

    // The value under `key`, one of the set's names (matched by address), or
    // nullptr when the object has no such member.
    const JsonObject* Find(const char* key) const {
        for (std::size_t i = 0; i < Count; ++i) {
            if (keys.names[i] == key) {
                return values[i];
            }
        }
        // Not one of the set's keys: look it up the ordinary way.
        const JsonObject& value = object[key];
        return value.isNull() ? nullptr : &value;
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
