#include "ReadingWalker.h"

#include <Orv/TimelineEngineModel/EffectType.h>

#include "../Format/IntegerText.h"
#include "../Read/MemberReading.h"
#include "KeySuggestion.h"
#include "MessageText.h"
#include "Utf8Validation.h"

#include <algorithm>
#include <array>
#include <cstdio>
#include <exception>
#include <iterator>
#include <numeric>

namespace Orv::TimelineEngineModel::Serialization::Json::Detail {

namespace {

using Severity = JsonDiagnostic::Severity;
using Codes = JsonDiagnostic::Codes;

}  // namespace

namespace {

constexpr ReadingWalker::Entity TimelineEntity{"timeline", "a default timeline", MemberRulesOf<Timeline>()};
constexpr ReadingWalker::Entity TrackEntity{"track", "a default track", MemberRulesOf<Track>()};
constexpr ReadingWalker::Entity MediaInfoEntity{"media info", "a default media info", MemberRulesOf<MediaInfo>()};
constexpr ReadingWalker::Entity EffectEntity{"transition effect", "a default transition effect",
                                              MemberRulesOf<TransitionEffect>()};

// The members of each item kind, and what the messages call it.
struct ItemEntity {
    TrackItemType type;
    const char* noun;
    MemberRules rules;
};
constexpr ItemEntity ItemEntities[] = {
    {TrackItemType::MediaSummary, "a media summary item", MemberRulesOf<MediaSummaryItem>()},
    {TrackItemType::FxAudioTransition, "an audio transition item", MemberRulesOf<FxAudioTransitionItem>()},
    {TrackItemType::FxVideoTransition, "a video transition item", MemberRulesOf<FxVideoTransitionItem>()},
};

const ItemEntity& ItemEntityOf(TrackItemType type) {
    for (const ItemEntity& entity : ItemEntities) {
        if (entity.type == type) {
            return entity;
        }
    }
    return ItemEntities[0];
}

// A key that the item's kind does not read but another kind does.
bool IsKeyOfOtherKind(std::string_view key, TrackItemType kind) {
    bool other = false;
    for (const ItemEntity& entity : ItemEntities) {
        other = other || (entity.type != kind && entity.rules.Contains(key));
    }
    return other && !ItemEntityOf(kind).rules.Contains(key);
}

std::size_t OffsetOf(const JsonObject& value) {
    return static_cast<std::size_t>(value.getOffsetStart());
}

// What a member keeps when the reader skips it.
const char* DefaultText(Rule rule) {
    switch (rule) {
        case Rule::Integer: return "0";
        case Rule::EffectType: return "Unknown";
        default: return "empty";
    }
}

template <typename Candidates>
std::string DidYouMean(std::string_view text, const Candidates& candidates) {
    const std::string_view suggestion = SuggestionFor(text, candidates);
    return suggestion.empty() ? std::string() : " (did you mean " + Quote(suggestion) + "?)";
}

}  // namespace

// The members of an object under the keys read at its place, found in one
// walk over the object (unknown keys reported on the way), by the index of
// their rule.
class ReadingWalker::Slots {
public:
    explicit Slots(const MemberRules& rules) : rules(rules) {}

    // Takes the member when its key is one of the rules'; false otherwise.
    bool Take(std::string_view key, const JsonObject& value) {
        for (std::size_t i = 0; i < rules.count; ++i) {
            if (rules.members[i].key == key) {
                values[i] = &value;
                return true;
            }
        }
        return false;
    }

    const JsonObject* At(std::size_t index) const { return values[index]; }

private:
    static constexpr std::size_t Capacity = 16;
    MemberRules rules;
    const JsonObject* values[Capacity] = {};
};

// A failed read on its way out: its diagnostic, and what the levels it
// passes leave unread.
struct ReadingWalker::ReadFailure {
    std::size_t diagnostic;
    std::string failingObject;  // the pointer of the object whose member failed
    bool memberFailed;          // false: the failing value itself is no object
    std::string fate;           // what becomes of the entry being read
    std::vector<std::string> unread;

