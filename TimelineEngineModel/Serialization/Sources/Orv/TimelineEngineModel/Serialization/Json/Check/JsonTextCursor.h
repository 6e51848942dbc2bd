#pragma once

#include <cstddef>
#include <string>
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

    // True when a comment was among what it skipped.
    bool SkipSpacesAndComments() {
        bool comment = false;
        for (SkipSpaces(); Peek() == '/'; SkipSpaces()) {
            SkipComment();
            comment = true;
        }
        return comment;
    }

    // One token as jsoncpp's tokenizer takes it: a string, a number (digits
    // after its first character, a fraction, an exponent), a literal, or a
    // single byte for anything else (punctuation, or a byte that starts no
    // token).
    void SkipToken() {
        const char c = Peek();
        if (c == '"') {
            SkipString();
            return;
        }
        ++position;
        if (c == '-' || (c >= '0' && c <= '9')) {
            SkipDigits();
            if (Peek() == '.') {
                ++position;
                SkipDigits();
            }
            if (Peek() == 'e' || Peek() == 'E') {
                ++position;
                position += Peek() == '+' || Peek() == '-' ? 1 : 0;
                SkipDigits();
            }
            return;
        }
        const std::string_view rest = c == 't' ? "rue" : c == 'f' ? "alse" : c == 'n' ? "ull" : "";
        if (!rest.empty() && text.substr(position, rest.size()) == rest) {
            position += rest.size();
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

    // One value, with everything nested in it, as jsoncpp reads it: inside
    // an object, the token after a comment where "," or "}" is due counts as
    // the separator, whatever it is (see ObjectMemberScanner).
    void SkipValue() {
        std::string open;  // the kinds of the containers open inside the value
        for (;;) {
            SkipSpacesAndComments();
            const char c = Peek();
            if (c == '{' || c == '[') {
                ++position;
                open.push_back(c);
                if (!EnterElement(open)) {
                    return;
                }
                continue;
            }
            if (c == '"') {
                SkipString();
            } else {
                SkipScalar();
            }
            if (!LeaveValue(open)) {
                return;
            }
        }
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

    // After the opening bracket of the innermost container, or after a
    // separator: moves to the start of the next value, closing containers
    // that end here. False when the whole value has been passed.
    bool EnterElement(std::string& open) {
        SkipSpacesAndComments();
        const char close = open.back() == '{' ? '}' : ']';
        if (Peek() == close) {
            ++position;
            open.pop_back();
            return LeaveValue(open);
        }
        if (open.back() == '{') {  // a key, then its colon
            SkipString();
            SkipSpacesAndComments();
            ++position;
        }
        return !AtEnd();
    }

    // After a value: passes the separator or the closing brackets that
    // follow it. False when the whole value has been passed.
    bool LeaveValue(std::string& open) {
        while (!open.empty() && !AtEnd()) {
            const bool comment = SkipSpacesAndComments();
            const char close = open.back() == '{' ? '}' : ']';
            const char c = Peek();
            if (c == close) {
                ++position;
                open.pop_back();
                continue;
            }
            if (c == ',') {
                ++position;
            } else if (comment && open.back() == '{') {
                SkipToken();
            } else {
                return false;  // not a text that jsoncpp parsed
            }
            return EnterElement(open);
        }
        return false;
    }

    void SkipDigits() {
        while (!AtEnd() && text[position] >= '0' && text[position] <= '9') {
            ++position;
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
