#include "FastTimelineReader.h"

#include <Orv/TimelineEngineModel/FxAudioTransitionItem.h>
#include <Orv/TimelineEngineModel/FxVideoTransitionItem.h>
#include <Orv/TimelineEngineModel/MediaSummaryItem.h>
#include <Orv/TimelineEngineModel/Serialization/Json/JsonTextToTimelineConverter.h>
#include <Orv/TimelineEngineModel/Serialization/Json/Properties/TimelineProperties.h>
#include <Orv/TimelineEngineModel/Serialization/Json/Properties/TrackProperties.h>

#include "Keys.h"
#include "MemberLookup.h"
#include "StringEscapes.h"
#include "ValueEncoding.h"

#include <simdjson.h>

#include <atomic>
#include <cstdint>
#include <cstring>
#include <iterator>
#include <memory>
#include <stdexcept>
#include <string>
#include <utility>
#include <vector>

namespace Orv::TimelineEngineModel::Serialization::Json::Detail {

namespace {

namespace od = simdjson::ondemand;

// Where the parser comes from. A parser holds about 5.7 bytes of address
// space per byte of capacity (a structural index of 4 bytes per byte, a string
// buffer that this reader never touches); the index entries written become
// memory, about 0.7 bytes per byte of a generated document. Fresh buffers cost
// a page fault every 4 KiB on every call. Measured on generated documents:
// below a few MB a kept parser saves little, the allocator handing back the
// blocks just freed (11 against 23 faults per read of 1.6 MB); on 16 MB a
// fresh index costs 2868 faults against 409 (on the machine measured, 53 ms
// against 1.7 ms, more than the rest of the read). So:
//  - texts up to KeptCapacity use their thread's own parser, kept for the
//    thread's life (at most about 12 MB of address space per thread);
//  - larger texts share one spare parser per process, taken by one read at a
//    time (the others make their own) and kept only while its capacity is at
//    most SpareCapacity, so the process holds at most about 180 MB of address
//    space and 25 MB of memory for it, however many threads read.
constexpr std::size_t KeptCapacity = std::size_t{2} << 20;
constexpr std::size_t SpareCapacity = std::size_t{32} << 20;

class SpareParser {
public:
    SpareParser() = default;
    SpareParser(const SpareParser&) = delete;
    SpareParser& operator=(const SpareParser&) = delete;
    ~SpareParser() { delete parser.exchange(nullptr); }

    std::unique_ptr<od::parser> Take() {
        std::unique_ptr<od::parser> taken(parser.exchange(nullptr));
        return taken ? std::move(taken) : std::make_unique<od::parser>();
    }

