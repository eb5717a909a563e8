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
int RunProject(const Arguments& args);
int RunPlaylist(const Arguments& args);
int RunAutocut(const Arguments& args);
int RunSplit(const Arguments& args);
int RunCueSheet(const Arguments& args);
int RunDevices(const Arguments& args);
int RunPlay(const Arguments& args);

// Playback links Qt, PulseAudio and libmpg123, whose loading would cost every scan and export
// more than the work itself. The two playback commands therefore live in a helper executable,
// slicewell-cli-playback (beside this one in a build folder, under libexec once installed),
// which this replaces the running process with (same pid, terminal and exit status). Returns
// only when it cannot be started.
int RunInPlaybackTool(const char* command, const Arguments& args);

// TagLib, and the shared C++ runtime it brings, would more than double every run's start. The
// commands that read or write tags with it (info, split) live in slicewell-cli-tags, found and
// started the same way.
inline constexpr char kTagsTool[] = "slicewell-cli-tags";

// Replaces the running process with the helper tool (what: the feature named when it cannot be
// started, which is the only case in which this returns).
int RunInHelper(const char* tool, const char* what, const char* command, const Arguments& args);

}  // namespace sw::cli
