#pragma once

// Reading, parsing, converting and writing the documents the tool works on.
// Everything here goes through the library's public headers, as a user's
// program would.

#include <Orv/Common/Serialization/Json/Stringer.h>
#include <Orv/TimelineEngineModel/MediaInfo.h>
#include <Orv/TimelineEngineModel/Serialization/Json/JsonDiagnostic.h>
#include <Orv/TimelineEngineModel/Timeline.h>
#include <Orv/TimelineEngineModel/Track.h>
#include <Orv/TimelineEngineModel/TrackItem.h>
#include <Orv/TimelineEngineModel/TransitionEffect.h>

#include "CommandLine.h"

#include <memory>
#include <optional>
#include <string>

namespace OrvTool {

// Texts from a document are shown with the library's QuotedText and
// PrintableText: escaped (controls, bidirectional marks, bytes that are not
// UTF-8) and shortened, so that nothing a document holds reaches a terminal,
// a log or JSON output raw.
using Orv::TimelineEngineModel::Serialization::Json::PrintableText;
using Orv::TimelineEngineModel::Serialization::Json::QuotedText;

// The entity a document holds at its root.
enum class Kind { Timeline, Track, Item, MediaInfo, Effect };

// "timeline", "track", "item", "media-info", "effect"; nullopt otherwise.
std::optional<Kind> KindFromName(const std::string& name);
// The kind named by the "--as" option (a timeline when it is absent); throws
// UsageError for a name it does not know.
Kind KindOption(const ParsedArguments& parsed);
// The words used in messages: "timeline", "track", "track item", ...
const char* KindNoun(Kind kind);

// The whole content of `path`, or of standard input for "-", with the spare
// capacity that lets JsonTextToTimelineConverter read it in place. A text
// longer than the library's MaxDocumentSize is refused without being read
// whole: a regular file by its size, a stream once it passes the limit. On
// failure returns false and sets `error` to the reason ("larger than N
// bytes, ..." or the system's). Throws std::bad_alloc when memory runs out.
bool ReadInput(const std::string& path, std::string& text, std::string& error);

// The reason given for any failure to get memory, whatever ran out of it.
constexpr const char* kOutOfMemory = "out of memory";

// The library's converters report memory that ran out as a failed Result
// with the text of std::bad_alloc; this turns that text back into the
// exception.
void ThrowIfOutOfMemory(const char* message);

// One entity of any kind, as read from a document.
struct Entity {
    Kind kind = Kind::Timeline;
    std::unique_ptr<Orv::TimelineEngineModel::Timeline> timeline;
    std::unique_ptr<Orv::TimelineEngineModel::Track> track;
    std::unique_ptr<Orv::TimelineEngineModel::TrackItem> item;
    std::unique_ptr<Orv::TimelineEngineModel::MediaInfo> mediaInfo;
    std::unique_ptr<Orv::TimelineEngineModel::TransitionEffect> effect;
};

// Runs the library's writer for the entity. On failure returns false and sets
// `error` to the converter's message, naming the entry without an item when
// that is the cause. Throws std::bad_alloc when memory runs out.
bool WriteEntity(const Entity& entity, Orv::Common::Serialization::Json::Stringer& stringer,
                 std::string& error);

// The place of the first track entry that holds no item ("tracks[1] (id
// "a") items[2]"), or an empty text when every entry holds one.
std::string FindEmptyEntry(const Orv::TimelineEngineModel::Timeline& timeline);
std::string FindEmptyEntry(const Orv::TimelineEngineModel::Track& track);

// Reads the document at `path` and converts it. A timeline is read by
// JsonTextToTimelineConverter; the other kinds are parsed by jsoncpp at the
// same default settings (comments, trailing commas, duplicate keys and text
// after the document accepted) and converted by their readers. On failure
// `error` is one of "cannot be read: REASON", "not JSON: REASON" (jsoncpp's
// first error, "Line N, Column M: reason", or the nesting it refuses),
// "not a KIND: MESSAGE" and kOutOfMemory, whichever step ran out of memory.
//
// `details`, when given, receives the text and whether it needs the document
// checker: not when the timeline reader's fast path read it and met nothing
// that the checker reports.
struct LoadDetails {
    bool textRead = false;
    std::string text;
    bool needsCheck = true;
};
bool LoadEntity(const std::string& path, Kind kind, Entity& entity, std::string& error,
                LoadDetails* details = nullptr);

// A one-line description of the entity for `check`.
std::string Summarize(const Entity& entity);

// "MediaSummaryItem", "FxAudioTransitionItem", "FxVideoTransitionItem" or
// "unknown kind".
const char* ItemKindName(const Orv::TimelineEngineModel::TrackItem& item);

}  // namespace OrvTool