    // Keeps `used` unless it grew too large or another one is kept already.
    void GiveBack(std::unique_ptr<od::parser> used) {
        od::parser* none = nullptr;
        if (used->capacity() <= SpareCapacity && parser.compare_exchange_strong(none, used.get())) {
            used.release();
        }
    }

private:
    std::atomic<od::parser*> parser{nullptr};
};

SpareParser spareParser;

// A member under one of a reader's keys, as the last occurrence of the key
// left it: a JSON string (its raw body) or anything else (not a string).
struct Slot {
    RawText text;
    bool isString = false;
    bool present = false;
};

using TimelineKeys = TimelineProperties;
constexpr const char* TimelineKeyList[] = {TimelineKeys::Id, TimelineKeys::TransactionId, TimelineKeys::Duration,
                                           TimelineKeys::Tracks, TimelineKeys::MediaInfos};
enum TimelineKey { TimelineId, TimelineTransactionId, TimelineDuration, TimelineTracks, TimelineMediaInfos };

// "type" is not read, only looked at for the anomaly flag.
constexpr const char* TrackKeyList[] = {TrackProperties::Id, TrackProperties::Items, TrackProperties::Type};
enum TrackKey { TrackId, TrackItems, TrackType };

using ItemKeys = TrackItemKeys;
using EffectKeys = TransitionEffectKeys;
constexpr const char* ItemKeyList[] = {ItemKeys::Type,
                                       ItemKeys::Id,
                                       ItemKeys::VideoIn,
                                       ItemKeys::VideoDuration,
                                       ItemKeys::AudioIn,
                                       ItemKeys::AudioDuration,
                                       ItemKeys::MediaAssetId,
                                       ItemKeys::MediaVideoIn,
                                       ItemKeys::MediaVideoDuration,
                                       ItemKeys::MediaAudioIn,
                                       ItemKeys::MediaAudioDuration,
                                       ItemKeys::AudioLevel,
                                       ItemKeys::MonitoringChannel,
                                       EffectKeys::FxType,
                                       EffectKeys::Offset,
                                       EffectKeys::Duration,
                                       EffectKeys::Config};
enum ItemKey {
    ItemType,
    ItemId,
    VideoIn,
    VideoDuration,
    AudioIn,
    AudioDuration,
    MediaAssetId,
    MediaVideoIn,
    MediaVideoDuration,
    MediaAudioIn,
    MediaAudioDuration,
    AudioLevel,
    MonitoringChannel,
    FxType,
    Offset,
    EffectDuration,
    Config
};

using InfoKeys = MediaInfoKeys;
constexpr const char* MediaInfoKeyList[] = {InfoKeys::MediaAssetId, InfoKeys::LimitIn, InfoKeys::LimitDuration,
                                            InfoKeys::Channels};
enum MediaInfoKey { InfoMediaAssetId, InfoLimitIn, InfoLimitDuration, InfoChannels };

constexpr auto TimelineKeySet = MakeKeySet(TimelineKeyList);
constexpr auto TrackKeySet = MakeKeySet(TrackKeyList);
constexpr auto ItemKeySet = MakeKeySet(ItemKeyList);
constexpr auto MediaInfoKeySet = MakeKeySet(MediaInfoKeyList);

constexpr int NoKey = -1;

template <std::size_t Count>
int FindKey(const KeySet<Count>& keys, const char* name, std::size_t length) {
    for (std::size_t i = 0; i < Count; ++i) {
        if (keys.lengths[i] == length && std::memcmp(keys.names[i], name, length) == 0) {
            return static_cast<int>(i);
        }
    }
    return NoKey;
}

template <std::size_t Size>
bool TextEquals(const std::string& text, const char (&name)[Size]) {
    return text.size() == Size - 1 && std::memcmp(text.data(), name, Size - 1) == 0;
}

// The text std::to_string writes for some value: an optional minus, then
// "0" alone or digits without a leading zero, and no "-0". (ParseInteger
// tells whether the value fits.)
bool IsCanonicalInteger(const char* p, const char* end) {
    const bool negative = p != end && *p == '-';
    p += negative ? 1 : 0;
    if (p == end || (*p == '0' && (negative || p + 1 != end))) {
        return false;
    }
    for (; p != end; ++p) {
        if (*p < '0' || *p > '9') {
            return false;
        }
    }
    return true;
}

// A key or a string value, as ScanString finds it, that jsoncpp can hold.
bool ScanKey(const char* begin, RawText& text) {
    return ScanString(begin, text) &&
           FastTimelineReader::JsoncppHolds(static_cast<std::size_t>(text.end - text.begin), true);
}

bool ScanText(const char* begin, RawText& text) {
    return ScanString(begin, text) &&
           FastTimelineReader::JsoncppHolds(static_cast<std::size_t>(text.end - text.begin), false);
}

// One read: walks every value of the document, validating what the reader
// does not need as strictly as what it does, and fills the model. Every
// function returns false to decline the text. `anomaly` is set wherever the
// reference route skips, reinterprets or drops something.
class Walker {
public:
    bool anomaly = false;

