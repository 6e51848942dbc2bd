#pragma once

#include <cstddef>
#include <string_view>

namespace Orv::TimelineEngineModel::Serialization::Json::Detail {

// The offset of the first byte that does not belong to a well-formed UTF-8
// sequence (RFC 3629: no overlong forms, no surrogates, nothing above
// U+10FFFF), or npos when the whole text is UTF-8.
inline std::size_t FirstInvalidUtf8(std::string_view text) {
    std::size_t i = 0;
    while (i < text.size()) {
        const auto lead = static_cast<unsigned char>(text[i]);
        if (lead < 0x80) {
            ++i;
            continue;
        }
        // The length of the sequence and the range of its second byte, which
        // rules out overlong forms, surrogates and values above U+10FFFF.
        std::size_t length = 0;
        unsigned char low = 0x80;
        unsigned char high = 0xBF;
        if (lead >= 0xC2 && lead <= 0xDF) {
            length = 2;
        } else if (lead >= 0xE0 && lead <= 0xEF) {
            length = 3;
            low = lead == 0xE0 ? 0xA0 : 0x80;
            high = lead == 0xED ? 0x9F : 0xBF;
        } else if (lead >= 0xF0 && lead <= 0xF4) {
            length = 4;
            low = lead == 0xF0 ? 0x90 : 0x80;
            high = lead == 0xF4 ? 0x8F : 0xBF;
        } else {
            return i;
        }
        if (i + length > text.size()) {
            return i;
        }
        for (std::size_t k = 1; k < length; ++k) {
            const auto byte = static_cast<unsigned char>(text[i + k]);
            const bool inRange = k == 1 ? byte >= low && byte <= high : byte >= 0x80 && byte <= 0xBF;
            if (!inRange) {
                return i;
            }
        }
        i += length;
    }
    return std::string_view::npos;
}

}  // namespace Orv::TimelineEngineModel::Serialization::Json::Detail
