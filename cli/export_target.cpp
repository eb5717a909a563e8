#include "export_target.h"

#include <cstdio>

#include "cli_error.h"
#include "engine/export_targets.h"
#include "stream/file_names.h"
#include "stream/status.h"

namespace sw::cli {

void CheckExportTarget(const std::string& targetName, const std::string& projectFile) {
    const std::string problem = AudioTargetProblem(targetName, projectFile);
    if (!problem.empty()) {
        throw UsageError(problem);
    }
}

void AddExportStatus(JsonObject& json, int status, const ExportOutcome& outcome) {
    json.Add("status", status);
    json.Add("status_text", StatusText(status));
    if (!outcome.failure.empty()) {
        json.Add("error", outcome.failure);
    }
}

void ReportUnfinishedExport(const std::string& targetName, int status, const ExportOutcome& outcome,
                            int64_t bytes, const std::string& what) {
    if (status == kStatusAborted) {
        std::fprintf(stderr, "slicewell-cli: %s holds %d frames (%lld bytes) %s\n",
                     targetName.c_str(), outcome.framesCopied, static_cast<long long>(bytes),
                     what.c_str());
    } else {
        std::fprintf(stderr, "slicewell-cli: %s was not written%s\n", targetName.c_str(),
                     FileExists(targetName) ? "; it is as it was" : "");
    }
    const std::string why = outcome.failure.empty() ? StatusText(status) : outcome.failure;
    std::fprintf(stderr, "slicewell-cli: %s\n", why.c_str());
}

}  // namespace sw::cli
