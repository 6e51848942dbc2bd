#pragma once

#include <Orv/TimelineEngineModel/Timeline.h>

#include <cstddef>

namespace Orv::TimelineEngineModel::Serialization::Json::Detail {

// Reads a timeline document with simdjson's On-Demand parser, straight into
// the model, when it can prove that parsing with jsoncpp's default settings
// and converting with JsonToTimelineConverter would succeed and give the same
// timeline. It declines everything else: any text jsoncpp might refuse or read
// otherwise (comments, trailing commas, text after the root value, invalid
// UTF-8, control characters in strings, lone surrogate escapes, numbers
// outside the double range or the 64-bit integers, nesting deeper than
// MaxDepth), any root but an object or null, and any failure of the
// conversion (a timeline integer text that std::stoll refuses, a track or
// media info that is neither an object nor null). A track item's failures
// do not fail the conversion; they are reproduced. A declined text must go to
// the reference route, which also gives the exact error message and partial
// state.
class FastTimelineReader {
public:
    // Containers nested deeper than this are declined: far below jsoncpp's
    // limit of 1000, and a bounded recursion.
    static constexpr int MaxDepth = 128;
    // Longer texts are declined (the parser's limit of 4 GiB).
    static constexpr std::size_t MaxSize = 0xFFFFFFFF;

    // jsoncpp refuses a key of 2^30 bytes or more ("keylength >= 2^30") and
    // a string value longer than INT_MAX - 5 bytes ("length too big for
    // prefixing"), both counted decoded. A text with a key or string whose
    // raw body is that long is declined: the body is never shorter than the
    // decoded text.
    static constexpr std::size_t LongestKey = (std::size_t{1} << 30) - 1;
    static constexpr std::size_t LongestString = 0x7FFFFFFF - 5;
    static constexpr bool JsoncppHolds(std::size_t rawLength, bool isKey) {
        return rawLength <= (isKey ? LongestKey : LongestString);
    }

    // Reads text[0, size); the buffer must hold `capacity` readable bytes, at
    // least SIMDJSON_PADDING more than `size`. True when `timeline` (a
    // default one on entry) holds the result; false when declined, with
    // `timeline` in any state. When it is read, `anomaly` tells whether the
    // reader met anything that JsonDocumentChecker reports: a member skipped
    // (not a string, not an array, null), an unknown or duplicate key, an
    // integer text read partly or written back otherwise, an unknown or
    // missing "_type", an unknown effect type, a track "type" other than
    // "SUMMARY", a null entity, an item read partly or not at all, a text
    // holding a NUL character.
    static bool Read(const char* text, std::size_t size, std::size_t capacity, Timeline& timeline, bool& anomaly);
};

}  // namespace Orv::TimelineEngineModel::Serialization::Json::Detail
