#include "CommandLine.h"
#include "Commands.h"
#include "Documents.h"
#include "Output.h"

#include <Orv/Common/Serialization/Json/Stringer.h>

#include <iostream>

namespace OrvTool {

namespace {

using Orv::Common::Serialization::Json::Stringer;

const char* const kHelp =
    "Usage: orv-timeline-json format [--as KIND] [--pretty] [-o OUT] FILE\n"
    "\n"
    "Reads FILE (\"-\" for standard input) as JSON (as jsoncpp reads it by default,\n"
    "like check), converts it with the library's reader for KIND and writes it back\n"
    "with the library's writer: the canonical form, keys in the library's order,\n"
    "omitted keys left out, every scalar a JSON string. The text ends with a newline.\n"
    "\n"
    "Options:\n"
    "  --as KIND      timeline (the default), track, item, media-info or effect\n"
    "  --pretty       lay the text out over several lines, indented by two spaces\n"
    "  -o, --output OUT\n"
    "                 write to OUT instead of standard output; OUT is written only\n"
    "                 when the conversion succeeded, and replaced whole: the text\n"
    "                 goes to a temporary file beside it first, so a failed write\n"
    "                 leaves OUT as it was (a new OUT gets 0666 less the umask,\n"
    "                 an existing one keeps its mode)\n"
    "  -h, --help     show this help\n"
    "\n"
    "Exit status: 0 on success, 1 when the document cannot be read, parsed,\n"
    "converted or written (standard output included), 2 on bad usage.\n";

}  // namespace

bool Emit(const std::string& text, const std::string& path) {
    if (path.empty()) {
        Print(text);
        Print("\n");
        return StandardOutputError() == 0;  // main() reports the reason
    }
    std::string error;
    if (!ReplaceFile(path, {text, "\n"}, error)) {
        std::cerr << path << ": cannot be written: " << error << std::endl;
        return false;
    }
    return true;
}

int RunFormat(const std::vector<std::string>& arguments) {
    const ParsedArguments parsed =
        ParseArguments(arguments, {{"--as", "", true}, {"--pretty", "", false}, {"--output", "-o", true}});
    if (parsed.help) {
        Print(kHelp);
        return kExitOk;
    }
    const Kind kind = KindOption(parsed);
    if (parsed.operands.size() != 1) {
        throw UsageError(parsed.operands.empty() ? "no FILE given" : "exactly one FILE expected");
    }
    const std::string output = OutputOption(parsed);

    const std::string& path = parsed.operands.front();
    Entity entity;
    std::string error;
    if (!LoadEntity(path, kind, entity, error)) {
        std::cerr << path << ": " << error << std::endl;
        return kExitFailed;
    }
    Stringer stringer = parsed.Has("--pretty") ? Stringer::PrettyStringer() : Stringer();
    if (!WriteEntity(entity, stringer, error)) {
        std::cerr << path << ": cannot be written back: " << error << std::endl;
        return kExitFailed;
    }
    return Emit(stringer.ToString(), output) ? kExitOk : kExitFailed;
}

}  // namespace OrvTool
