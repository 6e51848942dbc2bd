#include <Orv/TimelineEngineModel/Serialization/Json/MemberTexts.h>

#include "Format/IntegerText.h"
#include "Format/ObjectFormats.h"

namespace Orv::TimelineEngineModel::Serialization::Json {

namespace {

std::string TextOf(Detail::IdentifierCodec, const Detail::Identifier& value) {
    return value.Value();
}
std::string TextOf(Detail::TextCodec, const std::string& value) {
    return value;
}
std::string TextOf(Detail::IntegerCodec, std::int64_t value) {
    return std::string(Detail::IntegerText(value).Text());
}
std::string TextOf(Detail::EffectTypeCodec, EffectType value) {
    return ToString(value);
}
std::string TextOf(Detail::KindCodec, const char* name) {
    return name;
}
std::string TextOf(Detail::TrackTypeCodec, TrackType value) {
    return Detail::TrackTypeText(value);
}

template <typename Object>
void AppendTexts(const Object& object, std::vector<MemberText>& texts) {
    Detail::ForEachMember(Detail::FormatOf<Object>::table, [&](const auto& member) {
        using Codec = typename std::decay_t<decltype(member)>::CodecType;
        if constexpr (Detail::IsInlineCodec<Codec>) {
            AppendTexts(member.get(object), texts);
        } else if constexpr (!Detail::IsListCodec<Codec>) {
            texts.push_back({member.key.data(), TextOf(Codec(), member.get(object))});
        }
    });
}

template <typename Object>
std::vector<MemberText> Texts(const Object& object) {
    std::vector<MemberText> texts;
    AppendTexts(object, texts);
    return texts;
}

}  // namespace

std::vector<MemberText> MemberTextsOf(const Timeline& timeline) {
    return Texts(timeline);
}

std::vector<MemberText> MemberTextsOf(const Track& track) {
    return Texts(track);
}

std::vector<MemberText> MemberTextsOf(const TrackItem& item) {
    std::vector<MemberText> texts;
    Detail::ForEachItemKind([&](auto kind) {
        if (item.GetType() == kind.type) {
            texts = Texts(static_cast<const typename decltype(kind)::Item&>(item));
        }
    });
    return texts;
}

std::vector<MemberText> MemberTextsOf(const MediaInfo& mediaInfo) {
    return Texts(mediaInfo);
}

std::vector<MemberText> MemberTextsOf(const TransitionEffect& effect) {
    return Texts(effect);
}

}  // namespace Orv::TimelineEngineModel::Serialization::Json
