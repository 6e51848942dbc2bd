#pragma once

// The format tables as the checker follows them: for each object, the keys
// that stand at its place (an inlined value's among them), those the reader
// reads first in its order, and how it takes each.

#include "../Format/ObjectFormats.h"

#include <array>
#include <cstddef>
#include <string_view>
#include <utility>

namespace Orv::TimelineEngineModel::Serialization::Json::Detail {

// How a reader takes the value of one of its keys.
enum class Rule { Identifier, Text, Integer, EffectType, Kind, TrackType, TrackList, MediaInfoList, ItemList };

struct MemberRule {
    std::string_view key;
    Rule rule;
};

// The keys at one object's place: the first `read` in the readers' order,
// then those never read.
struct MemberRules {
    const MemberRule* members;
    std::size_t count;
    std::size_t read;

    const MemberRule* begin() const { return members; }
    const MemberRule* end() const { return members + count; }
    bool Contains(std::string_view key) const {
        for (const MemberRule& member : *this) {
            if (member.key == key) {
                return true;
            }
        }
        return false;
    }
};

namespace MemberRulesImpl {

constexpr Rule RuleOf(IdentifierCodec) { return Rule::Identifier; }
constexpr Rule RuleOf(TextCodec) { return Rule::Text; }
constexpr Rule RuleOf(IntegerCodec) { return Rule::Integer; }
constexpr Rule RuleOf(EffectTypeCodec) { return Rule::EffectType; }
constexpr Rule RuleOf(KindCodec) { return Rule::Kind; }
constexpr Rule RuleOf(TrackTypeCodec) { return Rule::TrackType; }
constexpr Rule RuleOf(ObjectListCodec<Track>) { return Rule::TrackList; }
constexpr Rule RuleOf(ObjectListCodec<MediaInfo>) { return Rule::MediaInfoList; }
constexpr Rule RuleOf(ItemListCodec) { return Rule::ItemList; }

template <typename Object>
constexpr std::size_t FlatCount() {
    std::size_t count = 0;
    ForEachMember(FormatOf<Object>::table, [&](const auto& member) {
        using Codec = typename std::decay_t<decltype(member)>::CodecType;
        if constexpr (IsInlineCodec<Codec>) {
            count += FlatCount<std::decay_t<decltype(member.get(std::declval<Object&>()))>>();
        } else {
            ++count;
        }
    });
    return count;
}

// Appends the members that are read (`read`) or never read, in the readers'
// order, an inlined value's in its place.
template <typename Object, std::size_t Count>
constexpr void Append(std::array<MemberRule, Count>& rules, std::size_t& next, bool read) {
    ForEachMemberRead(FormatOf<Object>::table, [&](const auto& member) {
        using Codec = typename std::decay_t<decltype(member)>::CodecType;
        if constexpr (IsInlineCodec<Codec>) {
            Append<std::decay_t<decltype(member.get(std::declval<Object&>()))>>(rules, next, read);
        } else if (read) {
            rules[next++] = {member.key, RuleOf(Codec())};
        }
    });
    if (!read) {
        ForEachMember(FormatOf<Object>::table, [&](const auto& member) {
            if constexpr (std::decay_t<decltype(member)>::readPosition == NotRead) {
                rules[next++] = {member.key,
                                 RuleOf(typename std::decay_t<decltype(member)>::CodecType())};
            }
        });
    }
}

template <typename Object>
constexpr auto Make() {
    std::array<MemberRule, FlatCount<Object>()> rules{};
    std::size_t next = 0;
    Append<Object>(rules, next, true);
    const std::size_t read = next;
    Append<Object>(rules, next, false);
    return std::pair(rules, read);
}

}  // namespace MemberRulesImpl

template <typename Object>
inline constexpr auto MemberRuleArray = MemberRulesImpl::Make<Object>();

template <typename Object>
constexpr MemberRules MemberRulesOf() {
    return {MemberRuleArray<Object>.first.data(), MemberRuleArray<Object>.first.size(),
            MemberRuleArray<Object>.second};
}

}  // namespace Orv::TimelineEngineModel::Serialization::Json::Detail
