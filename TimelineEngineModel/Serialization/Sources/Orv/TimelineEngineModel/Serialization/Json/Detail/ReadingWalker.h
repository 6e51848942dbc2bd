#pragma once

#include <Orv/Common/Serialization/Json/JsonObject.h>
#include <Orv/TimelineEngineModel/Serialization/Json/DocumentKind.h>
#include <Orv/TimelineEngineModel/TrackItemType.h>

#include "DiagnosticCollector.h"
#include "JsonPath.h"
#include "ObjectMemberScanner.h"

#include <cstddef>
#include <string>
#include <string_view>
#include <vector>

namespace Orv::TimelineEngineModel::Serialization::Json::Detail {

using Orv::Common::Serialization::Json::JsonObject;

// Goes through a parsed document the way the reader of its kind goes through
// it - the same members in the same order, the same tests of JSON type, the
// same integer parsing, the same failures and what each failure leaves
// unread - and reports every place where the reader skips, reinterprets or
// fails. A failure is raised as a ReadFailure and caught where the reader
// catches it (an item's own read, the root), each level on the way adding
// what it leaves unread to the failure's message.
class ReadingWalker {
public:
    ReadingWalker(std::string_view text, DiagnosticCollector& diagnostics) : scanner(text), diagnostics(diagnostics) {}

    void Walk(const JsonObject& root, DocumentKind kind);

    // How a reader takes the value of one of its keys.
    enum class Rule { Identifier, Text, Integer, EffectType, Tracks, MediaInfos, Items };

    // The keys read at one place (addresses of the shared key constants, as
    // the readers match them), with their lengths.
    struct KeyList {
        const char* const* names;
        const std::size_t* lengths;
        std::size_t count;
    };

private:
    struct ReadFailure;
    class Slots;

    // Entities, as their readers take them.
    void Timeline(const JsonObject& value, const JsonPath& path);
    void Track(const JsonObject& value, const JsonPath& path);
    void Item(const JsonObject& value, const JsonPath& path, bool inTrack);
    void ReadItem(const JsonObject& value, const JsonPath& path);
    void MediaInfo(const JsonObject& value, const JsonPath& path);
    void Effect(const JsonObject& value, const JsonPath& path);

    // Entering an object.
    bool ReadsAsDefault(const JsonObject& value, const JsonPath& path, const char* noun, const char* result);
    void RequireObject(const JsonObject& value, const JsonPath& path, const char* noun, const char* firstKey);
    Slots Enter(const JsonObject& object, const JsonPath& path, const KeyList& keys,
                const KeyList* otherKindKeys = nullptr, const char* kindNoun = nullptr);
    void ReportUnknownKey(const JsonObject& value, const JsonPath& path, std::string_view key, const KeyList& keys,
                          const KeyList* otherKindKeys, const char* kindNoun);
    void ReportDroppedMembers(const JsonObject& object, const JsonPath& path);
    TrackItemType ItemKind(const JsonObject& item, const JsonPath& path);
    void CheckTrackType(const JsonObject* type, const JsonPath& trackPath);

    // Reading members.
    void ReadMembers(const Slots& slots, const JsonPath& objectPath, const char* const* keys, const Rule* rules,
                     std::size_t count);
    void ReadMember(const JsonObject* value, const JsonPath& objectPath, const char* key, Rule rule);
    void ReadList(const JsonObject& list, const JsonPath& path, const char* key, Rule rule);
    bool IsText(const JsonObject& value, const JsonPath& path, const std::string& skipped);
    void CheckStoredText(const JsonObject& value, const JsonPath& path, std::string_view text);
    void CheckInteger(const JsonObject& value, const JsonPath& path, std::string_view text,
                      const JsonPath& objectPath);
    void CheckEffectType(const JsonObject& value, const JsonPath& path, std::string_view text);

    // Failures.
    [[noreturn]] void Fail(const JsonObject& value, const JsonPath& path, const char* code,
                           const std::string& finding, const std::string& failure, const JsonPath* objectPath);
    void Finish(const ReadFailure& failure);

    void Report(JsonDiagnostic::Severity severity, const char* code, const JsonObject& value, const JsonPath& path,
                std::string message);

    ObjectMemberScanner scanner;
    DiagnosticCollector& diagnostics;
};

}  // namespace Orv::TimelineEngineModel::Serialization::Json::Detail
