#include <Orv/TimelineEngineModel/Serialization/Json/JsonDiagnostic.h>

namespace Orv::TimelineEngineModel::Serialization::Json {

const char* ToString(JsonDiagnostic::Severity severity) noexcept {
    return severity == JsonDiagnostic::Severity::Error ? "error" : "warning";
}

}  // namespace Orv::TimelineEngineModel::Serialization::Json
