#pragma once

#include <cstdint>
#include <string>

#include "engine/export.h"
#include "engine/operation_front_end.h"
#include "stream/cut_object.h"

namespace sw {

struct ProjectExportResult {
    std::string project;  // absolute
    int32_t cues = 0;     // cues exported
    int32_t skipped = 0;  // cues whose source is missing or cannot be used
    int32_t storedCues = 0;
    int32_t unreadCues = 0;  // cue records the project file ended inside (and after)
    ExportOutcome outcome;
    int64_t bytes = 0;  // the target's size
};

// Exports the cues of a project file, in its order, into targetName, as the command line and the
// windows run it. Each cue's source is opened once: through its index beside it, or scanned.
// Relative source names are taken from the project's folder. A cue whose source is missing,
// cannot be scanned completely or is not MPEG audio is skipped, and noted; so is a file that
// ends inside its cue records (how many could not be read). The project file itself is never
// a target.
//
// Throws OperationError before the target is touched: 4 the project does not exist, 1 it is no
// project, has no cues or none that can be exported, or the target may not be written, 2 a
// source's scan was aborted. File errors of the project and the target are thrown as they are.
ProjectExportResult ExportProjectFile(const std::string& projectName, const std::string& targetName,
                                      const CutObjectOptions& options, ExportStyle style,
                                      OperationFrontEnd& frontEnd);

}  // namespace sw
