#include <Orv/TimelineEngineModel/Serialization/Json/JsonToMediaInfoConverter.h>

#include "Detail/ConversionGuard.h"
#include "Detail/Keys.h"
#include "Detail/ValueEncoding.h"

#include <iterator>

namespace Orv::TimelineEngineModel::Serialization::Json {

namespace {
using Keys = Detail::MediaInfoKeys;
constexpr auto& AllKeys = Keys::ReadingOrder;
constexpr auto AllKeySet = Detail::MakeKeySet(AllKeys);
}  // namespace

JsonToMediaInfoConverter::~JsonToMediaInfoConverter() = default;

JsonToMediaInfoConverter::Result JsonToMediaInfoConverter::To(const JsonObject& rhs,
                                                              std::unique_ptr<MediaInfo>& mediaInfo) const noexcept {
    return Detail::RunGuarded([&] {
        if (mediaInfo) {
            static_cast<void>(To(rhs, *mediaInfo));
        } else {
            Detail::RequireNothingToFill(rhs, AllKeys, "media info");
        }
    });
}

JsonToMediaInfoConverter::Result JsonToMediaInfoConverter::To(JsonObject&& rhs,
                                                              std::unique_ptr<MediaInfo>& mediaInfo) const {
    return To(static_cast<const JsonObject&>(rhs), mediaInfo);
}

JsonToMediaInfoConverter::Result JsonToMediaInfoConverter::To(const JsonObject& rhs, MediaInfo& mediaInfo) const {
    const Detail::Members<std::size(AllKeys)> members(rhs, AllKeySet);
    Detail::ReadIdentifier(members, Keys::MediaAssetId, [&](const auto& value) { mediaInfo.MediaAssetId(value); });
    Detail::ReadInteger(members, Keys::LimitIn, [&](int64_t value) { mediaInfo.LimitIn(value); });
    Detail::ReadInteger(members, Keys::LimitDuration, [&](int64_t value) { mediaInfo.LimitDuration(value); });
    Detail::ReadText(members, Keys::Channels, [&](const std::string& value) { mediaInfo.Channels(value); });
    return Result();
}

}  // namespace Orv::TimelineEngineModel::Serialization::Json
