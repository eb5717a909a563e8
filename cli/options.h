#pragma once

#include <map>
#include <optional>
#include <set>
#include <string>
#include <vector>

#include "commands.h"

namespace sw::cli {

struct OptionSpec {
    std::string name;  // "--index"
    bool takesValue = false;
};

struct ParsedArguments {
    std::vector<std::string> positional;
    std::map<std::string, std::string> values;
    std::set<std::string> flags;
    bool help = false;

    bool Has(const std::string& name) const { return flags.count(name) || values.count(name); }
    std::optional<std::string> Value(const std::string& name) const;
};

// Splits a command's arguments into options and positional names. "--name value" and
// "--name=value" both work; "--" ends the options, so a file may be called "--json"; "-h" and
// "--help" ask for help. A lone "-" and anything not starting with "-" is positional. Throws
// UsageError for an unknown option, a missing value, or a positional count outside min..max.
ParsedArguments ParseArguments(const Arguments& args, const std::vector<OptionSpec>& options,
                               size_t minPositional, size_t maxPositional);

}  // namespace sw::cli
