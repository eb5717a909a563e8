#pragma once

#include <cstdint>
#include <string>

namespace sw {

enum class RegularFileRead {
    Ok,
    NotFound,    // no such name
    NotRegular,  // a folder, FIFO, socket or device: refused before anything waits on it
    TooLarge,    // longer than the reader's limit
    Failed,      // exists but cannot be opened or read
};

// Reads a whole small document (a cue file, a playlist) into bytes. The file is opened through
// OpenRegularFile, so a FIFO named like a playlist cannot hang the import. A file longer than limit
// is TooLarge, or with prefixOnly gives its first limit bytes (for readers that ignore what follows
// their layout). Never throws.
RegularFileRead ReadRegularFile(const std::string& fileName, std::string& bytes, int64_t limit,
                                bool prefixOnly = false);

}  // namespace sw
