#pragma once

#include <sys/types.h>

#include <map>
#include <string>
#include <vector>

namespace sw::test {

struct CliResult {
    int exitCode = -1;  // -1 when the process did not exit by itself (a signal ended it)
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

// As RunCli, with standard output going to outName (such as /dev/full); out stays empty.
CliResult RunCliWritingTo(const std::string& outName, const std::vector<std::string>& args);

// Starts slicewell-cli as RunCli does without waiting for it, standard output and error going
// to outName and errName, for tests that signal the process while it works.
pid_t StartCli(const std::vector<std::string>& args, const std::string& outName,
               const std::string& errName,
               const std::map<std::string, std::string>& environment = {},
               const std::string& workingFolder = "");

// Waits for a started process: its exit status, or -1 - signal number when a signal ended it.
int WaitForCli(pid_t pid);

}  // namespace sw::test
