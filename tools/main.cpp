// orv-timeline-json: check, format, compare, generate and draw timeline documents
// from the shell, through the library's public API.

#include "CommandLine.h"
#include "Commands.h"
#include "Output.h"

#include <cstring>
#include <exception>
#include <iostream>
#include <new>
#include <string>
#include <vector>

#ifndef ORV_TOOL_VERSION
#error "ORV_TOOL_VERSION must be defined by the build"
#endif

namespace {

using namespace OrvTool;

struct CommandEntry {
    const char* name;
    const char* summary;
    int (*run)(const std::vector<std::string>&);
};

const CommandEntry kCommands[] = {
    {"check", "read documents: where the readers skip, reinterpret or fail, and a summary", RunCheck},
    {"format", "write a document back in the library's canonical form", RunFormat},
    {"diff", "compare the timelines of two documents", RunDiff},
    {"generate", "write a synthetic timeline of a requested size", RunGenerate},
    {"render", "draw a timeline as an SVG picture", RunRender},
};

std::string Usage() {
    std::string out =
        "Usage: orv-timeline-json COMMAND [OPTIONS] [ARGUMENTS]\n"
           "       orv-timeline-json --help | --version\n"
           "\n"
           "Works with the JSON documents of the timeline model.\n"
           "\n"
           "Commands:\n";
    for (const auto& command : kCommands) {
        out += "  " + std::string(command.name) + std::string(10 - std::string(command.name).size(), ' ') +
               command.summary + '\n';
    }
    return out +
           "\n"
           "Run 'orv-timeline-json COMMAND --help' for the options of a command.\n"
           "FILE \"-\" reads standard input. Documents larger than 2147483647 bytes\n"
           "are refused without being read whole. Texts from a document are shown\n"
           "escaped and shortened.\n"
           "Exit status: 0 success; 1 a document failed (check: a file that cannot\n"
           "be read or converted, or has an error diagnostic), two documents differ,\n"
           "or the output cannot be written; 2 bad usage.\n";
}

// A command's status, unless standard output could not be written.
int Finish(int status) {
    if (StandardOutputError() != 0) {
        std::cerr << kProgram << ": cannot write to standard output: " << std::strerror(StandardOutputError())
                  << std::endl;
        return kExitFailed;
    }
    return status;
}

int UsageFailure(const std::string& where, const std::string& message) {
    std::cerr << kProgram << ": " << where << message << '\n'
              << "Run '" << kProgram << " " << (where.empty() ? "" : where.substr(0, where.size() - 2) + " ")
              << "--help' for usage." << std::endl;
    return kExitUsage;
}

}  // namespace

int main(int argc, char** argv) {
    IgnoreWriteSignals();
    const std::vector<std::string> arguments(argv + 1, argv + argc);
    if (arguments.empty()) {
        std::cerr << kProgram << ": no command given\n\n";
        std::cerr << Usage();
        return kExitUsage;
    }
    const std::string& first = arguments.front();
    if (first == "--help" || first == "-h" || first == "help") {
        if (first == "help" && arguments.size() > 1) {
            // "help COMMAND" is "COMMAND --help".
            for (const auto& command : kCommands) {
                if (arguments[1] == command.name) {
                    return Finish(command.run({"--help"}));
                }
            }
            return UsageFailure("", "unknown command '" + arguments[1] + "'");
        }
        Print(Usage());
        return Finish(kExitOk);
    }
    if (first == "--version") {
        Print(std::string(kProgram) + " " + ORV_TOOL_VERSION + "\n");
        return Finish(kExitOk);
    }
    for (const auto& command : kCommands) {
        if (first != command.name) {
            continue;
        }
        try {
            return Finish(command.run(std::vector<std::string>(arguments.begin() + 1, arguments.end())));
        } catch (const UsageError& error) {
            return UsageFailure(std::string(command.name) + ": ", error.what());
        } catch (const std::bad_alloc&) {
            std::cerr << kProgram << ": " << command.name << ": out of memory" << std::endl;
            return kExitFailed;
        } catch (const std::exception& error) {
            std::cerr << kProgram << ": " << command.name << ": " << error.what() << std::endl;
            return kExitFailed;
        }
    }
    if (!first.empty() && first[0] == '-') {
        return UsageFailure("", "unknown option '" + first + "'");
    }
    return UsageFailure("", "unknown command '" + first + "' (expected check, format, diff, generate or render)");
}
