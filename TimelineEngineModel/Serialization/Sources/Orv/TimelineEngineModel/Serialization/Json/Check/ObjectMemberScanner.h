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

    // A token that jsoncpp takes for the separator after a member: after a
    // comment, whatever token stands where "," or "}" is due is read as if it
    // were "," and dropped (`{"id":"a" /*c*/ "tracks"}` holds one member).
    struct IgnoredToken {
        std::string_view token;
        std::size_t offset;
    };

    explicit ObjectMemberScanner(std::string_view text);

    // The number of members of the object whose "{" is at `objectStart`;
    // the tokens it ignores are appended to `ignored` when given.
    std::size_t Count(std::size_t objectStart, std::vector<IgnoredToken>* ignored = nullptr) const;
    // Its members in text order.
    std::vector<Member> Members(std::size_t objectStart) const;
    // False when the text has no comment at all, and so no ignored token.
    bool MayHaveComments() const { return mayHaveComments; }

private:
    // Calls onMember(keyToken, valueOffset) for each member (keyToken is the
    // key's text with its quotes) and onIgnored(token, offset) for each
    // ignored token.
    template <typename OnMember, typename OnIgnored>
    void Scan(std::size_t objectStart, OnMember&& onMember, OnIgnored&& onIgnored) const;

    static std::string DecodeKey(std::string_view keyToken);

    std::string_view text;
    bool mayHaveComments;
};

}  // namespace Orv::TimelineEngineModel::Serialization::Json::Detail
