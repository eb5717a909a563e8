#pragma once

#include <functional>
#include <string>
#include <vector>

#include "engine/export.h"
#include "engine/frame_span.h"
#include "stream/cut_object.h"
#include "stream/project_properties.h"
#include "stream/prompts.h"

namespace sw {

// Exports frames span of a cut object to fileName (a WAV file with the MPEG header when its kind
// is "wav") in the given style, on a worker thread under the modal progress window; call on the
// GUI thread with the player suspended. Returns 1 (nothing created) for an empty name or a cut
// object without streams, 6 when no worker could be started, else the worker's status. Throws
// FileCreateError when the target cannot be created or is a held source (no window is shown then),
// and a FileError with the reason when the export failed for a known one (a full disk, a source
// that changed); a failed export leaves the target as it was (ExportTargetFile).
// A failed WAV header write, and what the export noted (a piece copied plainly), are shown
// through prompts after the worker ended. A target no audio export may write (a project,
// playlist, index or cue file name) is refused through prompts with the reason, before anything
// is touched (status 1). The planning is the command line's (ExportCutObjectRange): the index
// beside the target goes only when it describes the target.
int ExportCutObject(const std::string& fileName, TCutObject* cut, FrameSpan span, ExportStyle style,
                    Prompts& prompts);

// Exports the cues one after the other into fileName, with the project's header flags and tag as
// its ExportFlags say (the properties are copied when the export starts). Returns 1 for an empty
// name or no cues; otherwise as ExportCutObject. The project's own file (project.FileName) is
// never a target.
int ExportProject(const std::string& fileName, const TProjectProperties& project,
                  const std::vector<const TCueObject*>& cues, ExportStyle style, Prompts& prompts);

}  // namespace sw
