#pragma once

#include <string>

#include "stream/cut_object.h"

namespace sw {

// The ".m3i" file that belongs beside a source: the source's name with its extension replaced.
std::string IndexFileBeside(const std::string& sourceName);

// Why an index file was not taken for its source.
enum class IndexRejection {
    None,
    Missing,          // no index file beside the source
    Unreadable,       // LoadCutObject refused it (magic, truncation, impossible index)
    OtherSource,      // its FileName does not lead to this source file
    SourceMissing,    // its FileName leads nowhere
    SizeDiffers,      // the source's size is not the FileSize it was made for
    SourceModified,   // the source was written after the index file: its frames may have moved
    NoIndex,          // saved without frames (L = 0)
    IncompleteScan,   // saved from an aborted or failed scan
    FramesDontMatch,  // its first or last offset holds no frame header of the source
};

// The user's text for a rejection ("the index was made for another file" ...).
std::string IndexRejectionText(IndexRejection why);

// Loads an index file and accepts it for sourceName only when nothing needs asking: it loads,
// its FileName is the same file as sourceName (same device and inode, whatever the path) and
// is open, the size it was made for is the size the source has now, the source has not been
// modified since the index file was written, it holds a complete scan,
// and its first and last entries point at frame headers that end inside the source. The window
// asks the user about the cases this refuses; unattended callers scan the file instead.
// options say where the loaded index lives (see LoadCutObject).
CutObjectPtr LoadIndexFor(const std::string& indexFileName, const std::string& sourceName,
                          const CutObjectOptions& options, IndexRejection* why = nullptr);

}  // namespace sw
