#pragma once

#include <cstddef>
#include <string>
#include <string_view>

namespace Orv::TimelineEngineModel::Serialization::Json::Detail {

// The place of a value in a document, built on the stack as the document is
// walked and spelt as an RFC 6901 JSON Pointer only when asked: most places
// never need their pointer. A path refers to its parent and its key; both
// must outlive it.
class JsonPath {
public:
    JsonPath() = default;  // the root
    JsonPath(const JsonPath& parent, std::string_view key) : parent(&parent), key(key) {}
    JsonPath(const JsonPath& parent, std::size_t index) : parent(&parent), index(index), isIndex(true) {}

    bool IsRoot() const { return parent == nullptr; }

    std::string Pointer() const {
        std::string pointer;
        AppendTo(pointer);
        return pointer;
    }

    // The pointer of this path's child under `key`.
    std::string ChildPointer(std::string_view childKey) const {
        return JsonPath(*this, childKey).Pointer();
    }

private:
    void AppendTo(std::string& pointer) const {
        if (parent == nullptr) {
            return;
        }
        parent->AppendTo(pointer);
        pointer += '/';
        if (isIndex) {
            pointer += std::to_string(index);
            return;
        }
        for (const char c : key) {  // "~" and "/" are escaped as "~0" and "~1"
            if (c == '~') {
                pointer += "~0";
            } else if (c == '/') {
                pointer += "~1";
            } else {
                pointer += c;
            }
        }
    }

    const JsonPath* parent = nullptr;
    std::string_view key;
    std::size_t index = 0;
    bool isIndex = false;
};

}  // namespace Orv::TimelineEngineModel::Serialization::Json::Detail
