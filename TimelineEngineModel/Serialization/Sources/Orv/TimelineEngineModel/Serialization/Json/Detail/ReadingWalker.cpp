#include "ReadingWalker.h"

#include <Orv/TimelineEngineModel/EffectType.h>
#include <Orv/TimelineEngineModel/Serialization/Json/Properties/TimelineProperties.h>
#include <Orv/TimelineEngineModel/Serialization/Json/Properties/TrackProperties.h>

#include "IntegerTextCheck.h"
#include "KeySuggestion.h"
#include "Keys.h"
#include "MemberLookup.h"
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
using Rule = ReadingWalker::Rule;
using ItemKeys = TrackItemKeys;
using EffectKeys = TransitionEffectKeys;

// A list of keys with their lengths, put together at compile time from the
// shared key lists.
template <std::size_t Capacity>
struct KeyTable {
    const char* names[Capacity] = {};
    std::size_t lengths[Capacity] = {};
    std::size_t count = 0;

    template <std::size_t Count>
    constexpr KeyTable& Add(const char* const (&keys)[Count]) {
        for (std::size_t i = 0; i < Count; ++i) {
            names[count] = keys[i];
            lengths[count] = KeyLength(keys[i]);
            ++count;
        }
        return *this;
    }

    ReadingWalker::KeyList List() const { return {names, lengths, count}; }
};

template <std::size_t Count>
constexpr KeyTable<Count> TableOf(const char* const (&keys)[Count]) {
    return KeyTable<Count>().Add(keys);
}

// The keys each reader takes, in its order, and how it takes each one.
constexpr const char* TimelineKeys[] = {TimelineProperties::Id, TimelineProperties::TransactionId,
                                        TimelineProperties::Duration, TimelineProperties::Tracks,
                                        TimelineProperties::MediaInfos};
constexpr Rule TimelineRules[] = {Rule::Identifier, Rule::Identifier, Rule::Integer, Rule::Tracks,
                                  Rule::MediaInfos};
constexpr const char* TrackKeys[] = {TrackProperties::Id, TrackProperties::Items, TrackProperties::Type};
constexpr Rule TrackRules[] = {Rule::Identifier, Rule::Items};  // "type" is not read
constexpr Rule MediaInfoRules[] = {Rule::Identifier, Rule::Integer, Rule::Integer, Rule::Text};
constexpr Rule EffectRules[] = {Rule::EffectType, Rule::Integer, Rule::Integer, Rule::Text};
constexpr Rule SummaryRules[] = {Rule::Integer, Rule::Integer, Rule::Integer,    Rule::Integer,
                                 Rule::Identifier, Rule::Integer, Rule::Integer, Rule::Integer,
                                 Rule::Integer, Rule::Integer, Rule::Integer};
static_assert(std::size(MediaInfoRules) == std::size(MediaInfoKeys::ReadingOrder));
static_assert(std::size(EffectRules) == std::size(EffectKeys::ReadingOrder));
static_assert(std::size(SummaryRules) == std::size(ItemKeys::SummaryReadingOrder));

// An item's own keys come first: "_type", then "id" (read last).
constexpr const char* TypeAndId[] = {ItemKeys::Type, ItemKeys::Id};
constexpr auto SummaryItemTable =
    KeyTable<std::size(TypeAndId) + std::size(ItemKeys::SummaryReadingOrder)>().Add(TypeAndId).Add(
        ItemKeys::SummaryReadingOrder);
constexpr auto TransitionItemTable =
    KeyTable<std::size(TypeAndId) + std::size(EffectKeys::ReadingOrder)>().Add(TypeAndId).Add(
        EffectKeys::ReadingOrder);
constexpr auto TimelineTable = TableOf(TimelineKeys);
constexpr auto TrackTable = TableOf(TrackKeys);
constexpr auto MediaInfoTable = TableOf(MediaInfoKeys::ReadingOrder);
constexpr auto EffectTable = TableOf(EffectKeys::ReadingOrder);
constexpr auto SummaryTable = TableOf(ItemKeys::SummaryReadingOrder);

}  // namespace

