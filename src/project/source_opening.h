#pragma once

#include <string>

#include "engine/operation_front_end.h"
#include "project/index_beside.h"
#include "stream/cut_object.h"

namespace sw {

// A source made ready for cutting: from its index file beside it, or scanned in memory.
struct OpenedSource {
    CutObjectPtr cut;
    int status = 0;          // the scan's status; 0 when a valid index was used
    bool fromIndex = false;  // the index file beside the source was used
};

// Throws OperationError 1 unless the file can be cut: a WAV file must hold MPEG Layer-3 data,
// and the program's own documents (index, cue, project files, playlists) are not audio.
void CheckAudioKind(const std::string& fileName);

// options: where the index of each cut object lives ("IndexAsFileStream", "TempFolder"), as
// the front end's settings say.

// A new cut object for an audio file, not scanned yet. FileName becomes the absolute path.
// Throws OperationError 4 when the file does not exist and 1 when it cannot be opened or is too
// large.
CutObjectPtr CreateSource(const std::string& fileName, const CutObjectOptions& options);

// Scans an audio file in memory under the front end, as the import does. FileName becomes the
// absolute path; CompletelyScanned is set when the status is 0. Throws as CreateSource.
OpenedSource ScanSource(const std::string& fileName, const CutObjectOptions& options,
                        OperationFrontEnd& frontEnd);

// The source's index file beside it when it matches the source (see LoadIndexFor), else
// nullptr; an index that exists but cannot be used is noted with the reason. Throws
// OperationError 4 when the source does not exist, and 1 when it is a folder or no regular file
// (a FIFO is refused without being waited on).
CutObjectPtr LoadIndexedSource(const std::string& fileName, const CutObjectOptions& options,
                               OperationFrontEnd& frontEnd);

// The source's index file beside it when it matches the source, else a scan in memory.
OpenedSource OpenSource(const std::string& fileName, const CutObjectOptions& options,
                        OperationFrontEnd& frontEnd);

}  // namespace sw