    bool ReadTimeline(od::object root, Timeline& timeline) {
        Slot slots[std::size(TimelineKeyList)];
        const bool read = ReadMembers(root, 1, TimelineKeySet, [&](int key, od::value& value) {
            switch (key) {
                case TimelineTracks:
                    return ReadArray(value, 1, timeline.Tracks(), [&](od::value& element, Track& track) {
                        return ReadTrack(element, track);
                    });
                case TimelineMediaInfos:
                    return ReadArray(value, 1, timeline.MediaInfos(), [&](od::value& element, MediaInfo& info) {
                        return ReadMediaInfo(element, info);
                    });
                default:
                    return ReadScalar(value, 1, slots[key]);
            }
        });
        if (!read) {
            return false;
        }
        SetIdentifier(slots[TimelineId], [&](Identifier&& id) { timeline.Id(id); });
        SetIdentifier(slots[TimelineTransactionId], [&](Identifier&& id) { timeline.TransactionId(id); });
        SetInteger(slots[TimelineDuration], [&](int64_t value) { timeline.Duration(value); });
        return true;
    }

private:
    // Depths: the root object is 1, a track 3, an item 5.
    bool ReadTrack(od::value& value, Track& track) {
        od::object object;
        if (!StartObject(value, object)) {
            anomaly = true;
            return IsNull(value);
        }
        Slot slots[std::size(TrackKeyList)];
        const bool read = ReadMembers(object, 3, TrackKeySet, [&](int key, od::value& member) {
            if (key == TrackType) {
                return ReadScalar(member, 3, slots[key], false);
            }
            if (key == TrackItems) {
                return ReadArray(member, 3, track.TrackItems(),
                                 [&](od::value& element, std::shared_ptr<TrackItem>& item) {
                                     return ReadItem(element, item);
                                 });
            }
            return ReadScalar(member, 3, slots[key]);
        });
        if (!read) {
            return false;
        }
        SetIdentifier(slots[TrackId], [&](Identifier&& id) { track.Id(id); });
        const Slot& type = slots[TrackType];
        anomaly = anomaly || (type.present && !(type.isString && TextIs(type, TrackProperties::SummaryType)));
        return true;
    }

    // As the reference route reads an element of "items", whose failures do
    // not fail the read: an element neither an object nor null gives an entry
    // without an item; an integer text that std::stoll refuses leaves the
    // item as read up to there, without its identifier (a transition keeps
    // its default effect).
    bool ReadItem(od::value& value, std::shared_ptr<TrackItem>& entry) {
        od::object object;
        Slot slots[std::size(ItemKeyList)];
        if (StartObject(value, object)) {
            if (!ReadMembers(object, 5, ItemKeySet,
                             [&](int key, od::value& member) { return ReadScalar(member, 5, slots[key]); })) {
                return false;
            }
        } else {
            anomaly = true;  // null: a default item; anything else: no item
            if (!IsNull(value)) {
                return Validate(value, 5);
            }
        }
        const TrackItemType kind = KindNamedBy(slots[ItemType]);
        NoteMembersOfOtherKind(slots, kind);
        try {
            switch (kind) {
                case TrackItemType::FxAudioTransition:
                    ReadTransition(slots, Install<FxAudioTransitionItem>(entry));
                    break;
                case TrackItemType::FxVideoTransition:
                    ReadTransition(slots, Install<FxVideoTransitionItem>(entry));
                    break;
                default:
                    ReadSummary(slots, Install<MediaSummaryItem>(entry));
                    break;
            }
            SetIdentifier(slots[ItemId], [&](Identifier&& id) { entry->Id(id); });
        } catch (const std::invalid_argument&) {
            anomaly = true;
        } catch (const std::out_of_range&) {
            anomaly = true;
        }
        return true;
    }

    // Members that the item's kind does not read.
    void NoteMembersOfOtherKind(const Slot (&slots)[std::size(ItemKeyList)], TrackItemType kind) {
        const bool summary = kind == TrackItemType::MediaSummary;
        for (int key = VideoIn; key <= Config; ++key) {
            const bool summaryKey = key <= MonitoringChannel;
            anomaly = anomaly || (slots[key].present && summaryKey != summary);
        }
    }

    template <typename Item>
    static Item& Install(std::shared_ptr<TrackItem>& entry) {
        auto item = std::make_shared<Item>();
        Item& installed = *item;
        entry = std::move(item);
        return installed;
    }

