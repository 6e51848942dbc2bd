#include "CommandLine.h"

#include <limits>

namespace OrvTool {

namespace {

const OptionSpec* FindSpec(const std::vector<OptionSpec>& specs, const std::string& name) {
    for (const auto& spec : specs) {
        if (spec.name == name || (!spec.alias.empty() && spec.alias == name)) {
            return &spec;
        }
    }
    return nullptr;
}

}  // namespace

ParsedArguments ParseArguments(const std::vector<std::string>& arguments, const std::vector<OptionSpec>& specs) {
    ParsedArguments parsed;
    bool optionsEnded = false;
    for (std::size_t i = 0; i < arguments.size(); ++i) {
        const std::string& argument = arguments[i];
        if (optionsEnded || argument == "-" || argument.empty() || argument[0] != '-') {
            parsed.operands.push_back(argument);
            continue;
        }
        if (argument == "--") {
            optionsEnded = true;
            continue;
        }
        if (argument == "--help" || argument == "-h") {
            parsed.help = true;
            continue;
        }
        std::string name = argument;
        std::string value;
        bool inlineValue = false;
        const auto equals = argument.find('=');
        if (argument.compare(0, 2, "--") == 0 && equals != std::string::npos) {
            name = argument.substr(0, equals);
            value = argument.substr(equals + 1);
            inlineValue = true;
        }
        const OptionSpec* spec = FindSpec(specs, name);
        if (spec == nullptr) {
            throw UsageError("unknown option '" + name + "'");
        }
        if (parsed.Has(spec->name) && !spec->repeatable) {
            throw UsageError("option '" + spec->name + "' given twice");
        }
        if (!spec->takesValue) {
            if (inlineValue) {
                throw UsageError("option '" + spec->name + "' takes no value");
            }
            parsed.flags.insert(spec->name);
            continue;
        }
        if (!inlineValue) {
            if (i + 1 >= arguments.size()) {
                throw UsageError("option '" + name + "' needs a value");
            }
            value = arguments[++i];
        }
        if (spec->repeatable) {
            parsed.lists[spec->name].push_back(value);
        } else {
            parsed.values[spec->name] = value;
        }
    }
    return parsed;
}

std::uint64_t ParseCount(const std::string& option, const std::string& text, std::uint64_t maximum) {
    const auto bad = [&]() {
        return UsageError("option '" + option + "' wants an integer from 0 to " + std::to_string(maximum) +
                          ", not '" + text + "'");
    };
    if (text.empty() || text.size() > 20) {
        throw bad();
    }
    std::uint64_t value = 0;
    for (const char c : text) {
        if (c < '0' || c > '9') {
            throw bad();
        }
        const std::uint64_t digit = static_cast<std::uint64_t>(c - '0');
        if (value > (std::numeric_limits<std::uint64_t>::max() - digit) / 10) {
            throw bad();
        }
        value = value * 10 + digit;
    }
    if (value > maximum) {
        throw bad();
    }
    return value;
}

std::int64_t ParseInteger(const std::string& option, const std::string& text) {
    constexpr std::uint64_t kMost = static_cast<std::uint64_t>(std::numeric_limits<std::int64_t>::max());
    const bool negative = !text.empty() && text[0] == '-';
    std::uint64_t magnitude = 0;
    try {
        magnitude = ParseCount(option, negative ? text.substr(1) : text, negative ? kMost + 1 : kMost);
    } catch (const UsageError&) {
        throw UsageError("option '" + option + "' wants an integer from " +
                         std::to_string(std::numeric_limits<std::int64_t>::min()) + " to " +
                         std::to_string(std::numeric_limits<std::int64_t>::max()) + ", not '" + text + "'");
    }
    if (!negative || magnitude == 0) {
        return static_cast<std::int64_t>(magnitude);
    }
    // The least value's magnitude has no positive counterpart.
    return -static_cast<std::int64_t>(magnitude - 1) - 1;
}

std::string OutputOption(const ParsedArguments& parsed) {
    const std::string output = parsed.Value("--output", "");
    if (parsed.values.count("--output") != 0 && output.empty()) {
        throw UsageError("option '--output' needs a file name");
    }
    return output;
}

}  // namespace OrvTool
