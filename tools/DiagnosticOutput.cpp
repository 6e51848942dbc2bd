#include "DiagnosticOutput.h"

namespace OrvTool {

using Orv::Common::Serialization::Json::Stringer;

std::string DiagnosticLine(const std::string& file, const JsonDiagnostic& diagnostic) {
    std::string line = file + ":" + std::to_string(diagnostic.line) + ":" + std::to_string(diagnostic.column) + ": " +
                       ToString(diagnostic.severity) + ": ";
    if (!diagnostic.pointer.empty()) {
        line += diagnostic.pointer + ": ";
    }
    return line + diagnostic.message + " [" + diagnostic.code + "]";
}

void WriteDiagnostic(Stringer& stringer, const std::string& file, const JsonDiagnostic& diagnostic) {
    stringer.Object();
    stringer.Key("file").Value(file);
    // Whole numbers as doubles: exact far beyond any text's size, and written
    // without a fraction.
    stringer.Key("line").Value(static_cast<double>(diagnostic.line));
    stringer.Key("column").Value(static_cast<double>(diagnostic.column));
    stringer.Key("severity").Value(ToString(diagnostic.severity));
    stringer.Key("code").Value(diagnostic.code);
    stringer.Key("pointer").Value(diagnostic.pointer);
    stringer.Key("message").Value(diagnostic.message);
    stringer.CloseObject();
}

}  // namespace OrvTool
