#pragma once

// The commands of orv-timeline-json. Each takes the arguments after its name,
// prints its own --help, and throws UsageError on bad usage; main() turns that
// into a message and exit status 2.

#include <string>
#include <vector>

namespace OrvTool {

constexpr const char* kProgram = "orv-timeline-json";

int RunCheck(const std::vector<std::string>& arguments);
int RunFormat(const std::vector<std::string>& arguments);
int RunDiff(const std::vector<std::string>& arguments);
int RunGenerate(const std::vector<std::string>& arguments);
int RunRender(const std::vector<std::string>& arguments);

// Writes `text` and a newline to standard output, or to the file `path` when
// it is not empty. Returns false after printing why on standard error.
bool Emit(const std::string& text, const std::string& path);

}  // namespace OrvTool