    // Members of the failing object are named by their key, anything else
    // by its pointer.
    void AddUnread(const JsonPath& objectPath, std::string_view key) {
        const std::string objectPointer = objectPath.Pointer();
        unread.push_back(memberFailed && objectPointer == failingObject ? std::string(key)
                                                                        : objectPath.ChildPointer(key));
    }

    void AddUnreadElements(const JsonPath& listPath, std::size_t first, std::size_t count) {
        if (first + 1 == count) {
            unread.push_back(JsonPath(listPath, first).Pointer());
        } else if (first < count) {
            unread.push_back(JsonPath(listPath, first).Pointer() + " to " + JsonPath(listPath, count - 1).Pointer());
        }
    }
};

void ReadingWalker::Walk(const JsonObject& root, DocumentKind kind) {
    const JsonPath path;
    try {
        switch (kind) {
            case DocumentKind::Timeline: ReadEntity(root, path, TimelineEntity); break;
            case DocumentKind::Track: ReadEntity(root, path, TrackEntity); break;
            case DocumentKind::TrackItem: Item(root, path, false); break;
            case DocumentKind::MediaInfo: ReadEntity(root, path, MediaInfoEntity); break;
            case DocumentKind::TransitionEffect: ReadEntity(root, path, EffectEntity); break;
        }
    } catch (const ReadFailure& failure) {
        Finish(failure);
    }
}

// ---- Entities ---------------------------------------------------------------

void ReadingWalker::ReadEntity(const JsonObject& value, const JsonPath& path, const Entity& entity) {
    if (ReadsAsDefault(value, path, entity.noun, entity.asDefault)) {
        return;
    }
    RequireObject(value, path, entity.noun, entity.rules.members[0].key);
    const Slots slots = Enter(value, path, entity.rules);
    ReadMembers(slots, path, entity.rules);
}

// The item reader catches its own failures, so a track carries on after one.
void ReadingWalker::Item(const JsonObject& value, const JsonPath& path, bool inTrack) {
    try {
        ReadItem(value, path);
    } catch (ReadFailure& failure) {
        if (inTrack && !failure.memberFailed) {
            failure.fate = "the track keeps an entry without an item, which the writer refuses";
        }
        Finish(failure);
    }
}

// The kind from "_type", the kind's members, then "id". A transition's effect
// is stored only when all of it was read.
void ReadingWalker::ReadItem(const JsonObject& value, const JsonPath& path) {
    if (ReadsAsDefault(value, path, "track item", "a default media summary item")) {
        return;
    }
    RequireObject(value, path, "track item", ItemKindKey);
    const TrackItemType kind = ItemKind(value, path);
    const MemberRules& rules = ItemEntityOf(kind).rules;
    const Slots slots = Enter(value, path, rules, kind);
    try {
        ReadMembers(slots, path, rules);
    } catch (ReadFailure& failure) {
        failure.fate = kind == TrackItemType::MediaSummary ? "the item is kept partly read"
                                                           : "the item is kept with a default effect";
        throw;
    }
}

// ---- Entering an object ----------------------------------------------------

// The readers take null as an object without members.
bool ReadingWalker::ReadsAsDefault(const JsonObject& value, const JsonPath& path, const char* noun,
                                   const char* result) {
    if (!value.isNull()) {
        return false;
    }
    Report(Severity::Warning, Codes::NullValue, value, path,
           std::string("null where a ") + noun + " is due: read as " + result);
    return true;
}

// Anything else that is no object fails at the reader's first lookup, with
// jsoncpp's message, which the same lookup gives here.
void ReadingWalker::RequireObject(const JsonObject& value, const JsonPath& path, const char* noun,
                                  std::string_view firstKey) {
    if (value.isObject()) {
        return;
    }
    std::string failure;
    try {
        static_cast<void>(value[std::string(firstKey)]);
    } catch (const ::Json::LogicError& error) {
        failure = error.what();
    }
    Fail(value, path, Codes::NotAnObject, std::string(JsonTypeName(value)) + " where a " + noun + " is due", failure,
         nullptr);
}

// Also checks what the reader only looks at: a track's "type".
ReadingWalker::Slots ReadingWalker::Enter(const JsonObject& object, const JsonPath& path, const MemberRules& rules,
                                          TrackItemType kind) {
    Slots slots(rules);
    const auto end = object.end();
    for (auto member = object.begin(); member != end; ++member) {
        const char* nameEnd = nullptr;
        const char* name = member.memberName(&nameEnd);
        const std::string_view key(name, static_cast<std::size_t>(nameEnd - name));
        if (!slots.Take(key, *member) && !(path.IsRoot() && key == SchemaKey)) {
            ReportUnknownKey(*member, JsonPath(path, key), key, rules, kind);
        }
    }
    ReportDroppedMembers(object, path);
    for (std::size_t i = rules.read; i < rules.count; ++i) {
        if (rules.members[i].rule == Rule::TrackType && slots.At(i) != nullptr) {
            CheckTrackType(*slots.At(i), JsonPath(path, rules.members[i].key));
        }
    }
    return slots;
}

void ReadingWalker::ReportUnknownKey(const JsonObject& value, const JsonPath& path, std::string_view key,
                                     const MemberRules& rules, TrackItemType kind) {
    if (kind != TrackItemType::Unknown && IsKeyOfOtherKind(key, kind)) {
        Report(Severity::Warning, Codes::UnknownKey, value, path,
               "key " + Quote(key) + " is not read in " + ItemEntityOf(kind).noun + ": ignored");
        return;
    }
    std::vector<std::string_view> candidates;
    for (const MemberRule& member : rules) {
        candidates.push_back(member.key);
    }
    Report(Severity::Warning, Codes::UnknownKey, value, path,
           "unknown key " + Quote(key) + ": ignored" + DidYouMean(key, candidates));
}

// jsoncpp keeps the last member of each key, so the tree has fewer members
// than the text exactly when a key repeats; only then are the keys compared.
// A token that jsoncpp takes for a separator can follow only a comment.
void ReadingWalker::ReportDroppedMembers(const JsonObject& object, const JsonPath& path) {
    const std::size_t start = OffsetOf(object);
    std::vector<ObjectMemberScanner::IgnoredToken> ignored;
    const std::size_t count = scanner.Count(start, scanner.MayHaveComments() ? &ignored : nullptr);
    for (const ObjectMemberScanner::IgnoredToken& token : ignored) {
        const bool text = token.token.front() == '"';
        const std::string shown = text ? "text " + Quote(token.token.substr(1, token.token.size() - 2))
                                       : "token " + Quote(token.token);
        diagnostics.Add(Severity::Warning, Codes::IgnoredToken, token.offset, path.Pointer(),
                        shown + " after a comment, where \",\" or \"}\" is due: jsoncpp takes it for the separator "
                                "and ignores it");
    }
    if (count == object.size()) {
        return;
    }
    const std::vector<ObjectMemberScanner::Member> members = scanner.Members(start);
    std::vector<std::size_t> byKey(members.size());
    std::iota(byKey.begin(), byKey.end(), std::size_t{0});
    std::stable_sort(byKey.begin(), byKey.end(),
                     [&](std::size_t a, std::size_t b) { return members[a].key < members[b].key; });
    for (std::size_t i = 0; i + 1 < byKey.size(); ++i) {
        const ObjectMemberScanner::Member& member = members[byKey[i]];
        if (member.key == members[byKey[i + 1]].key) {
            diagnostics.Add(Severity::Warning, Codes::DuplicateKey, member.valueOffset,
                            path.ChildPointer(member.key), "duplicate key " + Quote(member.key) + ": the last one counts");
        }
    }
}

// The transition names exactly; anything else is a media summary item.
TrackItemType ReadingWalker::ItemKind(const JsonObject& item, const JsonPath& path) {
    const JsonObject* type = item.find(ItemKindKey, ItemKindKey + sizeof ItemKindKey - 1);
    if (type == nullptr) {
        Report(Severity::Warning, Codes::MissingItemType, item, path, "no \"_type\": read as a media summary item");
        return TrackItemType::MediaSummary;
    }
    const JsonPath typePath(path, ItemKindKey);
    if (!IsText(*type, typePath, "the item is read as a media summary item")) {
        return TrackItemType::MediaSummary;
    }
    const std::string_view text = TextOf(*type);
    TrackItemType named = TrackItemType::Unknown;
    std::vector<std::string_view> names;
    ForEachItemKind([&](auto kind) {
        named = text == kind.name ? kind.type : named;
        names.push_back(kind.name);
    });
    if (named == TrackItemType::Unknown) {
        Report(Severity::Warning, Codes::UnknownItemType, *type, typePath,
               "unknown \"_type\" " + Quote(text) + ": read as a media summary item" + DidYouMean(text, names));
    }
    return named == TrackItemType::Unknown ? TrackItemType::MediaSummary : named;
}

void ReadingWalker::CheckTrackType(const JsonObject& type, const JsonPath& typePath) {
    const char* summary = TrackTypeText(TrackType::Summary);
    if (type.isString() && TextOf(type) == summary) {
        return;
    }
    const std::string given = type.isString() ? Quote(TextOf(type)) : std::string("given as ") + JsonTypeName(type);
    Report(Severity::Warning, Codes::IgnoredTrackType, type, typePath,
           "track type " + given + " is never read: the track is " + summary);
}

// ---- Reading members ---------------------------------------------------------

// The members read, in the reader's order ("_type" was read first, by
// ItemKind). A failure names the members after it that are present.
void ReadingWalker::ReadMembers(const Slots& slots, const JsonPath& objectPath, const MemberRules& rules) {
    for (std::size_t i = 0; i < rules.read; ++i) {
        if (rules.members[i].rule == Rule::Kind) {
            continue;
        }
        try {
            ReadMember(slots.At(i), objectPath, rules.members[i].key, rules.members[i].rule);
        } catch (ReadFailure& failure) {
            for (std::size_t later = i + 1; later < rules.read; ++later) {
                if (slots.At(later) != nullptr) {
                    failure.AddUnread(objectPath, rules.members[later].key);
                }
            }
            throw;
        }
    }
}

void ReadingWalker::ReadMember(const JsonObject* value, const JsonPath& objectPath, std::string_view key,
                               Rule rule) {
    if (value == nullptr) {
        return;
    }
    const JsonPath path(objectPath, key);
    if (rule == Rule::TrackList || rule == Rule::MediaInfoList || rule == Rule::ItemList) {
        ReadList(*value, path, key, rule);
        return;
    }
    if (!IsText(*value, path, std::string(key) + " stays " + DefaultText(rule))) {
        return;
    }
    const std::string_view text = TextOf(*value);
    switch (rule) {
        case Rule::Integer: CheckInteger(*value, path, text, objectPath); break;
        case Rule::EffectType: CheckEffectType(*value, path, text); break;
        default: CheckStoredText(*value, path, text); break;
    }
}

// An exception in a track or media info ends the list (and the timeline's
// read); the entry being read is not appended. Items catch their own.
void ReadingWalker::ReadList(const JsonObject& list, const JsonPath& path, std::string_view key, Rule rule) {
    if (!list.isArray()) {
        Report(Severity::Warning, list.isNull() ? Codes::NullValue : Codes::WrongType, list, path,
               std::string(JsonTypeName(list)) + " where a list is due: skipped, " + std::string(key) +
                   " stays empty");
        return;
    }
    const std::size_t count = list.size();
    std::size_t index = 0;
    for (const JsonObject& element : list) {
        const JsonPath elementPath(path, index);
        ++index;
        if (rule == Rule::ItemList) {
            Item(element, elementPath, true);
            continue;
        }
        try {
            ReadEntity(element, elementPath, rule == Rule::TrackList ? TrackEntity : MediaInfoEntity);
        } catch (ReadFailure& failure) {
            if (failure.memberFailed && failure.fate.empty()) {
                failure.fate = rule == Rule::TrackList ? "the track is dropped" : "the media info is dropped";
            }
            failure.AddUnreadElements(path, index, count);
            throw;
        }
    }
}

bool ReadingWalker::IsText(const JsonObject& value, const JsonPath& path, const std::string& skipped) {
    if (value.isString()) {
        return true;
    }
    Report(Severity::Warning, value.isNull() ? Codes::NullValue : Codes::WrongType, value, path,
           std::string(JsonTypeName(value)) + " where a text is due: skipped, " + skipped);
    return false;
}

// A stored text goes back out through the writer, which ends it at a NUL
// and copies every other byte.
void ReadingWalker::CheckStoredText(const JsonObject& value, const JsonPath& path, std::string_view text) {
    const std::size_t nul = text.find('\0');
    const std::string_view written = text.substr(0, nul);
    if (nul != std::string_view::npos) {
        Report(Severity::Warning, Codes::TextNul, value, path,
               "a text holding a NUL character: written back cut at it, as " + Quote(written));
    }
    const std::size_t invalid = FirstInvalidUtf8(written);
    if (invalid != std::string_view::npos) {
        char byte[8];
        std::snprintf(byte, sizeof byte, "0x%02X", static_cast<unsigned char>(written[invalid]));
        Report(Severity::Warning, Codes::TextNotUtf8, value, path,
               std::string("a text that is not UTF-8 (byte ") + byte + " at " + std::to_string(invalid) +
                   "): written back unchanged, which makes the output invalid JSON");
    }
}

void ReadingWalker::CheckInteger(const JsonObject& value, const JsonPath& path, std::string_view text,
                                 const JsonPath& objectPath) {
    using Form = IntegerReading::Form;
    const IntegerReading reading = IntegerReading::Of(text.data(), text.data() + text.size());
    const std::string read(IntegerText(reading.value).Text());
    switch (reading.form) {
        case Form::Canonical:
            return;
        case Form::Suffix:
            Report(Severity::Warning, Codes::IntegerSuffix, value, path,
                   Quote(text) + ": read as " + read + ", the rest ignored");
            return;
        case Form::OtherForm:
            Report(Severity::Warning, Codes::IntegerForm, value, path,
                   Quote(text) + ": read as " + read + ", written back as \"" + read + "\"");
            return;
        case Form::NoDigits:
            Fail(value, path, Codes::IntegerInvalid, Quote(text) + " does not start with an integer", IntegerFailure,
                 &objectPath);
        case Form::OutOfRange:
            Fail(value, path, Codes::IntegerRange, Quote(text) + " is outside the 64-bit range", IntegerFailure,
                 &objectPath);
    }
}

void ReadingWalker::CheckEffectType(const JsonObject& value, const JsonPath& path, std::string_view text) {
    if (ToEffectType(std::string(text)) != EffectType::Unknown) {
        return;
    }
    const std::string_view names[] = {ToString(EffectType::Cut), ToString(EffectType::Mix)};
    Report(Severity::Warning, Codes::UnknownEffectType, value, path,
           "unknown \"fxType\" " + Quote(text) + ": read as Unknown, left out when written" + DidYouMean(text, names));
}

// ---- Failures ----------------------------------------------------------------

void ReadingWalker::Fail(const JsonObject& value, const JsonPath& path, const char* code, const std::string& finding,
                         const std::string& failure, const JsonPath* objectPath) {
    const std::size_t index = diagnostics.Add(Severity::Error, code, OffsetOf(value), path.Pointer(),
                                              finding + ": the read fails with \"" + failure + "\"");
    throw ReadFailure{index, objectPath != nullptr ? objectPath->Pointer() : std::string(), objectPath != nullptr,
                      std::string(), {}};
}

void ReadingWalker::Finish(const ReadFailure& failure) {
    std::string more;
    if (!failure.fate.empty()) {
        more += "; " + failure.fate;
    }
    for (std::size_t i = 0; i < failure.unread.size(); ++i) {
        more += (i == 0 ? "; left unread: " : ", ") + failure.unread[i];
    }
    diagnostics.ExtendMessage(failure.diagnostic, more);
}

void ReadingWalker::Report(Severity severity, const char* code, const JsonObject& value, const JsonPath& path,
                           std::string message) {
    diagnostics.Add(severity, code, OffsetOf(value), path.Pointer(), std::move(message));
}

}  // namespace Orv::TimelineEngineModel::Serialization::Json::Detail
