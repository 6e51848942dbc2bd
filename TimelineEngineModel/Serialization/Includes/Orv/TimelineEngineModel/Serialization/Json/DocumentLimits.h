#pragma once

#include <cstddef>

namespace Orv::TimelineEngineModel::Serialization::Json {

// The largest document text that is loaded from a file or a stream, in
// bytes (2 GiB - 1); a longer one is refused before it is read whole. Below
// it no JSON string can reach the longest text jsoncpp holds in a value
// (2^31 - 6 bytes), so every document it admits reads the same way on both
// of JsonTextToTimelineConverter's paths.
inline constexpr std::size_t MaxDocumentSize = 0x7FFFFFFF;

}  // namespace Orv::TimelineEngineModel::Serialization::Json
