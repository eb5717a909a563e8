#pragma once

#include <string>

#include "stream/cut_object.h"

namespace sw::cli {

struct LoadedSource {
    CutObjectPtr cut;
    int status = 0;          // the scan's status; 0 when a valid index was used
    bool fromIndex = false;  // the index file beside the source was used
};

// Throws CommandError unless the file can be cut: a WAV file must hold MPEG Layer-3 data, and
// the program's own documents (index, cue, project files, playlists) are not audio.
void CheckAudioKind(const std::string& fileName);

// A new cut object for an audio file, not scanned yet. FileName becomes the absolute path.
// Throws CommandError 4 when the file does not exist and 1 when it cannot be opened or is too
// large.
CutObjectPtr CreateSource(const std::string& fileName);

// Scans an audio file in memory as the import does. FileName becomes the absolute path.
// Throws CommandError 4 when the file does not exist and 1 when it cannot be opened or is too
// large. CompletelyScanned is set when the status is 0.
LoadedSource ScanSource(const std::string& fileName);

// The source's index file beside it when it matches the source (see LoadIndexFor), else
// nullptr; an index that exists but cannot be used is named on stderr with the reason. Throws
// CommandError 4 when the source does not exist.
CutObjectPtr LoadIndexedSource(const std::string& fileName);

// The source's index file beside it when it matches the source (see LoadIndexFor), else a scan
// in memory. An index that exists but cannot be used is named on stderr with the reason.
LoadedSource OpenSource(const std::string& fileName);

}  // namespace sw::cli