namespace {

std::size_t OffsetOf(const JsonObject& value) {
    return static_cast<std::size_t>(value.getOffsetStart());
}

std::string_view TextOf(const JsonObject& stringValue) {
    const TextRange text = Text(stringValue);
    return std::string_view(text.begin, static_cast<std::size_t>(text.end - text.begin));
}

bool Contains(const ReadingWalker::KeyList& keys, std::string_view key) {
    for (std::size_t i = 0; i < keys.count; ++i) {
        if (std::string_view(keys.names[i], keys.lengths[i]) == key) {
            return true;
        }
    }
    return false;
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
    const char* suggestion = SuggestionFor(text, candidates);
    return suggestion == nullptr ? std::string() : " (did you mean " + Quote(suggestion) + "?)";
}

}  // namespace

// The members of an object under the keys read at its place, found in one
// walk over the object (unknown keys reported on the way).
class ReadingWalker::Slots {
public:
    explicit Slots(const KeyList& keys) : keys(keys) {}

    // Takes the member when its key is one of the list's; false otherwise.
    bool Take(std::string_view key, const JsonObject& value) {
        for (std::size_t i = 0; i < keys.count; ++i) {
            if (std::string_view(keys.names[i], keys.lengths[i]) == key) {
                values[i] = &value;
                return true;
            }
        }
        return false;
    }

