#include "StrictJsonValidator.h"

#include <rapidjson/error/en.h>
#include <rapidjson/memorystream.h>
#include <rapidjson/reader.h>

namespace Orv::TimelineEngineModel::Serialization::Json::Detail {

// RapidJSON's SAX reader validates without building anything: iteratively
// (no recursion, so any depth), with UTF-8 checked. It reads a NUL byte as
// the end of the text, so a raw NUL, which RFC 8259 allows nowhere, is
// looked for separately; the earlier of the two faults is the one reported.
std::optional<StrictJsonValidator::Violation> StrictJsonValidator::Validate(std::string_view text) {
    constexpr unsigned flags = rapidjson::kParseIterativeFlag | rapidjson::kParseValidateEncodingFlag;
    rapidjson::MemoryStream stream(text.data(), text.size());
    rapidjson::BaseReaderHandler<> ignore;
    rapidjson::Reader reader;
    const rapidjson::ParseResult parsed = reader.Parse<flags>(stream, ignore);

    const std::size_t nul = text.find('\0');
    if (nul != std::string_view::npos && (!parsed.IsError() || nul <= parsed.Offset())) {
        return Violation{nul, "a raw NUL byte"};
    }
    if (parsed.IsError()) {
        return Violation{parsed.Offset(), rapidjson::GetParseError_En(parsed.Code())};
    }
    return std::nullopt;
}

}  // namespace Orv::TimelineEngineModel::Serialization::Json::Detail
