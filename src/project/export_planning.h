#pragma once

#include <cstdint>
#include <optional>
#include <string>

#include "engine/export.h"
#include "engine/export_targets.h"
#include "engine/frame_span.h"
#include "engine/operation_front_end.h"
#include "stream/cut_object.h"

namespace sw {

// Exports frames span of a scanned cut object to targetName in the given style, under the front
// end: the target is checked (AudioTargetProblem), created, and the index describing its old
// contents removed, then the frames are copied on a worker (ExportCutObjectFrames); what the
// export noted goes to the front end. bytes receives the target's final size. Every export of a
// range of one cut object runs this. Throws OperationError and FileCreateError before anything
// is touched.
ExportOutcome ExportCutObjectRange(TCutObject& cut, FrameSpan span, const std::string& targetName,
                                   ExportStyle style, OperationFrontEnd& frontEnd,
                                   int64_t* bytes = nullptr);

// Exports cues one after the other into targetName, with the project's header flags and tag as
// its ExportFlags say; projectFile (may be "") is never written. As ExportCutObjectRange.
ExportOutcome ExportCues(const std::vector<const TCueObject*>& cues,
                         const TProjectProperties& project, const std::string& targetName,
                         const std::string& projectFile, ExportStyle style,
                         OperationFrontEnd& frontEnd, int64_t* bytes = nullptr);

// What an export wrote, for the frame window's status bar: "Exported <frames> frames to <the
// target's file name>" ("1 frame" for one).
std::string ExportReport(int32_t frames, const std::string& targetName);

struct SourceExportRequest {
    std::string source;
    std::string target;
    std::optional<FrameSpan> range;  // none: every frame
    ExportStyle style = ExportStyle::Clean;
};

struct SourceExportResult {
    ExportTargetKind kind = ExportTargetKind::Mpeg;
    std::string source;  // absolute
    FrameSpan range;     // what was exported, after clamping
    bool fromIndex = false;
    // The scan the export needed failed or was aborted: nothing was exported (a file that
    // silently ends early would be worse than none), the target is as it was.
    int scanStatus = 0;
    ExportOutcome outcome;  // the copy's; for an index target, SaveCutObject's status
    int64_t bytes = 0;      // the target's size
    int32_t frames = 0;     // the source's frame count
};

// An export of one source file, as the command line and the windows run it:
// - an index target (".m3i") receives the source's index file (no range);
// - the source's index beside it is used when it matches, else the source is scanned;
// - the whole of a source without an index is copied plainly while it is scanned
//   (ScanAndExportAll) when the target may be replaced by a rename; otherwise, and for a clean
//   export (whose header frame needs every frame's place and bytes), the scan comes first;
// - a range is cut to the file as marks are; what it misses is noted.
// Throws OperationError (a target no export may write, a source that is no audio or missing)
// and file errors, before the target is touched.
SourceExportResult ExportSourceFile(const SourceExportRequest& request,
                                    const CutObjectOptions& options, OperationFrontEnd& frontEnd);

}  // namespace sw
