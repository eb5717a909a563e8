#include "export_target.h"

#include "cli_error.h"
#include "engine/export_targets.h"

namespace sw::cli {

void CheckExportTarget(const std::string& targetName, const std::string& projectFile) {
    const std::string problem = AudioTargetProblem(targetName, projectFile);
    if (!problem.empty()) {
        throw UsageError(problem);
    }
}

}  // namespace sw::cli
