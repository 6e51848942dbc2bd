#include "ObjectMemberScanner.h"

#include "JsonTextCursor.h"

#include <json/reader.h>
#include <json/value.h>

#include <memory>

namespace Orv::TimelineEngineModel::Serialization::Json::Detail {

ObjectMemberScanner::ObjectMemberScanner(std::string_view text)
    : text(text),
      mayHaveComments(text.find("/*") != std::string_view::npos || text.find("//") != std::string_view::npos) {}

template <typename OnMember, typename OnIgnored>
void ObjectMemberScanner::Scan(std::size_t objectStart, OnMember&& onMember, OnIgnored&& onIgnored) const {
    JsonTextCursor cursor(text, objectStart + 1);
    for (;;) {
        cursor.SkipSpacesAndComments();
        if (cursor.Peek() == ',') {  // between members, or trailing
            cursor.Advance();
            continue;
        }
        if (cursor.Peek() != '"') {  // the closing brace (or the text's end)
            return;
        }
        const std::size_t keyStart = cursor.Position();
        cursor.SkipString();
        const std::string_view keyToken = text.substr(keyStart, cursor.Position() - keyStart);
        cursor.SkipSpacesAndComments();
        cursor.Advance();  // the colon
        cursor.SkipSpacesAndComments();
        onMember(keyToken, cursor.Position());
        cursor.SkipValue();
        if (cursor.SkipSpacesAndComments() && cursor.Peek() != ',' && cursor.Peek() != '}' && !cursor.AtEnd()) {
            const std::size_t tokenStart = cursor.Position();
            cursor.SkipToken();
            onIgnored(text.substr(tokenStart, cursor.Position() - tokenStart), tokenStart);
        }
    }
}

std::size_t ObjectMemberScanner::Count(std::size_t objectStart, std::vector<IgnoredToken>* ignored) const {
    std::size_t count = 0;
    Scan(
        objectStart, [&](std::string_view, std::size_t) { ++count; },
        [&](std::string_view token, std::size_t offset) {
            if (ignored != nullptr) {
                ignored->push_back({token, offset});
            }
        });
    return count;
}

std::vector<ObjectMemberScanner::Member> ObjectMemberScanner::Members(std::size_t objectStart) const {
    std::vector<Member> members;
    Scan(
        objectStart,
        [&](std::string_view keyToken, std::size_t valueOffset) {
            members.push_back({DecodeKey(keyToken), valueOffset});
        },
        [](std::string_view, std::size_t) {});
    return members;
}

// Escapes are rare in keys; jsoncpp itself decodes those that have them, so
// that "\u0069d" and "id" compare as jsoncpp compares them.
std::string ObjectMemberScanner::DecodeKey(std::string_view keyToken) {
    const std::string_view inner = keyToken.substr(1, keyToken.size() - 2);
    if (inner.find('\\') == std::string_view::npos) {
        return std::string(inner);
    }
    const std::unique_ptr<::Json::CharReader> reader(::Json::CharReaderBuilder().newCharReader());
    ::Json::Value key;
    reader->parse(keyToken.data(), keyToken.data() + keyToken.size(), &key, nullptr);
    return key.isString() ? key.asString() : std::string(inner);
}

}  // namespace Orv::TimelineEngineModel::Serialization::Json::Detail
