#pragma once

#include <string>

#include "project/source_opening.h"

namespace sw::cli {

// The core's source opening (engine/source_opening.h) with the tool's front end and options.
using LoadedSource = OpenedSource;
using sw::CheckAudioKind;

// A scan in memory, with a progress bar; throws OperationError as the core does.
LoadedSource ScanSource(const std::string& fileName);

// The index beside the source when it matches, else a scan in memory; an index that cannot be
// used is named on stderr with the reason.
LoadedSource OpenSource(const std::string& fileName);

}  // namespace sw::cli
