// Any bytes, held to RFC 8259 by the document checker's strict validator and
// by RapidJSON's reader (iterative, with UTF-8 validation), the reference it
// replaces: both must accept the same texts and place a refusal at the same
// byte. RapidJSON reads a NUL as the end of the text, so a raw NUL is looked
// for apart from it, as the validator's predecessor did.
//
// Numbers beyond the range of a double are refused by both, but RapidJSON
// judges the range by the exponent alone ("0e999" is too big for it), so
// range decisions are held to strtod instead: a number that the validator
// refuses must overflow there, and where RapidJSON refuses one that does not,
// nothing after it can be compared.

#include "StrictJsonValidator.h"

#include <rapidjson/memorystream.h>
#include <rapidjson/reader.h>

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <string_view>

namespace {

using Orv::TimelineEngineModel::Serialization::Json::Detail::StrictJsonValidator;

struct Verdict {
    std::size_t offset = std::string_view::npos;  // npos: accepted
    bool numberRange = false;                     // refused as a number beyond a double
};

Verdict ReferenceVerdict(std::string_view text) {
    constexpr unsigned flags = rapidjson::kParseIterativeFlag | rapidjson::kParseValidateEncodingFlag;
    rapidjson::MemoryStream stream(text.data(), text.size());
    rapidjson::BaseReaderHandler<> ignore;
    rapidjson::Reader reader;
    const rapidjson::ParseResult parsed = reader.Parse<flags>(stream, ignore);
    const std::size_t nul = text.find('\0');
    if (nul != std::string_view::npos && (!parsed.IsError() || nul <= parsed.Offset())) {
        return {nul, false};
    }
    if (!parsed.IsError()) {
        return {};
    }
    return {parsed.Offset(), parsed.Code() == rapidjson::kParseErrorNumberTooBig};
}

// Where the number token at `offset` ends: its first byte that no number holds.
std::size_t NumberEnd(std::string_view text, std::size_t offset) {
    return std::min(text.find_first_not_of("+-.eE0123456789", offset), text.size());
}

// Whether the number token at `offset` is infinite for strtod (C locale).
bool Overflows(std::string_view text, std::size_t offset) {
    const std::string number(text.substr(offset, NumberEnd(text, offset) - offset));
    return std::isinf(std::strtod(number.c_str(), nullptr));
}

[[noreturn]] void Differ(const char* what, std::size_t ours, std::size_t reference) {
    std::fprintf(stderr, "strict validation differs from RapidJSON: %s (offset %zd against %zd)\n", what,
                 static_cast<std::ptrdiff_t>(ours), static_cast<std::ptrdiff_t>(reference));
    std::abort();
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::string_view text(reinterpret_cast<const char*>(data), size);
    const auto violation = StrictJsonValidator::Validate(text);
    const std::size_t ours = violation ? violation->offset : std::string_view::npos;
    const bool oursRange = violation && violation->reason == "a number beyond the range of a double";
    const Verdict reference = ReferenceVerdict(text);
    if (oursRange && !Overflows(text, ours)) {
        Differ("a number refused that strtod reads as finite", ours, reference.offset);
    }
    if (oursRange && ours < reference.offset) {
        return 0;  // an overflow that RapidJSON missed
    }
    if (reference.numberRange && !Overflows(text, reference.offset)) {
        if (ours != std::string_view::npos && ours < reference.offset) {
            Differ("refused before the number RapidJSON misjudges", ours, reference.offset);
        }
        return 0;
    }
    if (reference.numberRange && ours > reference.offset && ours <= NumberEnd(text, reference.offset)) {
        // RapidJSON judges the range before the rest of the number: 400
        // digits and a "." with no digit after it fail at the number's start.
        return 0;
    }
    if (ours != reference.offset) {
        Differ(violation ? violation->reason.c_str() : "accepted", ours, reference.offset);
    }
    return 0;
}
