#pragma once

#include <string>

#include "stream/source_tags.h"

namespace sw {

// Reads the tags of an MPEG audio file (the frames are not looked at). A file that is missing,
// no regular file (a FIFO is refused without waiting on it) or unreadable gives empty tags.
// Never throws.
SourceTags ReadSourceTags(const std::string& fileName);

}  // namespace sw
