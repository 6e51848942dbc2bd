#pragma once

#include <cstddef>
#include <string_view>

namespace Orv::TimelineEngineModel::Serialization::Json::Detail {

// A position in a text that jsoncpp has parsed at its default settings, and
// the steps over its tokens as jsoncpp takes them: white space is space, tab,
// CR and LF; comments are "/* ... */" and "// ..." up to the line's end;
// a string runs to the first quote that no backslash escapes. Every step
// stops at the end of the text.
class JsonTextCursor {
public:
    JsonTextCursor(std::string_view text, std::size_t position) : text(text), position(position) {}

    std::size_t Position() const { return position; }
    bool AtEnd() const { return position >= text.size(); }
    // The byte here, or NUL at the end.
    char Peek() const { return AtEnd() ? '\0' : text[position]; }
    void Advance() { ++position; }

    void SkipSpaces() {
        while (!AtEnd() && IsSpace(text[position])) {
            ++position;
        }
    }

    void SkipSpacesAndComments() {
        for (SkipSpaces(); Peek() == '/'; SkipSpaces()) {
            SkipComment();
        }
    }

    // From the opening quote to past the closing one.
    void SkipString() {
        for (++position; !AtEnd(); ++position) {
            if (text[position] == '\\') {
                ++position;
            } else if (text[position] == '"') {
                ++position;
                return;
            }
        }
    }

    // One value, with everything nested in it.
    void SkipValue() {
        std::size_t depth = 0;
        do {
            const char c = Peek();
            if (c == '"') {
                SkipString();
            } else if (c == '/') {
                SkipComment();
            } else if (c == '[' || c == '{') {
                ++depth;
                ++position;
            } else if (c == ']' || c == '}') {
                --depth;
                ++position;
            } else if (depth == 0) {
                SkipScalar();
            } else {
                ++position;
            }
        } while (depth != 0 && !AtEnd());
    }

private:
    static bool IsSpace(char c) { return c == ' ' || c == '\t' || c == '\r' || c == '\n'; }
    static bool IsDelimiter(char c) { return c == ',' || c == ']' || c == '}' || c == '/'; }

    void SkipComment() {
        const std::size_t bodyStart = position + 2;
        if (position + 1 < text.size() && text[position + 1] == '*') {
            const std::size_t close = text.find("*/", bodyStart);
            position = close == std::string_view::npos ? text.size() : close + 2;
        } else {
            const std::size_t close = text.find_first_of("\r\n", bodyStart);
            position = close == std::string_view::npos ? text.size() : close + 1;
        }
    }

    // A number or literal: up to the next delimiter.
    void SkipScalar() {
        while (!AtEnd() && !IsSpace(text[position]) && !IsDelimiter(text[position])) {
            ++position;
        }
    }

    std::string_view text;
    std::size_t position;
};

}  // namespace Orv::TimelineEngineModel::Serialization::Json::Detail
