#include "FastTimelineReader.h"

#include <Orv/TimelineEngineModel/Serialization/Json/JsonTextToTimelineConverter.h>

#include "../Format/IntegerText.h"
#include "../Format/KeySet.h"
#include "ParserPool.h"
#include "ValueValidation.h"

#include <simdjson.h>

#include <cstdint>
#include <cstring>
#include <memory>
#include <stdexcept>
#include <string>
#include <string_view>
#include <vector>

namespace Orv::TimelineEngineModel::Serialization::Json::Detail {

namespace {

// A member under one of an object's keys, as the last occurrence of the key
// left it: a JSON string (decoded, in the parser's string buffer, which
// lasts for the whole read) or anything else (not a string).
struct Slot {
    std::string_view text;
    bool isString = false;
    bool present = false;
};

// The keys looked up in each object, one slot each. An item's are those of
// every kind and of the effect, whose members stand in a transition's own
// object: the kind is known only once all of them are read.
template <typename Object>
struct TextKeys {
    static constexpr const auto& keys = KeysOf<Object>;
};
inline constexpr auto AnyItemTextKeys =
    ORV_KEY_SET(MediaSummaryItemFormat, TransitionItemFormat<FxAudioTransitionItemName>, TransitionEffectFormat);
template <>
struct TextKeys<TrackItem> {
    static constexpr const auto& keys = AnyItemTextKeys;
};

template <typename Space>
inline constexpr std::size_t SlotCount = std::decay_t<decltype(TextKeys<Space>::keys)>::count;

template <typename Space>
using Slots = Slot[SlotCount<Space>];

// The slot, among the keys of Space, of member I of Object's table.
template <typename Space, typename Object, std::size_t I>
constexpr std::size_t SlotOf() {
    constexpr const auto& member = std::get<I>(FormatOf<Object>::table);
    return TextKeys<Space>::keys.IndexOf(member.key);
}

template <typename Member>
using CodecOf = typename std::decay_t<Member>::CodecType;

// Whether the slots of `Space` that are keys of Object's table, its inlined
// value's keys included, are marked in `mask`.
template <typename Space, typename Object>
constexpr std::uint32_t KeyMask() {
    std::uint32_t mask = 0;
    ForEachMemberAt(FormatOf<Object>::table, [&](const auto& member, auto index) {
        if constexpr (IsInlineCodec<CodecOf<decltype(member)>>) {
            using Inlined = std::decay_t<decltype(member.get(std::declval<Object&>()))>;
            mask |= KeyMask<Space, Inlined>();
        } else {
            mask |= std::uint32_t{1} << SlotOf<Space, Object, decltype(index)::value>();
        }
    });
    return mask;
}

// Whether a member's value is read (as opposed to only looked at).
template <typename Object>
constexpr bool IsReadSlot(std::size_t slot) {
    bool read = true;
    ForEachMemberAt(FormatOf<Object>::table, [&](const auto& member, auto index) {
        if (std::decay_t<decltype(member)>::readPosition == NotRead &&
            SlotOf<Object, Object, decltype(index)::value>() == slot) {
            read = false;
        }
    });
    return read;
}

// One read: walks every value of the document, validating what the reader
// does not need as strictly as what it does, and fills the model by the
// format tables. Every function returns false to decline the text. `anomaly`
// is set wherever the reference route skips, reinterprets or drops
// something.
class Walker {
public:
    bool anomaly = false;

