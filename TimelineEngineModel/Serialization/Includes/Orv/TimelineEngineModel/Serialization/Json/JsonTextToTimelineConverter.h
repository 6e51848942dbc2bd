#pragma once

#include <Orv/Common/Serialization/Converter.h>
#include <Orv/TimelineEngineModel/Timeline.h>
#include <Orv/TimelineEngineModel/Serialization/Json/Export.h>

#include <cstddef>
#include <memory>
#include <string>
#include <string_view>

namespace Orv::TimelineEngineModel::Serialization::Json {

// Reads a timeline document straight from its text, in one call.
//
// For every byte string the outcome is exactly that of parsing the text with
// a Json::CharReaderBuilder at its default settings and handing the value to
// JsonToTimelineConverter:
//  - when jsoncpp refuses the text, a failed Result carrying jsoncpp's error
//    text as CharReader::parse reports it ("* Line N, Column M\n  reason\n"),
//    or, when the parse throws (nesting deeper than jsoncpp's limit of 1000),
//    the exception's text; `timeline` is left untouched;
//  - otherwise JsonToTimelineConverter's Result, message for message, and the
//    timeline it leaves, also the partial one after a failure.
// jsoncpp's defaults are lenient: comments, trailing commas, text after the
// root value, a leading byte order mark and duplicate keys (the last one
// counts) are accepted.
//
// Most documents take a fast path (a SIMD parser that validates the whole text
// and builds the model without any tree); anything it cannot prove to read
// the same way, every failure included, goes through jsoncpp as above.
//
// The fast parser needs Padding readable bytes after the text. A
// std::string whose spare capacity holds them is read in place, for example
// after `text.reserve(size + Padding)`; a std::string_view, or a string
// without that room, is first copied into a padded buffer. The parser reads
// the spare bytes, though their content does not change its result: memory
// checkers such as valgrind report them unless they were written (for
// example by `text.append(Padding, '\0'); text.resize(size)`). A text is read as
// if a NUL character followed it (jsoncpp looks one byte past a text that
// ends in a carriage return when it places an error).
//
// Stateless like every converter: one instance may serve any number of
// threads at once.
class ORV_TIMELINE_JSON_API JsonTextToTimelineConverter
    : public Orv::Common::Serialization::Converter<std::string, std::unique_ptr<Timeline>> {
public:
    using Result = Orv::Common::Serialization::Result;

    // Spare capacity, in bytes, after a std::string's text that saves the copy.
    static constexpr std::size_t Padding = 64;

    // How one read went, for callers that need more than the Result.
    struct Report {
        enum class Path : unsigned char {
            Fast,      // read by the fast parser
            Fallback,  // read by jsoncpp and JsonToTimelineConverter
        };
        enum class Failure : unsigned char {
            None,          // the read succeeded
            NotJson,       // jsoncpp refused the text; the message is its error text
            ParseAborted,  // jsoncpp threw while parsing (nesting beyond its limit); the
                           // message is the exception's text
            NotTimeline,   // the JSON did not convert; the message is the converter's
            OutOfMemory,   // the text or its tree did not fit in memory
        };
        Path path = Path::Fast;
        Failure failure = Failure::None;
        // On the fast path: whether the read met anything that
        // JsonDocumentChecker reports (a member skipped or reinterpreted, an
        // unknown or duplicate key, a null, an item read partly, a text
        // holding a NUL, ...). False there means the checker finds nothing,
        // so a caller can leave it out. Always false on the fallback path,
        // which does not look.
        bool anomaly = false;
    };

    JsonTextToTimelineConverter() = default;
    JsonTextToTimelineConverter(const JsonTextToTimelineConverter&) = default;
    ~JsonTextToTimelineConverter() override;

    // The string's spare capacity serves as padding when it is large enough.
    Result To(const std::string& rhs, std::unique_ptr<Timeline>& timeline) const noexcept override;
    // The same as the constant-reference form; `source` is left unchanged.
    Result To(std::string&& source, std::unique_ptr<Timeline>& timeline) const noexcept override;
    // Always copies the text into a padded buffer first.
    Result To(std::string_view text, std::unique_ptr<Timeline>& timeline) const noexcept;
    // A literal or C string, up to its NUL (a null pointer reads as "").
    Result To(const char* text, std::unique_ptr<Timeline>& timeline) const noexcept;

    // The same, also telling which path read the text and what failed.
    Result To(const std::string& text, std::unique_ptr<Timeline>& timeline, Report& report) const noexcept;
    Result To(std::string_view text, std::unique_ptr<Timeline>& timeline, Report& report) const noexcept;

private:
    Result Read(const char* text, std::size_t size, std::size_t spare, std::unique_ptr<Timeline>& timeline,
                Report& report) const noexcept;
};

// "fast" or "fallback".
ORV_TIMELINE_JSON_API const char* ToString(JsonTextToTimelineConverter::Report::Path path) noexcept;
// "none", "not-json", "parse-aborted", "not-timeline" or "out-of-memory".
ORV_TIMELINE_JSON_API const char* ToString(JsonTextToTimelineConverter::Report::Failure failure) noexcept;

}  // namespace Orv::TimelineEngineModel::Serialization::Json
