#pragma once

#include <string>

#include "engine/export.h"
#include "engine/worker_control.h"
#include "stream/cut_object.h"

namespace sw {

struct ScanExportOutcome {
    int scanStatus = 0;  // what ScanFrames returned
    ExportOutcome exported;
};

// Scans a new cut object and exports all of its frames to targetName in one go, for the common
// case of cutting nothing out of a file that has no index yet. Done one after the other, the scan
// and the copy each read the whole file; here the copy follows the scan's growing index on a
// second thread, so the two overlap. The frames are those a scan followed by ExportCutObjectFrames
// of every frame would write, byte for byte.
//
// The frames go to a new file beside the target (ReplacementFile), which replaces it only when
// the scan completed: a scan that failed or was aborted leaves an existing target, and its index
// beside it, as they were, just as when the export never started because its scan failed. After a
// complete scan the outcome is the export's own (an export that stopped early still replaces the
// target with the frames that reached it whole, as the export always does), and the target's
// ".m3i" companion is removed when it describes the target (RemoveIndexDescribing). control: the
// scan publishes the file position; a terminate request ends both. cut ends up scanned, with its
// own index stream, as after ScanFrames; the caller sets CompletelyScanned.
//
// Throws OperationError for a target no audio export may write (AudioTargetProblem) and
// FileCreateError "Cannot create file <target>" before anything is written when the target
// is a source some cut object holds open or no file can be made beside it, and StreamWriteError
// when the finished file cannot be renamed over the target.
ScanExportOutcome ScanAndExportAll(TCutObject& cut, const std::string& targetName, bool wave,
                                   WorkerControl& control);

}  // namespace sw
