#pragma once

#include <string>

#include "engine/export.h"
#include "engine/worker_control.h"
#include "stream/cut_object.h"

namespace sw {

struct ScanExportOutcome {
    int scanStatus = 0;  // what ScanFrames returned
    ExportOutcome exported;
    int64_t targetBytes = 0;  // the target's size afterwards
};

// Scans a new cut object and exports all of its frames to targetName in one go, for the common
// case of cutting nothing out of a file that has no index yet. Done one after the other, the scan
// and the copy each read the whole file; here the copy follows the scan's growing index on a
// second thread, so the two overlap. The frames are those a scan followed by ExportCutObjectFrames
// of every frame would write, byte for byte.
//
// The frames go to the target's new file (ExportTargetFile), which replaces it only when the scan
// completed and the export is kept: a scan that failed or was aborted leaves an existing target,
// and its index beside it, as they were, just as when the export never started because its scan
// failed; so does an export that failed. After a complete scan the outcome is the export's own,
// with the system's reason for a failed copy. control: the scan publishes the file position; a
// terminate request ends both. cut ends up scanned, with its own index stream, as after
// ScanFrames; the caller sets CompletelyScanned.
//
// Throws as ExportTargetFile's constructor before anything is written, and FileOpenError when the
// source cannot be opened.
ScanExportOutcome ScanAndExportAll(TCutObject& cut, const std::string& targetName, bool wave,
                                   WorkerControl& control);

}  // namespace sw
