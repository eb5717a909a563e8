#pragma once

#include <map>
#include <string>
#include <vector>

namespace sw::test {

struct CliResult {
    int exitCode = -1;
    std::string out;
    std::string err;
};

// Runs the built slicewell-cli with these arguments in a clean C locale (extra variables may be
// added) and collects its exit status and both output streams. Its stdin is /dev/null and its
// stderr is a file, so it never draws a progress bar.
// With workingFolder the tool runs there (for relative names).
CliResult RunCli(const std::vector<std::string>& args,
                 const std::map<std::string, std::string>& environment = {},
                 const std::string& workingFolder = "");

}  // namespace sw::test
