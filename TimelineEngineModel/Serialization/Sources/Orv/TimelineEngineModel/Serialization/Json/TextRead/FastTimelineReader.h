#pragma once

#include <Orv/TimelineEngineModel/Timeline.h>

#include <cstddef>

namespace Orv::TimelineEngineModel::Serialization::Json::Detail {

// Reads a timeline document with simdjson's parser (validating the whole
// text with the machine's vector instructions) and then the parsed document
// straight into the model, when it can prove that parsing with jsoncpp's
// default settings and converting with JsonToTimelineConverter would succeed
// and give the same timeline. It declines everything else: any text jsoncpp
// might refuse or read otherwise (comments, trailing commas, text after the
// root value, invalid UTF-8, control characters in strings, lone surrogate
// escapes, numbers outside the double range, nesting deeper than MaxDepth),
// any root but an object or null, and any failure of the conversion (a
// timeline integer text that std::stoll refuses, a track or media info that
// is neither an object nor null). A track item's failures do not fail the
// conversion; they are reproduced. A declined text must go to the reference
// route, which also gives the exact error message and partial state.
class FastTimelineReader {
public:
    // Containers nested deeper than this are declined, far below jsoncpp's
    // limit of 1000.
    static constexpr std::size_t MaxDepth = 128;
    // Longer texts are declined. Below 2^30 bytes no key and no string can
    // reach the longest that jsoncpp holds (keys below 2^30 bytes, strings
    // up to INT_MAX - 5), which it would refuse.
    static constexpr std::size_t MaxSize = (std::size_t{1} << 30) - 1;

    // Reads text[0, size), in place when it is `padded` (followed by at least
    // SIMDJSON_PADDING readable bytes), else from a copy. True when `timeline` (a default one on entry) holds the result;
    // false when declined, with `timeline` in any state. When it is read,
    // `anomaly` tells whether the reader met anything that
    // JsonDocumentChecker reports: a member skipped (not a string, not an
    // array, null), an unknown or duplicate key, an integer text read partly
    // or written back otherwise, an unknown or missing "_type", an unknown
    // effect type, a track "type" other than "SUMMARY", a null entity, an
    // item read partly or not at all, a text holding a NUL character.
    static bool Read(const char* text, std::size_t size, bool padded, Timeline& timeline, bool& anomaly);
};

}  // namespace Orv::TimelineEngineModel::Serialization::Json::Detail
