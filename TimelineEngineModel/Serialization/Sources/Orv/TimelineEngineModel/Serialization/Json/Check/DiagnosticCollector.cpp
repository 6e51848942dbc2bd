#include "DiagnosticCollector.h"

#include "TextPositions.h"

#include <algorithm>
#include <utility>

namespace Orv::TimelineEngineModel::Serialization::Json::Detail {

std::size_t DiagnosticCollector::Add(Severity severity, const char* code, std::size_t offset, std::string pointer,
                                     std::string message) {
    pending.push_back({offset, false, {severity, code, std::move(pointer), 0, 0, std::move(message)}});
    return pending.size() - 1;
}

void DiagnosticCollector::ExtendMessage(std::size_t index, std::string_view more) {
    pending[index].diagnostic.message += more;
}

void DiagnosticCollector::AddAtPosition(Severity severity, const char* code, std::size_t line, std::size_t column,
                                        std::string message) {
    pending.push_back({0, true, {severity, code, std::string(), line, column, std::move(message)}});
}

void DiagnosticCollector::MoveTo(std::vector<JsonDiagnostic>& out, std::string_view text) {
    if (pending.empty()) {
        return;
    }
    std::stable_sort(pending.begin(), pending.end(),
                     [](const Pending& a, const Pending& b) { return a.offset < b.offset; });
    const TextPositions positions(text);
    for (Pending& entry : pending) {
        if (!entry.positioned) {
            const TextPositions::Position position = positions.At(entry.offset);
            entry.diagnostic.line = position.line;
            entry.diagnostic.column = position.column;
        }
    }
    out.reserve(out.size() + pending.size());
    for (Pending& entry : pending) {
        out.push_back(std::move(entry.diagnostic));
    }
    pending.clear();
}

}  // namespace Orv::TimelineEngineModel::Serialization::Json::Detail
