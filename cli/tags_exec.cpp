// The commands that need TagLib, in the tools that do not load it: each hands its arguments to
// slicewell-cli-tags, which runs the same command.
#include "commands.h"

namespace sw::cli {

int RunInfo(const Arguments& args) {
    return RunInHelper(kTagsTool, "info", "info", args);
}

int RunSplit(const Arguments& args) {
    return RunInHelper(kTagsTool, "split", "split", args);
}

}  // namespace sw::cli
