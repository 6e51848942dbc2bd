#pragma once

#include <Orv/Common/Serialization/Json/JsonObject.h>

#include <json/reader.h>

#include <memory>
#include <string>

namespace Orv::TimelineEngineModel::Serialization::Json::Detail {

using Orv::Common::Serialization::Json::JsonObject;

// A text parsed the way the readers' users parse it: jsoncpp's
// CharReaderBuilder at its default settings (comments, trailing commas,
// text after the root value, a byte order mark and duplicate keys, the last
// counting, accepted). jsoncpp may look at the byte after the text: the
// caller leaves one readable there.
struct JsoncppParse {
    enum class Outcome {
        Parsed,
        Refused,  // message: jsoncpp's errors, "* Line N, Column M\n  reason\n" first
        Threw,    // jsoncpp gave up (nesting past its limit, a key of 2^30 bytes); message: its text
    };
    Outcome outcome = Outcome::Parsed;
    std::string message;

    // Other exceptions (memory) pass.
    static JsoncppParse Of(const char* begin, const char* end, JsonObject& root) {
        JsoncppParse parse;
        try {
            const std::unique_ptr<::Json::CharReader> reader(::Json::CharReaderBuilder().newCharReader());
            if (!reader->parse(begin, end, &root, &parse.message)) {
                parse.outcome = Outcome::Refused;
            }
        } catch (const ::Json::Exception& error) {
            parse.outcome = Outcome::Threw;
            parse.message = error.what();
        }
        return parse;
    }
};

}  // namespace Orv::TimelineEngineModel::Serialization::Json::Detail