    void ReadTransition(const Slot (&slots)[std::size(ItemKeyList)], FxTransitionItem& item) {
        TransitionEffect effect;
        SetText(slots[FxType], [&](const std::string& text) {
            effect.TransitionEffectType(ToEffectType(text));
            anomaly = anomaly || effect.TransitionEffectType() == EffectType::Unknown;
        });
        SetInteger(slots[Offset], [&](int64_t value) { effect.Offset(value); });
        SetInteger(slots[EffectDuration], [&](int64_t value) { effect.Duration(value); });
        SetText(slots[Config], [&](const std::string& text) { effect.Config(text); });
        item.FxTransition(effect);
    }

    // In the reference route's order, which decides what a failure leaves.
    void ReadSummary(const Slot (&slots)[std::size(ItemKeyList)], MediaSummaryItem& summary) {
        SetInteger(slots[VideoIn], [&](int64_t value) { summary.VideoIn(value); });
        SetInteger(slots[VideoDuration], [&](int64_t value) { summary.VideoDuration(value); });
        SetInteger(slots[AudioIn], [&](int64_t value) { summary.AudioIn(value); });
        SetInteger(slots[AudioDuration], [&](int64_t value) { summary.AudioDuration(value); });
        SetIdentifier(slots[MediaAssetId], [&](Identifier&& id) { summary.MediaAssetId(id); });
        SetInteger(slots[MediaVideoIn], [&](int64_t value) { summary.MediaVideoIn(value); });
        SetInteger(slots[MediaVideoDuration], [&](int64_t value) { summary.MediaVideoDuration(value); });
        SetInteger(slots[MediaAudioIn], [&](int64_t value) { summary.MediaAudioIn(value); });
        SetInteger(slots[MediaAudioDuration], [&](int64_t value) { summary.MediaAudioDuration(value); });
        SetInteger(slots[AudioLevel], [&](int64_t value) { summary.AudioLevel(value); });
        SetInteger(slots[MonitoringChannel], [&](int64_t value) { summary.MonitoringChannel(value); });
    }

    bool ReadMediaInfo(od::value& value, MediaInfo& info) {
        od::object object;
        if (!StartObject(value, object)) {
            anomaly = true;
            return IsNull(value);
        }
        Slot slots[std::size(MediaInfoKeyList)];
        if (!ReadMembers(object, 3, MediaInfoKeySet,
                         [&](int key, od::value& member) { return ReadScalar(member, 3, slots[key]); })) {
            return false;
        }
        SetIdentifier(slots[InfoMediaAssetId], [&](Identifier&& id) { info.MediaAssetId(id); });
        SetInteger(slots[InfoLimitIn], [&](int64_t value) { info.LimitIn(value); });
        SetInteger(slots[InfoLimitDuration], [&](int64_t value) { info.LimitDuration(value); });
        SetText(slots[InfoChannels], [&](const std::string& text) { info.Channels(text); });
        return true;
    }

    // The kind that "_type" names, compared on the whole decoded text.
    TrackItemType KindNamedBy(const Slot& type) {
        if (!type.isString) {
            anomaly = true;  // missing, or not a string
            return TrackItemType::MediaSummary;
        }
        AssignText(type.text, scratch);
        if (TextEquals(scratch, TrackItemTypeNames::FxAudioTransition)) {
            return TrackItemType::FxAudioTransition;
        }
        if (TextEquals(scratch, TrackItemTypeNames::FxVideoTransition)) {
            return TrackItemType::FxVideoTransition;
        }
        anomaly = anomaly || !TextEquals(scratch, TrackItemTypeNames::MediaSummary);
        return TrackItemType::MediaSummary;
    }

    template <std::size_t Size>
    bool TextIs(const Slot& slot, const char (&text)[Size]) {
        AssignText(slot.text, scratch);
        return TextEquals(scratch, text);
    }

    // ---- Members ---------------------------------------------------------