    // The member under `key`, one of the list's names (matched by address).
    const JsonObject* Find(const char* key) const {
        for (std::size_t i = 0; i < keys.count; ++i) {
            if (keys.names[i] == key) {
                return values[i];
            }
        }
        return nullptr;
    }

private:
    static constexpr std::size_t Capacity = 16;
    KeyList keys;
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
    void AddUnread(const JsonPath& objectPath, const char* key) {
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

static_assert(std::size(TrackKeys) <= 16 && SummaryItemTable.count <= 16);

void ReadingWalker::Walk(const JsonObject& root, DocumentKind kind) {
    const JsonPath path;
    try {
        switch (kind) {
            case DocumentKind::Timeline: Timeline(root, path); break;
            case DocumentKind::Track: Track(root, path); break;
            case DocumentKind::TrackItem: Item(root, path, false); break;
            case DocumentKind::MediaInfo: MediaInfo(root, path); break;
            case DocumentKind::TransitionEffect: Effect(root, path); break;
        }
    } catch (const ReadFailure& failure) {
        Finish(failure);
    }
}

// ---- Entities ---------------------------------------------------------------

void ReadingWalker::Timeline(const JsonObject& value, const JsonPath& path) {
    if (ReadsAsDefault(value, path, "timeline", "a default timeline")) {
        return;
    }
    RequireObject(value, path, "timeline", TimelineProperties::Id);
    const Slots slots = Enter(value, path, TimelineTable.List());
    ReadMembers(slots, path, TimelineKeys, TimelineRules, std::size(TimelineRules));
}

// "type" is never read: every track is SUMMARY.
void ReadingWalker::Track(const JsonObject& value, const JsonPath& path) {
    if (ReadsAsDefault(value, path, "track", "a default track")) {
        return;
    }
    RequireObject(value, path, "track", TrackProperties::Id);
    const Slots slots = Enter(value, path, TrackTable.List());
    CheckTrackType(slots.Find(TrackProperties::Type), path);
    ReadMembers(slots, path, TrackKeys, TrackRules, std::size(TrackRules));
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
    RequireObject(value, path, "track item", ItemKeys::Type);
    const TrackItemType kind = ItemKind(value, path);
    const bool summary = kind == TrackItemType::MediaSummary;
    const KeyList otherKind = summary ? EffectTable.List() : SummaryTable.List();
    const char* kindNoun = summary                                     ? "a media summary item"
                           : kind == TrackItemType::FxAudioTransition ? "an audio transition item"
                                                                       : "a video transition item";
    const Slots slots = Enter(value, path, summary ? SummaryItemTable.List() : TransitionItemTable.List(),
                              &otherKind, kindNoun);
    try {
        if (summary) {
            ReadMembers(slots, path, ItemKeys::SummaryReadingOrder, SummaryRules, std::size(SummaryRules));
        } else {
            ReadMembers(slots, path, EffectKeys::ReadingOrder, EffectRules, std::size(EffectRules));
        }
    } catch (ReadFailure& failure) {
        failure.fate = summary ? "the item is kept partly read" : "the item is kept with a default effect";
        if (slots.Find(ItemKeys::Id) != nullptr) {
            failure.AddUnread(path, ItemKeys::Id);
        }
        throw;
    }
    ReadMember(slots.Find(ItemKeys::Id), path, ItemKeys::Id, Rule::Identifier);
}

void ReadingWalker::MediaInfo(const JsonObject& value, const JsonPath& path) {
    if (ReadsAsDefault(value, path, "media info", "a default media info")) {
        return;
    }
    RequireObject(value, path, "media info", MediaInfoKeys::MediaAssetId);
    const Slots slots = Enter(value, path, MediaInfoTable.List());
    ReadMembers(slots, path, MediaInfoKeys::ReadingOrder, MediaInfoRules, std::size(MediaInfoRules));
}

void ReadingWalker::Effect(const JsonObject& value, const JsonPath& path) {
    if (ReadsAsDefault(value, path, "transition effect", "a default transition effect")) {
        return;
    }
    RequireObject(value, path, "transition effect", EffectKeys::FxType);
    const Slots slots = Enter(value, path, EffectTable.List());
    ReadMembers(slots, path, EffectKeys::ReadingOrder, EffectRules, std::size(EffectRules));
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
                                  const char* firstKey) {
    if (value.isObject()) {
        return;
    }
    std::string failure;
    try {
        static_cast<void>(value[firstKey]);
    } catch (const ::Json::LogicError& error) {
        failure = error.what();
    }
    Fail(value, path, Codes::NotAnObject, std::string(JsonTypeName(value)) + " where a " + noun + " is due", failure,
         nullptr);
}

ReadingWalker::Slots ReadingWalker::Enter(const JsonObject& object, const JsonPath& path, const KeyList& keys,
                                          const KeyList* otherKindKeys, const char* kindNoun) {
    Slots slots(keys);
    const auto end = object.end();
    for (auto member = object.begin(); member != end; ++member) {
        const char* nameEnd = nullptr;
        const char* name = member.memberName(&nameEnd);
        const std::string_view key(name, static_cast<std::size_t>(nameEnd - name));
        if (!slots.Take(key, *member)) {
            ReportUnknownKey(*member, JsonPath(path, key), key, keys, otherKindKeys, kindNoun);
        }
    }
    ReportDroppedMembers(object, path);
    return slots;
}

void ReadingWalker::ReportUnknownKey(const JsonObject& value, const JsonPath& path, std::string_view key,
                                     const KeyList& keys, const KeyList* otherKindKeys, const char* kindNoun) {
    if (otherKindKeys != nullptr && Contains(*otherKindKeys, key)) {
        Report(Severity::Warning, Codes::UnknownKey, value, path,
               "key " + Quote(key) + " is not read in " + kindNoun + ": ignored");
        return;
    }
    const std::vector<const char*> candidates(keys.names, keys.names + keys.count);
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

// The two transition names exactly; anything else is a media summary item.
TrackItemType ReadingWalker::ItemKind(const JsonObject& item, const JsonPath& path) {
    const JsonObject* type = item.find(ItemKeys::Type, ItemKeys::Type + KeyLength(ItemKeys::Type));
    if (type == nullptr) {
        Report(Severity::Warning, Codes::MissingItemType, item, path, "no \"_type\": read as a media summary item");
        return TrackItemType::MediaSummary;
    }
    const JsonPath typePath(path, ItemKeys::Type);
    if (!IsText(*type, typePath, "the item is read as a media summary item")) {
        return TrackItemType::MediaSummary;
    }
    const std::string_view text = TextOf(*type);
    if (text == TrackItemTypeNames::FxAudioTransition) {
        return TrackItemType::FxAudioTransition;
    }
    if (text == TrackItemTypeNames::FxVideoTransition) {
        return TrackItemType::FxVideoTransition;
    }
    if (text != TrackItemTypeNames::MediaSummary) {
        constexpr const char* names[] = {TrackItemTypeNames::MediaSummary, TrackItemTypeNames::FxAudioTransition,
                                         TrackItemTypeNames::FxVideoTransition};
        Report(Severity::Warning, Codes::UnknownItemType, *type, typePath,
               "unknown \"_type\" " + Quote(text) + ": read as a media summary item" + DidYouMean(text, names));
    }
    return TrackItemType::MediaSummary;
}

void ReadingWalker::CheckTrackType(const JsonObject* type, const JsonPath& trackPath) {
    if (type == nullptr || (type->isString() && TextOf(*type) == TrackProperties::SummaryType)) {
        return;
    }
    const std::string given = type->isString() ? Quote(TextOf(*type)) : std::string("given as ") + JsonTypeName(*type);
    Report(Severity::Warning, Codes::IgnoredTrackType, *type, JsonPath(trackPath, TrackProperties::Type),
           "track type " + given + " is never read: the track is SUMMARY");
}

// ---- Reading members ---------------------------------------------------------

void ReadingWalker::ReadMembers(const Slots& slots, const JsonPath& objectPath, const char* const* keys,
                                const Rule* rules, std::size_t count) {
    for (std::size_t i = 0; i < count; ++i) {
        try {
            ReadMember(slots.Find(keys[i]), objectPath, keys[i], rules[i]);
        } catch (ReadFailure& failure) {
            for (std::size_t later = i + 1; later < count; ++later) {
                if (slots.Find(keys[later]) != nullptr) {
                    failure.AddUnread(objectPath, keys[later]);
                }
            }
            throw;
        }
    }
}

void ReadingWalker::ReadMember(const JsonObject* value, const JsonPath& objectPath, const char* key, Rule rule) {
    if (value == nullptr) {
        return;
    }
    const JsonPath path(objectPath, key);
    if (rule == Rule::Tracks || rule == Rule::MediaInfos || rule == Rule::Items) {
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
void ReadingWalker::ReadList(const JsonObject& list, const JsonPath& path, const char* key, Rule rule) {
    if (!list.isArray()) {
        Report(Severity::Warning, list.isNull() ? Codes::NullValue : Codes::WrongType, list, path,
               std::string(JsonTypeName(list)) + " where a list is due: skipped, " + key + " stays empty");
        return;
    }
    const std::size_t count = list.size();
    std::size_t index = 0;
    for (const JsonObject& element : list) {
        const JsonPath elementPath(path, index);
        ++index;
        if (rule == Rule::Items) {
            Item(element, elementPath, true);
            continue;
        }
        try {
            rule == Rule::Tracks ? Track(element, elementPath) : MediaInfo(element, elementPath);
        } catch (ReadFailure& failure) {
            if (failure.memberFailed && failure.fate.empty()) {
                failure.fate = rule == Rule::Tracks ? "the track is dropped" : "the media info is dropped";
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
    const IntegerTextCheck check = IntegerTextCheck::Of(text);
    const std::string read = std::to_string(check.value);
    switch (check.outcome) {
        case IntegerTextCheck::Outcome::Canonical:
            return;
        case IntegerTextCheck::Outcome::Suffix:
            Report(Severity::Warning, Codes::IntegerSuffix, value, path,
                   Quote(text) + ": read as " + read + ", the rest ignored");
            return;
        case IntegerTextCheck::Outcome::OtherForm:
            Report(Severity::Warning, Codes::IntegerForm, value, path,
                   Quote(text) + ": read as " + read + ", written back as \"" + read + "\"");
            return;
        case IntegerTextCheck::Outcome::NoDigits:
            Fail(value, path, Codes::IntegerInvalid, Quote(text) + " does not start with an integer", check.failure,
                 &objectPath);
        case IntegerTextCheck::Outcome::OutOfRange:
            Fail(value, path, Codes::IntegerRange, Quote(text) + " is outside the 64-bit range", check.failure,
                 &objectPath);
    }
}

void ReadingWalker::CheckEffectType(const JsonObject& value, const JsonPath& path, std::string_view text) {
    if (ToEffectType(std::string(text)) != EffectType::Unknown) {
        return;
    }
    const char* names[] = {ToString(EffectType::Cut).c_str(), ToString(EffectType::Mix).c_str()};
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
