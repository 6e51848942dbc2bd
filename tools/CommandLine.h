#pragma once

// Command-line parsing shared by the commands: long options with or without
// a value ("--as track", "--as=track"), short aliases ("-o OUT"), "--" to end
// the options, and "-" as an ordinary argument (standard input).

#include <cstdint>
#include <map>
#include <set>
#include <stdexcept>
#include <string>
#include <vector>

namespace OrvTool {

// Exit statuses of the tool.
constexpr int kExitOk = 0;
constexpr int kExitFailed = 1;  // a document failed, or two documents differ
constexpr int kExitUsage = 2;

// Bad usage; the message says what was wrong, without the program name.
class UsageError : public std::runtime_error {
public:
    using std::runtime_error::runtime_error;
};

struct OptionSpec {
    std::string name;   // the long form, "--output"
    std::string alias;  // a short form, "-o", or empty
    bool takesValue = false;
    bool repeatable = false;  // each value is kept, in order (ParsedArguments::All)
};

struct ParsedArguments {
    std::map<std::string, std::string> values;  // by long name, for options with a value
    std::map<std::string, std::vector<std::string>> lists;  // by long name, for repeatable options
    std::set<std::string> flags;                // long names of the flags given
    std::vector<std::string> operands;
    bool help = false;  // "--help" or "-h" was given

    bool Has(const std::string& name) const {
        return flags.count(name) != 0 || values.count(name) != 0 || lists.count(name) != 0;
    }
    std::string Value(const std::string& name, const std::string& fallback) const {
        const auto found = values.find(name);
        return found == values.end() ? fallback : found->second;
    }
    std::vector<std::string> All(const std::string& name) const {
        const auto found = lists.find(name);
        return found == lists.end() ? std::vector<std::string>() : found->second;
    }
};

// Throws UsageError for an unknown option, a missing value, a value given to
// a flag, or an option that is not repeatable given twice.
ParsedArguments ParseArguments(const std::vector<std::string>& arguments, const std::vector<OptionSpec>& specs);

// The file name of "--output" ("" when the option is absent); a UsageError
// when it is given with an empty name.
std::string OutputOption(const ParsedArguments& parsed);

// A non-negative decimal integer no larger than `maximum`, digits only.
// Throws UsageError naming `option` otherwise.
std::uint64_t ParseCount(const std::string& option, const std::string& text, std::uint64_t maximum);

// A decimal integer of the 64-bit signed range, digits after an optional
// "-". Throws UsageError naming `option` otherwise.
std::int64_t ParseInteger(const std::string& option, const std::string& text);

}  // namespace OrvTool
