#include "LenientJsonParser.h"

#include <json/reader.h>

#include <cstdio>
#include <memory>

namespace Orv::TimelineEngineModel::Serialization::Json::Detail {

LenientJsonParser::Outcome LenientJsonParser::Parse(std::string_view text, JsonObject& root) {
    const std::unique_ptr<::Json::CharReader> reader(::Json::CharReaderBuilder().newCharReader());
    std::string errors;
    try {
        if (reader->parse(text.data(), text.data() + text.size(), &root, &errors)) {
            return Outcome();
        }
    } catch (const ::Json::Exception& tooDeep) {
        Outcome outcome;
        outcome.kind = Outcome::Kind::TooDeep;
        outcome.reason = tooDeep.what();
        return outcome;
    }
    return SyntaxError(errors);
}

// jsoncpp lays out its first error as "* Line N, Column M\n  REASON\n", and
// may add more lines.
LenientJsonParser::Outcome LenientJsonParser::SyntaxError(const std::string& errors) {
    Outcome outcome;
    outcome.kind = Outcome::Kind::SyntaxError;
    outcome.line = 1;
    outcome.column = 1;
    std::sscanf(errors.c_str(), "* Line %zu, Column %zu", &outcome.line, &outcome.column);
    const std::size_t reasonStart = errors.find_first_not_of(' ', errors.find('\n') + 1);
    const std::size_t reasonEnd = errors.find('\n', reasonStart);
    if (reasonStart < errors.size()) {
        outcome.reason = errors.substr(reasonStart, reasonEnd - reasonStart);
    }
    return outcome;
}

}  // namespace Orv::TimelineEngineModel::Serialization::Json::Detail
