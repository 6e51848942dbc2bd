#pragma once

// How a format table describes one member of an object: its key, its codec
// (how the value is written and read, Codecs.h), whether the writer leaves
// it out when it holds its default, its place in the reader's order (which
// decides what a failure leaves behind) and the model's accessor pair. A
// table is a std::tuple of members in the order the writer writes them
// (ObjectFormats.h); the routes (Write/, Read/, TextRead/, Check/) walk the
// tables and spell out nothing of their own.

#include <cstddef>
#include <string_view>
#include <tuple>
#include <type_traits>
#include <utility>

namespace Orv::TimelineEngineModel::Serialization::Json::Detail {

enum class Omit {
    Never,        // written whatever it holds
    WhenDefault,  // left out when it holds its codec's default (empty, 0, Unknown)
};

// The reading position of a member the readers never read.
inline constexpr int NotRead = -1;

template <typename Codec, int ReadPosition, Omit OmitRule, typename Get, typename Set>
struct Member {
    using CodecType = Codec;
    static constexpr int readPosition = ReadPosition;
    static constexpr Omit omit = OmitRule;

    std::string_view key;  // a literal: NUL-terminated, so key.data() is a C string
    Get get;  // get(object): the value; a reference to it where the model gives one
    Set set;  // set(object, value)
};

template <typename Codec, int ReadPosition, Omit OmitRule, typename Get, typename Set>
constexpr Member<Codec, ReadPosition, OmitRule, Get, Set> MakeMember(std::string_view key, Get get, Set set) {
    return {key, get, set};
}

// A member read and written through the model's accessor pair `Accessor()`
// and `Accessor(value)`.
#define ORV_FORMAT_MEMBER(Codec, readPosition, key, Accessor, omit)                                       \
    ::Orv::TimelineEngineModel::Serialization::Json::Detail::MakeMember<Codec, readPosition, omit>(        \
        key, [](auto& object) -> decltype(auto) { return object.Accessor(); },                            \
        [](auto& object, auto&& value) { object.Accessor(std::forward<decltype(value)>(value)); })

template <typename Table>
inline constexpr std::size_t MemberCount = std::tuple_size_v<std::remove_cv_t<std::remove_reference_t<Table>>>;

template <typename Table, typename Visit>
constexpr void ForEachMember(const Table& table, Visit&& visit) {
    std::apply([&](const auto&... member) { (visit(member), ...); }, table);
}

// visit(member, index): the index, in written order, as a constant
// (std::integral_constant), so that what depends on it can be worked out at
// compile time.
template <typename Table, typename Visit, std::size_t... I>
constexpr void ForEachMemberAt(const Table& table, Visit&& visit, std::index_sequence<I...>) {
    (visit(std::get<I>(table), std::integral_constant<std::size_t, I>()), ...);
}
template <typename Table, typename Visit>
constexpr void ForEachMemberAt(const Table& table, Visit&& visit) {
    ForEachMemberAt(table, visit, std::make_index_sequence<std::tuple_size_v<Table>>());
}

namespace FormatImpl {

template <typename Table, std::size_t... I>
constexpr int CountRead(std::index_sequence<I...>) {
    return ((std::tuple_element_t<I, Table>::readPosition != NotRead ? 1 : 0) + ... + 0);
}

// The index, in written order, of the member read at `position`.
template <typename Table, int Position, std::size_t... I>
constexpr std::size_t IndexReadAt(std::index_sequence<I...>) {
    std::size_t index = sizeof...(I);
    ((index = std::tuple_element_t<I, Table>::readPosition == Position ? I : index), ...);
    return index;
}

template <typename Table, typename Visit, std::size_t... P>
constexpr void VisitInReadingOrder(const Table& table, Visit&& visit, std::index_sequence<P...>) {
    constexpr auto all = std::make_index_sequence<std::tuple_size_v<Table>>();
    (visit(std::get<IndexReadAt<Table, static_cast<int>(P)>(all)>(table),
           std::integral_constant<std::size_t, IndexReadAt<Table, static_cast<int>(P)>(all)>()),
     ...);
}

}  // namespace FormatImpl

// The members that the readers read, in their order: visit(member, index)
// as for ForEachMemberAt.
template <typename Table, typename Visit>
constexpr void ForEachMemberReadAt(const Table& table, Visit&& visit) {
    constexpr int read = FormatImpl::CountRead<Table>(std::make_index_sequence<std::tuple_size_v<Table>>());
    FormatImpl::VisitInReadingOrder(table, visit, std::make_index_sequence<read>());
}

template <typename Table, typename Visit>
constexpr void ForEachMemberRead(const Table& table, Visit&& visit) {
    ForEachMemberReadAt(table, [&](const auto& member, auto) { visit(member); });
}

// A table is well formed when its keys are unique and the reading positions
// of the members read are 0, 1, ... in some order.
template <typename Table>
constexpr bool IsWellFormed(const Table& table) {
    constexpr std::size_t count = std::tuple_size_v<Table>;
    constexpr auto all = std::make_index_sequence<count>();
    constexpr int read = FormatImpl::CountRead<Table>(all);
    bool positions = true;
    for (int p = 0; p < read; ++p) {
        std::size_t matches = 0;
        std::apply([&](const auto&... member) { ((matches += member.readPosition == p ? 1 : 0), ...); }, table);
        positions = positions && matches == 1;
    }
    std::string_view keys[count > 0 ? count : 1] = {};
    std::size_t next = 0;
    ForEachMember(table, [&](const auto& member) { keys[next++] = member.key; });
    bool unique = true;
    for (std::size_t i = 0; i < count; ++i) {
        for (std::size_t j = i + 1; j < count; ++j) {
            unique = unique && (keys[i].empty() || keys[i] != keys[j]);
        }
    }
    return positions && unique;
}

}  // namespace Orv::TimelineEngineModel::Serialization::Json::Detail