    bool ReadTimeline(od::object& root, Timeline& timeline) { return ReadEntity(root, 1, timeline); }

private:
    // A timeline, track or media info at `depth` (the root object is 1): its
    // members in one walk, a list read where it stands, the others assigned
    // after the walk in the readers' order. An integer text that
    // ParseInteger refuses throws, which declines the text: the reference
    // route reports it.
    template <typename Object>
    bool ReadEntity(od::object& object, int depth, Object& target) {
        Slots<Object> slots{};
        const bool read = ReadMembers<Object>(object, depth, slots, [&](std::size_t key, od::value& value) {
            bool isList = false;
            bool listRead = true;
            ForEachMemberAt(FormatOf<Object>::table, [&](const auto& member, auto index) {
                if constexpr (IsListCodec<CodecOf<decltype(member)>>) {
                    if (key == SlotOf<Object, Object, decltype(index)::value>()) {
                        isList = true;
                        listRead = ReadList(value, depth + 1, member.get(target));
                    }
                }
            });
            return isList ? listRead : ReadScalar(value, depth, slots[key], IsReadSlot<Object>(key));
        });
        if (!read) {
            return false;
        }
        Assign<Object>(slots, target);
        return true;
    }

    // As the reference route reads an element of "items", whose failures do
    // not fail the read: an element neither an object nor null gives an entry
    // without an item; an integer text that std::stoll refuses leaves the
    // item as read up to there, without its identifier (a transition keeps
    // its default effect).
    bool ReadItem(od::value& value, int depth, std::shared_ptr<TrackItem>& entry) {
        od::object object;
        Slots<TrackItem> slots{};
        if (StartObject(value, object)) {
            if (!ReadMembers<TrackItem>(object, depth, slots, [&](std::size_t key, od::value& member) {
                    return ReadScalar(member, depth, slots[key], true);
                })) {
                return false;
            }
        } else {
            anomaly = true;  // null: a default item; anything else: no item
            if (!IsNull(value)) {
                return Validate(value, depth);
            }
        }
        const TrackItemType named = KindNamedBy(slots[SlotOf<TrackItem, MediaSummaryItem, 0>()]);
        ForEachItemKind([&](auto kind) {
            using Item = typename decltype(kind)::Item;
            if (named != kind.type) {
                return;
            }
            std::uint32_t present = 0;
            for (std::size_t slot = 0; slot < SlotCount<TrackItem>; ++slot) {
                present |= slots[slot].present ? std::uint32_t{1} << slot : 0;
            }
            anomaly = anomaly || (present & ~KeyMask<TrackItem, Item>()) != 0;  // members of another kind
            auto item = std::make_shared<Item>();
            Item& read = *item;
            entry = std::move(item);
            try {
                Assign<TrackItem>(slots, read);
            } catch (const std::invalid_argument&) {
                anomaly = true;
            } catch (const std::out_of_range&) {
                anomaly = true;
            }
        });
        return true;
    }

    template <typename Object>
    bool ReadElement(od::value& value, int depth, Object& target) {
        od::object object;
        if (!StartObject(value, object)) {
            anomaly = true;
            return IsNull(value);  // null reads as a default entity
        }
        return ReadEntity(object, depth, target);
    }

    bool ReadElement(od::value& value, int depth, std::shared_ptr<TrackItem>& entry) {
        return ReadItem(value, depth, entry);
    }

    // The members of Object's table, taken from the slots of Space in the
    // readers' order.
    template <typename Space, typename Object>
    void Assign(const Slots<Space>& slots, Object& target) {
        ForEachMemberReadAt(FormatOf<Object>::table, [&](const auto& member, auto index) {
            using Codec = CodecOf<decltype(member)>;
            const Slot& slot = slots[SlotOf<Space, Object, decltype(index)::value>()];
            if constexpr (IsInlineCodec<Codec>) {
                std::decay_t<decltype(member.get(target))> value;
                Assign<Space>(slots, value);
                member.set(target, value);
            } else if constexpr (!IsListCodec<Codec> && !std::is_same_v<Codec, KindCodec>) {
                if (slot.isString) {
                    member.set(target, Decode(Codec(), slot.text));
                }
            }
        });
        // A track's "type" is never read; anything but "SUMMARY" there is
        // for the checker to report.
        ForEachMemberAt(FormatOf<Object>::table, [&](const auto& member, auto index) {
            if constexpr (std::is_same_v<CodecOf<decltype(member)>, TrackTypeCodec>) {
                const Slot& type = slots[SlotOf<Space, Object, decltype(index)::value>()];
                anomaly = anomaly || (type.present && (!type.isString || type.text != TrackTypeText(TrackType::Summary)));
            }
        });
    }

