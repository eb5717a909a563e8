#pragma once

#include <optional>
#include <string>

#include "frame_range.h"

namespace sw::cli {

// The cue file that the cutter's export to a ".m3q" name writes: one cue of SOURCE named after
// it (its display name, unless name is given), over the range as marks hold it (cut to the
// source's frames; all of them without a range), with SOURCE's absolute path as the stored
// source. SOURCE is opened as the export opens it (its index beside it, or a scan), so a range
// past the end is cut as marks are, and a source that is no audio is refused. A range with no
// frames left is refused (status 1): the cutter cannot mark one. Prints a summary or one JSON
// object and returns the exit status.
int ExportCueFile(const std::string& sourceName, const std::string& targetName,
                  const std::optional<FrameRange>& range, const std::optional<std::string>& name,
                  bool json);

}  // namespace sw::cli
