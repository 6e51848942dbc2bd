#pragma once

#include <Orv/Common/Serialization/Json/JsonObject.h>

#include <cstddef>
#include <string>
#include <string_view>

namespace Orv::TimelineEngineModel::Serialization::Json::Detail {

using Orv::Common::Serialization::Json::JsonObject;

// Parses a text the way users of the readers do: jsoncpp's CharReaderBuilder
// at its default settings.
class LenientJsonParser {
public:
    struct Outcome {
        enum class Kind {
            Parsed,
            SyntaxError,  // jsoncpp's first error: line, column, reason
            TooDeep,      // jsoncpp threw past its nesting limit; reason: its text
        };
        Kind kind = Kind::Parsed;
        std::size_t line = 0;
        std::size_t column = 0;
        std::string reason;
    };

    static Outcome Parse(std::string_view text, JsonObject& root);

private:
    static Outcome SyntaxError(const std::string& errors);
};

}  // namespace Orv::TimelineEngineModel::Serialization::Json::Detail
