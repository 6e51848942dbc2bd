#include "NestingLimitFinder.h"

#include "JsonTextCursor.h"

#include <vector>

namespace Orv::TimelineEngineModel::Serialization::Json::Detail {

namespace {

enum class Expecting { Value, KeyOrEnd, SeparatorOrEnd };

}  // namespace

// Goes through the text as jsoncpp's reader does, keeping the open arrays and
// objects. Like jsoncpp, a "]" right after "[" or "," (white space between,
// but no comment) closes the array before any value is started.
std::size_t NestingLimitFinder::Find(std::string_view text, std::size_t limit) {
    JsonTextCursor cursor(text, 0);
    std::vector<char> open;
    Expecting expecting = Expecting::Value;
    while (!cursor.AtEnd()) {
        if (expecting == Expecting::Value) {
            if (!open.empty() && open.back() == '[') {
                cursor.SkipSpaces();
                if (cursor.Peek() == ']') {
                    cursor.Advance();
                    open.pop_back();
                    expecting = Expecting::SeparatorOrEnd;
                    continue;
                }
            }
            cursor.SkipSpacesAndComments();
            if (open.size() >= limit) {
                return cursor.Position();
            }
            const char c = cursor.Peek();
            if (c == '[' || c == '{') {
                open.push_back(c);
                cursor.Advance();
                expecting = c == '[' ? Expecting::Value : Expecting::KeyOrEnd;
            } else {
                cursor.SkipValue();
                expecting = Expecting::SeparatorOrEnd;
            }
            continue;
        }
        const bool comment = cursor.SkipSpacesAndComments();
        char c = cursor.Peek();
        if (open.empty()) {
            break;
        }
        if (comment && open.back() == '{' && expecting == Expecting::SeparatorOrEnd && c != '}' && c != ',') {
            // After a comment, any token stands for the "," (ObjectMemberScanner).
            cursor.SkipToken();
            cursor.SkipSpacesAndComments();
            expecting = Expecting::KeyOrEnd;
            c = cursor.Peek();
        }
        if (c == ']' || c == '}') {
            cursor.Advance();
            open.pop_back();
            expecting = Expecting::SeparatorOrEnd;
        } else if (expecting == Expecting::KeyOrEnd || open.back() == '{') {
            // A member's key (after "{" or ","), then its colon.
            if (c == ',') {
                cursor.Advance();
                cursor.SkipSpacesAndComments();
                if (cursor.Peek() == '}') {
                    continue;
                }
            }
            cursor.SkipString();
            cursor.SkipSpacesAndComments();
            cursor.Advance();
            expecting = Expecting::Value;
        } else {  // "," in an array
            cursor.Advance();
            expecting = Expecting::Value;
        }
    }
    return text.size();
}

}  // namespace Orv::TimelineEngineModel::Serialization::Json::Detail