    // Visits every member of `object` (at `depth`): a member under one of
    // the keys goes to `read`, with the key's index; any other is validated.
    template <std::size_t Count, typename Read>
    bool ReadMembers(od::object& object, int depth, const KeySet<Count>& keys, Read&& read) {
        static_assert(Count <= 32, "the keys seen are bits of a 32-bit mask");
        std::uint32_t seen = 0;
        for (auto member : object) {
            od::field field;
            RawText name;
            if (std::move(member).get(field) != simdjson::SUCCESS || !ScanKey(field.key().raw(), name)) {
                return false;
            }
            int key = NoKey;
            if (name.escaped) {
                AssignText(name, scratch);
                key = FindKey(keys, scratch.data(), scratch.size());
            } else {
                key = FindKey(keys, name.begin, static_cast<std::size_t>(name.end - name.begin));
            }
            const std::uint32_t bit = key == NoKey ? 0 : std::uint32_t{1} << key;
            anomaly = anomaly || key == NoKey || (seen & bit) != 0;  // unknown, or a duplicate
            seen |= bit;
            if (!(key == NoKey ? Validate(field.value(), depth + 1) : read(key, field.value()))) {
                return false;
            }
        }
        return true;
    }

    // A member read only when it is a string: the last occurrence of its key
    // decides, so every occurrence overwrites the slot.
    bool ReadScalar(od::value& value, int depth, Slot& slot, bool read = true) {
        od::raw_json_string raw;
        slot.present = true;
        slot.isString = TypeOf(value) == od::json_type::string;
        if (!slot.isString) {
            anomaly = anomaly || read;
            return Validate(value, depth + 1);
        }
        return value.get_raw_json_string().get(raw) == simdjson::SUCCESS && ScanText(raw.raw(), slot.text);
    }

    // An array of objects read only when it is an array: each occurrence of
    // its key starts the list afresh, anything but an array leaves it empty.
    template <typename Element, typename ReadElement>
    bool ReadArray(od::value& value, int depth, std::vector<Element>& list, ReadElement&& readElement) {
        list.clear();
        od::array array;
        if (TypeOf(value) != od::json_type::array) {
            anomaly = true;
            return Validate(value, depth + 1);
        }
        if (value.get_array().get(array) != simdjson::SUCCESS) {
            return false;
        }
        for (auto element : array) {
            od::value item;
            if (std::move(element).get(item) != simdjson::SUCCESS) {
                return false;
            }
            list.emplace_back();
            if (!readElement(item, list.back())) {
                return false;
            }
        }
        return true;
    }

    // ---- Validation --------------------------------------------------------

    // The type of a value, or no type at all (0) for what is no JSON value.
    static od::json_type TypeOf(od::value& value) {
        od::json_type type{};
        return value.type().get(type) == simdjson::SUCCESS ? type : od::json_type{};
    }

    // False for anything but an object; the caller checks for null then.
    static bool StartObject(od::value& value, od::object& object) {
        return TypeOf(value) == od::json_type::object && value.get_object().get(object) == simdjson::SUCCESS;
    }

    static bool IsNull(od::value& value) {
        bool isNull = false;
        return value.is_null().get(isNull) == simdjson::SUCCESS && isNull;
    }

    // Checks a value the reader does not use, as jsoncpp would have to
    // accept it: every key and string with its escapes, every number, every
    // atom, every container to its end.
    static bool Validate(od::value value, int depth) {
        if (depth > FastTimelineReader::MaxDepth) {
            return false;
        }
        switch (TypeOf(value)) {
            case od::json_type::object: {
                od::object object;
                if (value.get_object().get(object) != simdjson::SUCCESS) {
                    return false;
                }
                for (auto member : object) {
                    od::field field;
                    RawText name;
                    if (std::move(member).get(field) != simdjson::SUCCESS || !ScanKey(field.key().raw(), name) ||
                        !Validate(field.value(), depth + 1)) {
                        return false;
                    }
                }
                return true;
            }
            case od::json_type::array: {
                od::array array;
                if (value.get_array().get(array) != simdjson::SUCCESS) {
                    return false;
                }
                for (auto element : array) {
                    od::value item;
                    if (std::move(element).get(item) != simdjson::SUCCESS || !Validate(item, depth + 1)) {
                        return false;
                    }
                }
                return true;
            }
            case od::json_type::string: {
                od::raw_json_string raw;
                RawText text;
                return value.get_raw_json_string().get(raw) == simdjson::SUCCESS && ScanText(raw.raw(), text);
            }
            case od::json_type::number: {
                od::number number;
                return value.get_number().get(number) == simdjson::SUCCESS;
            }
            case od::json_type::boolean: {
                bool flag = false;
                return value.get_bool().get(flag) == simdjson::SUCCESS;
            }
            case od::json_type::null:
                return IsNull(value);
            default:
                return false;
        }
    }

