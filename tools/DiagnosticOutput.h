#pragma once

// How `check` shows the library's diagnostics: one compiler-style line each,
// for editors and CI logs, or a JSON array for other programs.

#include <Orv/Common/Serialization/Json/Stringer.h>
#include <Orv/TimelineEngineModel/Serialization/Json/JsonDiagnostic.h>

#include <string>

namespace OrvTool {

using Orv::TimelineEngineModel::Serialization::Json::JsonDiagnostic;

// "FILE:LINE:COLUMN: warning: POINTER: MESSAGE [CODE]"; the pointer and its
// colon are left out for a diagnostic of the whole text.
std::string DiagnosticLine(const std::string& file, const JsonDiagnostic& diagnostic);

// One object of the JSON array: file, line, column, severity, code, pointer,
// message.
void WriteDiagnostic(Orv::Common::Serialization::Json::Stringer& stringer, const std::string& file,
                     const JsonDiagnostic& diagnostic);

}  // namespace OrvTool
