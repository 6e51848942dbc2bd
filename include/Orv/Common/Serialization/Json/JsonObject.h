#pragma once

#include <json/value.h>

namespace Orv::Common::Serialization::Json {

// The parsed JSON value that readers take (jsoncpp).
using JsonObject = ::Json::Value;

}  // namespace Orv::Common::Serialization::Json