    std::int64_t Decode(IntegerCodec, std::string_view text) {
        const IntegerReading reading = IntegerReading::Of(text.data(), text.data() + text.size());
        anomaly = anomaly || reading.form != IntegerReading::Form::Canonical;
        return ValueOf(reading);
    }

    std::string Decode(TextCodec, std::string_view text) {
        anomaly = anomaly || text.find('\0') != std::string_view::npos;
        return std::string(text);
    }

    Identifier Decode(IdentifierCodec, std::string_view text) { return Identifier(Decode(TextCodec(), text)); }

    EffectType Decode(EffectTypeCodec, std::string_view text) {
        const EffectType type = ToEffectType(std::string(text));
        anomaly = anomaly || type == EffectType::Unknown;
        return type;
    }

    // The kind that "_type" names, compared on the whole decoded text.
    TrackItemType KindNamedBy(const Slot& type) {
        if (!type.isString) {
            anomaly = true;  // missing, or not a string
            return TrackItemType::MediaSummary;
        }
        const std::string_view name = type.text;
        TrackItemType named = TrackItemType::Unknown;
        ForEachItemKind([&](auto kind) {
            if (name == kind.name) {
                named = kind.type;
            }
        });
        anomaly = anomaly || named == TrackItemType::Unknown;
        return named == TrackItemType::Unknown ? TrackItemType::MediaSummary : named;
    }

    // ---- Members ---------------------------------------------------------

    // Visits every member of `object` (at `depth`): a member under one of
    // Space's keys goes to `read`, with the key's slot; any other is
    // validated.
    template <typename Space, typename Read>
    bool ReadMembers(od::object& object, int depth, Slots<Space>&, Read&& read) {
        constexpr const auto& keys = TextKeys<Space>::keys;
        constexpr std::size_t count = SlotCount<Space>;
        static_assert(count <= 32, "the keys seen are bits of a 32-bit mask");
        std::uint32_t seen = 0;
        for (auto member : object) {
            od::field field;
            std::string_view name;
            if (std::move(member).get(field) != simdjson::SUCCESS || !DecodeKey(field, name)) {
                return false;
            }
            const std::size_t key = keys.IndexOf(name);
            const std::uint32_t bit = key == count ? 0 : std::uint32_t{1} << key;
            anomaly = anomaly || key == count || (seen & bit) != 0;  // unknown, or a duplicate
            seen |= bit;
            if (!(key == count ? Validate(field.value(), depth + 1) : read(key, field.value()))) {
                return false;
            }
        }
        return true;
    }

    // A member read only when it is a string: the last occurrence of its key
    // decides, so every occurrence overwrites the slot. A value that is not
    // read is only looked at.
    bool ReadScalar(od::value& value, int depth, Slot& slot, bool read) {
        slot.present = true;
        slot.isString = TypeOf(value) == od::json_type::string;
        if (!slot.isString) {
            anomaly = anomaly || read;
            return Validate(value, depth + 1);
        }
        return DecodeText(value, slot.text);
    }

    // A list read only when it is an array: each occurrence of its key starts
    // the list afresh, anything but an array leaves it empty.
    template <typename Element>
    bool ReadList(od::value& value, int depth, std::vector<Element>& list) {
        list.clear();
        od::array array;
        if (TypeOf(value) != od::json_type::array) {
            anomaly = true;
            return Validate(value, depth);
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
            if (!ReadElement(item, depth + 1, list.back())) {
                return false;
            }
        }
        return true;
    }

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
    ParserPool::Lease lease(size);
    return ReadRoot(lease.Parser(), text, size, capacity, timeline, anomaly);
}

}  // namespace Orv::TimelineEngineModel::Serialization::Json::Detail
