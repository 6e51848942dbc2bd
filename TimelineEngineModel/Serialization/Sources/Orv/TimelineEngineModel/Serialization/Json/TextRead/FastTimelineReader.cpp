#include "FastTimelineReader.h"

#include <Orv/TimelineEngineModel/Serialization/Json/JsonTextToTimelineConverter.h>

#include "../Format/IntegerText.h"
#include "../Format/KeySet.h"
#include "ParserPool.h"

#include <cstdint>
#include <cstring>
#include <stdexcept>
#include <string>
#include <string_view>
#include <vector>

namespace Orv::TimelineEngineModel::Serialization::Json::Detail {

namespace {

namespace dom = simdjson::dom;

// A member under one of an object's keys, as the last occurrence of the key
// left it: a JSON string (decoded, in the parser's string buffer, which
// lasts for the whole read) or anything else (not a string). Slots are left
// uninitialised: a slot holds a member only when its bit is set in the
// object's `present` mask.
struct Slot {
    std::string_view text;
    bool isString;
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
struct Slots {
    Slot slot[SlotCount<Space>];
    std::uint32_t present = 0;

    const Slot* Find(std::size_t index) const { return (present >> index & 1) != 0 ? &slot[index] : nullptr; }
    const Slot* FindString(std::size_t index) const {
        const Slot* found = Find(index);
        return found != nullptr && found->isString ? found : nullptr;
    }
};

// The slot, among the keys of Space, of member I of Object's table.
template <typename Space, typename Object, std::size_t I>
inline constexpr std::size_t SlotOf = TextKeys<Space>::keys.IndexOf(std::get<I>(FormatOf<Object>::table).key);

template <typename Member>
using CodecOf = typename std::decay_t<Member>::CodecType;

// The slots of Space that are keys of Object's table, its inlined value's
// keys included, as bits.
template <typename Space, typename Object>
constexpr std::uint32_t KeyMask() {
    std::uint32_t mask = 0;
    ForEachMemberAt(FormatOf<Object>::table, [&](const auto& member, auto index) {
        if constexpr (IsInlineCodec<CodecOf<decltype(member)>>) {
            mask |= KeyMask<Space, std::decay_t<decltype(member.get(std::declval<Object&>()))>>();
        } else {
            mask |= std::uint32_t{1} << SlotOf<Space, Object, decltype(index)::value>;
        }
    });
    return mask;
}
template <typename Space, typename Object>
inline constexpr std::uint32_t KeyMaskOf = KeyMask<Space, Object>();

// The slots whose values are read, not only looked at, as bits.
template <typename Object>
constexpr std::uint32_t ReadSlots() {
    std::uint32_t mask = 0;
    ForEachMemberAt(FormatOf<Object>::table, [&](const auto& member, auto index) {
        mask |= std::decay_t<decltype(member)>::readPosition != NotRead
                    ? std::uint32_t{1} << SlotOf<Object, Object, decltype(index)::value>
                    : 0;
    });
    return mask;
}
template <typename Object>
inline constexpr std::uint32_t ReadSlotsOf = ReadSlots<Object>();

// One read of a document the parser accepted: it fills the model by the
// format tables, and sets `anomaly` wherever the reference route skips,
// reinterprets or drops something. The functions that return a bool return
// false to decline the text; an integer text that std::stoll refuses throws,
// which declines it too, the reference route reporting it.
class Walker {
public:
    bool anomaly = false;

    bool ReadTimeline(dom::object root, Timeline& timeline) { return ReadEntity(root, timeline, true); }

private:
    // A timeline, track or media info: its members in one walk, a list read
    // where it stands, the others assigned after the walk in the readers'
    // order.
    template <typename Object>
    bool ReadEntity(dom::object object, Object& target, bool atRoot = false) {
        Slots<Object> slots;
        bool read = true;
        ReadMembers<Object>(object, slots, atRoot, [&](std::size_t key, dom::element value) {
            bool isList = false;
            ForEachMemberAt(FormatOf<Object>::table, [&](const auto& member, auto index) {
                if constexpr (IsListCodec<CodecOf<decltype(member)>>) {
                    if (key == SlotOf<Object, Object, decltype(index)::value>) {
                        isList = true;
                        read = read && ReadList(value, member.get(target));
                    }
                }
            });
            if (!isList) {
                ReadScalar(value, slots, key, (ReadSlotsOf<Object> >> key & 1) != 0);
            }
        });
        if (read) {
            Assign<Object>(slots, target);
        }
        return read;
    }

