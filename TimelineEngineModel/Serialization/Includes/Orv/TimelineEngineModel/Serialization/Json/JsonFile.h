#pragma once

#include <Orv/Common/Serialization/Result.h>
#include <Orv/TimelineEngineModel/Serialization/Json/Export.h>
#include <Orv/TimelineEngineModel/Serialization/Json/JsonDiagnostic.h>

#include <iosfwd>
#include <memory>
#include <string>
#include <string_view>

// Documents in files, streams and texts, in one call each, for any of the
// five objects: Timeline, Track, TrackItem, MediaInfo and TransitionEffect.
//
//   std::unique_ptr<Timeline> timeline;
//   ReadReport report;
//   if (const Result read = ReadJsonFile("edit.json", timeline, &report); !read) {
//       std::cerr << ToString(report.place, "edit.json") << '\n';  // or read.ErrorMessage() alone
//   }
//   const Result written = WriteJsonFile(*timeline, "copy.json");
//
// A read fills `object` as the object's reader does (a timeline through
// JsonTextToTimelineConverter's fast path, read in place from a padded
// buffer; an empty pointer gets a new object), and fails with the reader's
// message. A text that jsoncpp refuses
// fails with jsoncpp's reason on one line: "Line 1, Column 49: Missing ','
// or '}' in object declaration". `object` is left untouched when nothing was
// read (a file error, a syntax error); after a reader's failure it holds what
// the reader left, as the reader's own `To` does.
//
// A write goes through a Stringer that hands its text on a buffer at a time,
// so that its memory stays that of the buffer whatever the document's size.
// A file is written to a temporary file beside it, synced and renamed over
// it: a failed write leaves the file as it was, never a cut one. A path that
// names a device, a FIFO or another file that is not a regular one is
// written in place. Writing beyond the process's file size limit raises
// SIGXFSZ, which ends the process unless it ignores the signal.
//
// No exception leaves these functions; each one may be called from any
// number of threads at once.
namespace Orv::TimelineEngineModel::Serialization::Json {

using Orv::Common::Serialization::Result;

// How a read went, beside its Result.
struct ReadReport {
    enum class Failure : unsigned char {
        None,          // read
        CannotOpen,    // no such file, a directory, no permission, ...
        CannotRead,    // reading failed after the file was opened
        TooLarge,      // longer than MaxDocumentSize: refused before it is read whole
        OutOfMemory,   // the text or the model did not fit in memory
        NotJson,       // jsoncpp refuses the text, or it nests deeper than jsoncpp allows
        NotConverted,  // the JSON is read, but the object's reader fails
    };
    Failure failure = Failure::None;
    // For NotJson and NotConverted: where the read fails, as
    // JsonDocumentChecker reports it (JSON Pointer, line, column, code and
    // what happens there). Empty (no code) for the other failures.
    JsonDiagnostic place;
};

// "none", "cannot-open", "cannot-read", "too-large", "out-of-memory",
// "not-json" or "not-converted".
ORV_TIMELINE_JSON_API const char* ToString(ReadReport::Failure failure) noexcept;

template <typename Object>
ORV_TIMELINE_JSON_API Result ReadJsonFile(const std::string& path, std::unique_ptr<Object>& object,
                                          ReadReport* report = nullptr) noexcept;
// Reads the stream to its end.
template <typename Object>
ORV_TIMELINE_JSON_API Result ReadJson(std::istream& stream, std::unique_ptr<Object>& object,
                                      ReadReport* report = nullptr) noexcept;
template <typename Object>
ORV_TIMELINE_JSON_API Result ReadJsonText(std::string_view text, std::unique_ptr<Object>& object,
                                          ReadReport* report = nullptr) noexcept;

// `pretty` lays the text out as Stringer::PrettyStringer() does.
template <typename Object>
ORV_TIMELINE_JSON_API Result WriteJsonFile(const Object& object, const std::string& path, bool pretty = false) noexcept;
template <typename Object>
ORV_TIMELINE_JSON_API Result WriteJson(const Object& object, std::ostream& stream, bool pretty = false) noexcept;
// To an open file descriptor, which stays open.
template <typename Object>
ORV_TIMELINE_JSON_API Result WriteJson(const Object& object, int descriptor, bool pretty = false) noexcept;

}  // namespace Orv::TimelineEngineModel::Serialization::Json