    // ---- Assigning ---------------------------------------------------------

    // An integer text that ParseInteger refuses throws, which declines the
    // text: the reference route reports it.
    template <typename Setter>
    void SetInteger(const Slot& slot, Setter&& setter) {
        if (!slot.isString) {
            return;
        }
        if (!slot.text.escaped) {
            setter(ParseInteger(slot.text.begin, slot.text.end));
            anomaly = anomaly || !IsCanonicalInteger(slot.text.begin, slot.text.end);
            return;
        }
        AssignText(slot.text, scratch);
        setter(ParseInteger(scratch));
        anomaly = anomaly || !IsCanonicalInteger(scratch.data(), scratch.data() + scratch.size());
    }

    template <typename Setter>
    void SetText(const Slot& slot, Setter&& setter) {
        if (slot.isString) {
            AssignText(slot.text, scratch);
            anomaly = anomaly || scratch.find('\0') != std::string::npos;
            setter(scratch);
        }
    }

    template <typename Setter>
    void SetIdentifier(const Slot& slot, Setter&& setter) {
        if (slot.isString) {
            std::string text;
            AssignText(slot.text, text);
            anomaly = anomaly || text.find('\0') != std::string::npos;
            setter(Identifier(std::move(text)));
        }
    }

    std::string scratch;  // decoded keys and texts on their way into the model
};

// JSON white space, as both parsers see it.
bool IsJsonSpace(char c) {
    return c == ' ' || c == '\t' || c == '\n' || c == '\r';
}

const char* SkipSpace(const char* p, const char* end) {
    while (p != end && IsJsonSpace(*p)) {
        ++p;
    }
    return p;
}

// Reads a text whose root value starts with '{'.
bool ReadRoot(od::parser& parser, const char* text, std::size_t size, std::size_t capacity, Timeline& timeline,
              bool& anomaly) {
    od::document document;
    od::object root;
    Walker walker;
    if (parser.iterate(text, size, capacity).get(document) != simdjson::SUCCESS ||
        document.get_object().get(root) != simdjson::SUCCESS || !walker.ReadTimeline(root, timeline)) {
        return false;
    }
    anomaly = walker.anomaly;
    // Nothing may follow the root object: jsoncpp would ignore it unread.
    return document.current_location().error() == simdjson::OUT_OF_BOUNDS;
}

}  // namespace

bool FastTimelineReader::Read(const char* text, std::size_t size, std::size_t capacity, Timeline& timeline,
                              bool& anomaly) {
    static_assert(MaxDepth < 1000, "jsoncpp's nesting limit");
    static_assert(MaxSize <= simdjson::SIMDJSON_MAXSIZE_BYTES);
    static_assert(JsonTextToTimelineConverter::Padding >= simdjson::SIMDJSON_PADDING);
    // jsoncpp skips a UTF-8 byte order mark at the very start.
    if (size >= 3 && std::memcmp(text, "\xEF\xBB\xBF", 3) == 0) {
        text += 3;
        size -= 3;
        capacity -= 3;
    }
    const char* const end = text + size;
    const char* const first = SkipSpace(text, end);
    if (end - first >= 4 && std::memcmp(first, "null", 4) == 0 && SkipSpace(first + 4, end) == end) {
        anomaly = true;
        return true;  // a null root reads as a default timeline
    }
    if (first == end || *first != '{') {
        return false;
    }

    if (size <= KeptCapacity) {
        thread_local od::parser kept;
        return ReadRoot(kept, text, size, capacity, timeline, anomaly);
    }
    std::unique_ptr<od::parser> parser = spareParser.Take();
    const bool read = ReadRoot(*parser, text, size, capacity, timeline, anomaly);
    spareParser.GiveBack(std::move(parser));
    return read;
}

}  // namespace Orv::TimelineEngineModel::Serialization::Json::Detail
