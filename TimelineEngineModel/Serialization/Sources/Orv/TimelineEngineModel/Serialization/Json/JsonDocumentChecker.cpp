#include <Orv/TimelineEngineModel/Serialization/Json/JsonDocumentChecker.h>

#include "Frame/ConversionGuard.h"
#include "Check/DiagnosticCollector.h"
#include "Check/MessageText.h"
#include "Check/NestingLimitFinder.h"
#include "Check/ReadingWalker.h"
#include "Check/StrictJsonValidator.h"
#include "Read/JsoncppParse.h"

#include <cstdio>

#include <optional>

namespace Orv::TimelineEngineModel::Serialization::Json {

namespace {

using Severity = JsonDiagnostic::Severity;
using Codes = JsonDiagnostic::Codes;
using Outcome = Detail::JsoncppParse::Outcome;

// jsoncpp skips one UTF-8 byte order mark and counts its offsets, lines and
// columns from after it; so does everything here. A second mark is text
// that jsoncpp refuses.
constexpr std::string_view ByteOrderMark = "\xEF\xBB\xBF";

std::string_view WithoutByteOrderMark(std::string_view text) {
    return text.substr(0, ByteOrderMark.size()) == ByteOrderMark ? text.substr(ByteOrderMark.size()) : text;
}

void AddStrictViolation(Detail::DiagnosticCollector& found, const Detail::StrictJsonValidator::Violation& violation,
                        std::size_t skipped) {
    const std::size_t offset = violation.offset > skipped ? violation.offset - skipped : 0;
    found.Add(Severity::Warning, Codes::NotStrictJson, offset, std::string(),
              "not RFC 8259 JSON (" + violation.reason + "), though jsoncpp accepts it");
}

// jsoncpp lays out its first error as "* Line N, Column M\n  REASON\n", and
// may add more lines.
void AddSyntaxError(Detail::DiagnosticCollector& found, const std::string& errors) {
    std::size_t line = 1;
    std::size_t column = 1;
    std::sscanf(errors.c_str(), "* Line %zu, Column %zu", &line, &column);
    const std::size_t reasonStart = errors.find_first_not_of(' ', errors.find('\n') + 1);
    const std::string reason = reasonStart < errors.size()
                                   ? errors.substr(reasonStart, errors.find('\n', reasonStart) - reasonStart)
                                   : std::string();
    found.AddAtPosition(Severity::Error, Codes::JsonSyntax, line, column,
                        "jsoncpp refuses the text (" + reason + "): nothing is read");
}

}  // namespace

JsonDocumentChecker::Result JsonDocumentChecker::Check(std::string_view text, DocumentKind kind,
                                                       std::vector<JsonDiagnostic>& diagnostics) const noexcept {
    return Check(text, kind, diagnostics, Options());
}

JsonDocumentChecker::Result JsonDocumentChecker::Check(std::string_view text, DocumentKind kind,
                                                       std::vector<JsonDiagnostic>& diagnostics,
                                                       const Options& options) const noexcept {
    return Detail::RunGuarded([&] {
        // jsoncpp may look at the byte after the text (placing an error after
        // a final "\r"): it reads a copy that ends in a NUL.
        const std::string copy(text);
        const std::string_view whole(copy);
        const std::string_view document = WithoutByteOrderMark(whole);
        Detail::DiagnosticCollector found;
        std::optional<Detail::StrictJsonValidator::Violation> violation;
        if (options.strictJson) {
            violation = Detail::StrictJsonValidator::Validate(whole);
        }
        Detail::JsonObject root;
        const auto parsed = Detail::JsoncppParse::Of(whole.data(), whole.data() + whole.size(), root);
        switch (parsed.outcome) {
            case Outcome::Parsed:
                if (violation) {
                    AddStrictViolation(found, *violation, text.size() - document.size());
                }
                Detail::ReadingWalker(document, found).Walk(root, kind);
                break;
            case Outcome::Refused:
                AddSyntaxError(found, parsed.message);
                break;
            case Outcome::Threw:
                found.Add(Severity::Error, Codes::JsonNesting, Detail::NestingLimitFinder::Find(document),
                          std::string(),
                          "nested deeper than " + std::to_string(Detail::NestingLimitFinder::JsoncppLimit) +
                              " levels: jsoncpp stops with " + Detail::Quote(parsed.message) + ", nothing is read");
                break;
        }
        found.MoveTo(diagnostics, document);
    });
}

}  // namespace Orv::TimelineEngineModel::Serialization::Json
