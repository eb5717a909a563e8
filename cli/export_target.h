#pragma once

#include <string>

namespace sw::cli {

// Throws UsageError, with the core's reason, for targets no audio export may write: an empty
// name, a cue file, the program's own documents, the project file being exported.
void CheckExportTarget(const std::string& targetName, const std::string& projectFile = "");

}  // namespace sw::cli