    // As the reference route reads an element of "items", whose failures do
    // not fail the read: an element neither an object nor null gives an entry
    // without an item; an integer text that std::stoll refuses leaves the
    // item as read up to there, without its identifier (a transition keeps
    // its default effect).
    void ReadItem(dom::element value, std::shared_ptr<TrackItem>& entry) {
        Slots<TrackItem> slots;
        if (value.is_object()) {
            ReadMembers<TrackItem>(value.get_object().value_unsafe(), slots, false,
                                   [&](std::size_t key, dom::element member) { ReadScalar(member, slots, key, true); });
        } else {
            anomaly = true;  // null: a default item; anything else: no item
            if (!value.is_null()) {
                return;
            }
        }
        const TrackItemType named = KindNamedBy(slots.FindString(SlotOf<TrackItem, MediaSummaryItem, 0>));
        ForEachItemKind([&](auto kind) {
            using Item = typename decltype(kind)::Item;
            if (named != kind.type) {
                return;
            }
            anomaly = anomaly || (slots.present & ~KeyMaskOf<TrackItem, Item>) != 0;  // members of another kind
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
    }

    // A track or media info that is neither an object nor null fails the
    // reference route's read: declined. Null reads as a default one.
    template <typename Object>
    bool ReadElement(dom::element value, Object& target) {
        if (!value.is_object()) {
            anomaly = true;
            return value.is_null();
        }
        return ReadEntity(value.get_object().value_unsafe(), target);
    }

    bool ReadElement(dom::element value, std::shared_ptr<TrackItem>& entry) {
        ReadItem(value, entry);
        return true;
    }

    // The members of Object's table, taken from the slots of Space in the
    // readers' order.
    template <typename Space, typename Object>
    void Assign(const Slots<Space>& slots, Object& target) {
        ForEachMemberReadAt(FormatOf<Object>::table, [&](const auto& member, auto index) {
            using Codec = CodecOf<decltype(member)>;
            if constexpr (IsInlineCodec<Codec>) {
                std::decay_t<decltype(member.get(target))> value;
                Assign<Space>(slots, value);
                member.set(target, std::move(value));
            } else if constexpr (!IsListCodec<Codec> && !std::is_same_v<Codec, KindCodec>) {
                if (const Slot* slot = slots.FindString(SlotOf<Space, Object, decltype(index)::value>)) {
                    member.set(target, Decode(Codec(), slot->text));
                }
            }
        });
        // A track's "type" is never read; anything but "SUMMARY" there is
        // for the checker to report.
        ForEachMemberAt(FormatOf<Object>::table, [&](const auto& member, auto index) {
            if constexpr (std::is_same_v<CodecOf<decltype(member)>, TrackTypeCodec>) {
                const Slot* type = slots.Find(SlotOf<Space, Object, decltype(index)::value>);
                anomaly = anomaly || (type != nullptr && (!type->isString || type->text != TrackTypeText(TrackType::Summary)));
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
    TrackItemType KindNamedBy(const Slot* type) {
        TrackItemType named = TrackItemType::Unknown;
        ForEachItemKind([&](auto kind) {
            constexpr std::string_view name = decltype(kind)::name;  // a constant length: compared inline
            const bool same = type != nullptr && type->text.size() == name.size() &&
                              std::memcmp(type->text.data(), name.data(), name.size()) == 0;
            named = same ? kind.type : named;
        });
        anomaly = anomaly || named == TrackItemType::Unknown;  // missing, not a string, or no kind's name
        return named == TrackItemType::Unknown ? TrackItemType::MediaSummary : named;
    }

    // Visits every member of `object`: one under Space's keys goes to `read`
    // with the key's slot; any other is unknown, but "$schema" at the root.
    template <typename Space, typename Read>
    void ReadMembers(dom::object object, Slots<Space>& slots, bool atRoot, Read&& read) {
        constexpr std::size_t count = SlotCount<Space>;
        static_assert(count <= 32, "the keys present are bits of a 32-bit mask");
        bool schemaSeen = false;
        for (const dom::key_value_pair field : object) {
            const std::size_t key = TextKeys<Space>::keys.Lookup(field.key);
            const std::uint32_t bit = key == count ? 0 : std::uint32_t{1} << key;
            const bool schema = key == count && atRoot && field.key == SchemaKey;
            // unknown, or a duplicate
            anomaly = anomaly || (key == count && !schema) || (slots.present & bit) != 0 || (schema && schemaSeen);
            schemaSeen = schemaSeen || schema;
            slots.present |= bit;
            if (key != count) {
                read(key, field.value);
            }
        }
    }

    // A member read only when it is a string: the last occurrence of its key
    // decides, so every occurrence overwrites the slot.
    template <typename Space>
    void ReadScalar(dom::element value, Slots<Space>& slots, std::size_t key, bool read) {
        Slot& slot = slots.slot[key];
        slot.isString = value.is_string();
        slot.text = slot.isString ? value.get_string().value_unsafe() : std::string_view();
        anomaly = anomaly || (read && !slot.isString);
    }

    // A list read only when it is an array: each occurrence of its key starts
    // the list afresh, anything but an array leaves it empty.
    template <typename Element>
    bool ReadList(dom::element value, std::vector<Element>& list) {
        list.clear();
        if (!value.is_array()) {
            anomaly = true;
            return true;
        }
        const dom::array array = value.get_array().value_unsafe();
        list.reserve(array.size());
        for (const dom::element element : array) {
            list.emplace_back();
            if (!ReadElement(element, list.back())) {
                return false;
            }
        }
        return true;
    }
};

}  // namespace

bool FastTimelineReader::Read(const char* text, std::size_t size, bool padded, Timeline& timeline, bool& anomaly) {
    static_assert(JsonTextToTimelineConverter::Padding >= simdjson::SIMDJSON_PADDING);
    if (size > MaxSize) {
        return false;
    }
    // jsoncpp skips a UTF-8 byte order mark at the very start.
    if (size >= 3 && std::memcmp(text, "\xEF\xBB\xBF", 3) == 0) {
        text += 3;
        size -= 3;
    }
    if (size == 0) {
        return false;  // no JSON; and a null text must not reach the parser's copy
    }
    ParserPool::Lease lease(size);
    dom::element root;
    if (lease.Parser().parse(text, size, !padded).get(root) != simdjson::SUCCESS) {
        return false;  // not strict JSON, or nested deeper than MaxDepth
    }
    if (root.is_null()) {
        anomaly = true;
        return true;  // a null root reads as a default timeline
    }
    Walker walker;
    if (!root.is_object() || !walker.ReadTimeline(root.get_object().value_unsafe(), timeline)) {
        return false;
    }
    anomaly = walker.anomaly;
    return true;
}

}  // namespace Orv::TimelineEngineModel::Serialization::Json::Detail
