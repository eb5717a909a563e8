#pragma once

#include <string>
#include <vector>

namespace sw::cli {

// Exit codes: 0 success, 1..6 the operation's status, 64 wrong usage.
inline constexpr int kExitUsage = 64;

using Arguments = std::vector<std::string>;

// Each command gets the arguments after its name.
int RunScan(const Arguments& args);
int RunInfo(const Arguments& args);
int RunExport(const Arguments& args);
int RunExportProject(const Arguments& args);
int RunDevices(const Arguments& args);
int RunPlay(const Arguments& args);

}  // namespace sw::cli
