#pragma once

#include <Orv/TimelineEngineModel/Serialization/Json/JsonDiagnostic.h>

#include <cstddef>
#include <string>
#include <string_view>
#include <vector>

namespace Orv::TimelineEngineModel::Serialization::Json::Detail {

// Gathers diagnostics by byte offset, in the order they are found, and hands
// them out in document order with their lines and columns.
class DiagnosticCollector {
public:
    using Severity = JsonDiagnostic::Severity;

    // Returns the diagnostic's index, for ExtendMessage.
    std::size_t Add(Severity severity, const char* code, std::size_t offset, std::string pointer,
                    std::string message);
    void ExtendMessage(std::size_t index, std::string_view more);

    // A diagnostic of the whole text at a line and column found elsewhere.
    void AddAtPosition(Severity severity, const char* code, std::size_t line, std::size_t column,
                       std::string message);

    // Appends everything to `out`, ordered by offset (those found first come
    // first at one offset); lines and columns are counted in `text`.
    void MoveTo(std::vector<JsonDiagnostic>& out, std::string_view text);

private:
    struct Pending {
        std::size_t offset;
        bool positioned;  // line and column are already set
        JsonDiagnostic diagnostic;
    };

    std::vector<Pending> pending;
};

}  // namespace Orv::TimelineEngineModel::Serialization::Json::Detail
