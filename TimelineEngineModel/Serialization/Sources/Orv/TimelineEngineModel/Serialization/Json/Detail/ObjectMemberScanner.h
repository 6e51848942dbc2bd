#pragma once

#include <cstddef>
#include <string>
#include <string_view>
#include <vector>

namespace Orv::TimelineEngineModel::Serialization::Json::Detail {

// The members of an object as its text has them, duplicates included, which
// jsoncpp's tree does not keep (it holds the last member of each key). The
// text must be one that jsoncpp parsed at its default settings.
class ObjectMemberScanner {
public:
    struct Member {
        std::string key;  // decoded as jsoncpp decodes it
        std::size_t valueOffset;
    };

    explicit ObjectMemberScanner(std::string_view text) : text(text) {}

    // The number of members of the object whose "{" is at `objectStart`.
    std::size_t Count(std::size_t objectStart) const;
    // Its members in text order.
    std::vector<Member> Members(std::size_t objectStart) const;

private:
    // Calls onMember(keyToken, valueOffset) for each member; keyToken is the
    // key's text with its quotes.
    template <typename OnMember>
    void Scan(std::size_t objectStart, OnMember&& onMember) const;

    static std::string DecodeKey(std::string_view keyToken);

    std::string_view text;
};

}  // namespace Orv::TimelineEngineModel::Serialization::Json::Detail
