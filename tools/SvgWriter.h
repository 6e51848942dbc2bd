#pragma once

// A small writer of SVG text: elements with attributes and text, one per
// line, indented by nesting. Every text and attribute value goes through
// ValidXmlText and is escaped, so the output is well-formed XML whatever
// bytes the model's texts hold.

#include <string>
#include <utility>
#include <vector>

namespace OrvTool {

// `bytes` as UTF-8 text that XML 1.0 allows: every byte that does not start
// a valid UTF-8 sequence (a stray continuation byte, a truncated or overlong
// sequence, a surrogate, a code point above U+10FFFF), and every character
// XML 1.0 excludes (control characters other than tab, line feed and
// carriage return, U+FFFE, U+FFFF), becomes U+FFFD. Valid text is returned
// unchanged.
std::string ValidXmlText(const std::string& bytes);

// The number of characters (code points) of valid UTF-8 text.
std::size_t CharacterCount(const std::string& text);

// At most `limit` characters of valid UTF-8 `text`: unchanged when it fits,
// otherwise "…" and its end, with a third of the room for its start from 7
// characters on (the end keeps the numbering, where identifiers usually
// differ). Empty when `limit` is 0.
std::string ShortenText(const std::string& text, std::size_t limit);

class SvgWriter {
public:
    using Attributes = std::vector<std::pair<const char*, std::string>>;

    // Writes the XML declaration and opens the <svg> root of the given size.
    SvgWriter(double width, double height);

    // Opens an element that later content goes into, up to Close().
    void Open(const char* name, const Attributes& attributes = {});
    void Close();
    // One whole element holding `text` (an empty element when there is none).
    void Element(const char* name, const Attributes& attributes, const std::string& text = {});

    // Closes whatever is still open, the root included, and returns the text.
    std::string Finish();

    // A coordinate or length: at most one decimal, no trailing zeros.
    static std::string Number(double value);

private:
    void StartTag(const char* name, const Attributes& attributes);
    void Indent();

    std::string text;
    std::vector<const char*> open;
};

}  // namespace OrvTool
