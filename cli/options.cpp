#include "options.h"

#include "cli_error.h"

namespace sw::cli {

std::optional<std::string> ParsedArguments::Value(const std::string& name) const {
    const auto it = values.find(name);
    if (it == values.end()) {
        return std::nullopt;
    }
    return it->second;
}

ParsedArguments ParseArguments(const Arguments& args, const std::vector<OptionSpec>& options,
                               size_t minPositional, size_t maxPositional) {
    ParsedArguments parsed;
    bool optionsEnded = false;
    for (size_t i = 0; i < args.size(); ++i) {
        const std::string& arg = args[i];
        if (optionsEnded || arg.size() < 2 || arg[0] != '-') {
            parsed.positional.push_back(arg);
            continue;
        }
        if (arg == "--") {
            optionsEnded = true;
            continue;
        }
        if (arg == "-h" || arg == "--help") {
            parsed.help = true;
            continue;
        }
        const size_t equals = arg.find('=');
        const std::string name = arg.substr(0, equals);
        const OptionSpec* spec = nullptr;
        for (const OptionSpec& option : options) {
            if (option.name == name) {
                spec = &option;
            }
        }
        if (!spec) {
            throw UsageError("unknown option '" + name + "'");
        }
        if (!spec->takesValue) {
            if (equals != std::string::npos) {
                throw UsageError("option '" + name + "' takes no value");
            }
            parsed.flags.insert(name);
        } else if (equals != std::string::npos) {
            parsed.values[name] = arg.substr(equals + 1);
        } else if (i + 1 < args.size()) {
            parsed.values[name] = args[++i];
        } else {
            throw UsageError("option '" + name + "' needs a value");
        }
    }
    if (!parsed.help &&
        (parsed.positional.size() < minPositional || parsed.positional.size() > maxPositional)) {
        throw UsageError(parsed.positional.size() < minPositional ? "missing argument"
                                                                  : "too many arguments");
    }
    return parsed;
}

}  // namespace sw::cli
