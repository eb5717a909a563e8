#pragma once

#include <cstdint>
#include <string>

#include "engine/export.h"
#include "json_writer.h"

namespace sw::cli {

// Throws UsageError, with the core's reason, for targets no audio export may write: an empty
// name, a cue file, the program's own documents, the project file being exported.
void CheckExportTarget(const std::string& targetName, const std::string& projectFile = "");

// The members every export's JSON ends with: "status", "status_text", and "error" with the
// reason when the export failed for a known one.
void AddExportStatus(JsonObject& json, int status, const ExportOutcome& outcome);

// Says on stderr what an export that did not succeed (status) left behind, and why: a stopped
// one kept what it had copied ("TARGET holds N frames (B bytes) <what>"), a failed one left
// TARGET as it was; then the reason the outcome names, or the status's text.
void ReportUnfinishedExport(const std::string& targetName, int status, const ExportOutcome& outcome,
                            int64_t bytes, const std::string& what);

}  // namespace sw::cli
