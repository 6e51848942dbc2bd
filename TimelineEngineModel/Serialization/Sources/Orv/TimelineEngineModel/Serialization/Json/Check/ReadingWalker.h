#pragma once

#include <Orv/Common/Serialization/Json/JsonObject.h>
#include <Orv/TimelineEngineModel/Serialization/Json/DocumentKind.h>
#include <Orv/TimelineEngineModel/TrackItemType.h>

#include "DiagnosticCollector.h"
#include "JsonPath.h"
#include "MemberRules.h"
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

    // An object that a reader reads whole: what the messages call it, what
    // null reads as, and its members' rules.
    struct Entity {
        const char* noun;
        const char* asDefault;
        MemberRules rules;
    };

private:
    struct ReadFailure;
    class Slots;

    // Entities, as their readers take them.
    void ReadEntity(const JsonObject& value, const JsonPath& path, const Entity& entity);
    void Item(const JsonObject& value, const JsonPath& path, bool inTrack);
    void ReadItem(const JsonObject& value, const JsonPath& path);

    // Entering an object.
    bool ReadsAsDefault(const JsonObject& value, const JsonPath& path, const char* noun, const char* result);
    void RequireObject(const JsonObject& value, const JsonPath& path, const char* noun, std::string_view firstKey);
    Slots Enter(const JsonObject& object, const JsonPath& path, const MemberRules& rules,
                TrackItemType kind = TrackItemType::Unknown);
    void ReportUnknownKey(const JsonObject& value, const JsonPath& path, std::string_view key,
                          const MemberRules& rules, TrackItemType kind);
    void ReportDroppedMembers(const JsonObject& object, const JsonPath& path);
    TrackItemType ItemKind(const JsonObject& item, const JsonPath& path);
    void CheckTrackType(const JsonObject& type, const JsonPath& typePath);

    // Reading members.
    void ReadMembers(const Slots& slots, const JsonPath& objectPath, const MemberRules& rules);
    void ReadMember(const JsonObject* value, const JsonPath& objectPath, std::string_view key, Rule rule);
    void ReadList(const JsonObject& list, const JsonPath& path, std::string_view key, Rule rule);
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
